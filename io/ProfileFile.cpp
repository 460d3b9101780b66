#include "io/ProfileFile.h"

#include "base/Text.h"
#include "io/ExchangeFile.h"
#include "io/XmlDocument.h"

namespace io {

std::u16string BuildProfileDocument(const std::u16string& name,
                                    const std::vector<store::KeyAssignment>& items) {
    XmlDocument document;
    document.SetText(kXmlDeclaration);
    document.AppendElement(u"profile");
    document.EnterElement();
    document.AppendElement(u"profileinfo");
    document.SetAttribute(u"name", name);
    document.AppendElement(u"keyitems");
    document.EnterElement();
    for (const store::KeyAssignment& item : items) {
        document.AppendElement(u"item");
        document.SetAttribute(u"fn_layer", FormatNumber(item.fn_layer));
        document.SetAttribute(u"key_code", FormatNumber(item.key_code));
        document.SetAttribute(u"layout_value", FormatNumber(item.layout_value));
        document.SetAttribute(u"layout_desc", item.layout_desc);
        document.SetAttribute(u"macro_type", FormatNumber(item.macro_type));
        document.SetAttribute(u"macro_value", FormatNumber(item.macro_value));
        document.SetAttribute(u"macro_value2", FormatNumber(item.macro_value2));
        document.SetAttribute(u"macro_value3", FormatNumber(item.macro_value3));
        document.SetAttribute(u"macro_desc", item.macro_desc);
    }
    return document.GetText();
}

bool WriteProfileFile(store::ProfileStore& store, int profileId, const std::u16string& name,
                      const std::filesystem::path& path) {
    std::vector<store::KeyAssignment> items;
    std::vector<store::KeyAssignment> fnLayer;
    store.ListKeyAssignments(profileId, 0, items);
    store.ListKeyAssignments(profileId, 1, fnLayer);
    items.insert(items.end(), fnLayer.begin(), fnLayer.end());
    XmlDocument document;
    return document.SaveFile(BuildProfileDocument(name, items), path);
}

int ReadProfileFile(store::ProfileStore& store, const std::filesystem::path& path, std::u16string& name) {
    name.clear();
    XmlDocument document;
    if (!LoadDocument(path, document) || !document.FindElement(u"profile")) {
        return 0;
    }
    document.EnterElement();
    if (document.FindElement(u"profileinfo")) {
        name = document.GetAttribute(u"name");
    }
    int profileId = store.AddProfile(name);
    if (profileId <= 0 || !document.FindElement(u"keyitems")) {
        return profileId > 0 ? profileId : 0;
    }
    document.EnterElement();
    for (int count = 0; count < kMaxProfileItems && document.FindElement(u"item"); ++count) {
        store::KeyAssignment item;
        item.profile = profileId;
        item.fn_layer = base::ParseLeadingInt(document.GetAttribute(u"fn_layer"));
        item.key_code = base::ParseLeadingInt(document.GetAttribute(u"key_code"));
        item.layout_value = base::ParseLeadingInt(document.GetAttribute(u"layout_value"));
        item.layout_desc = document.GetAttribute(u"layout_desc");
        item.macro_type = base::ParseLeadingInt(document.GetAttribute(u"macro_type"));
        item.macro_value = base::ParseLeadingInt(document.GetAttribute(u"macro_value"));
        item.macro_value2 = base::ParseLeadingInt(document.GetAttribute(u"macro_value2"));
        item.macro_value3 = base::ParseLeadingInt(document.GetAttribute(u"macro_value3"));
        item.macro_desc = document.GetAttribute(u"macro_desc");
        store.SaveKeyAssignment(item);
    }
    document.LeaveElement();
    return profileId;
}

} // namespace io
