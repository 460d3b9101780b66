#include "io/MacroFile.h"

#include "base/Text.h"
#include "io/ExchangeFile.h"
#include "io/XmlDocument.h"

namespace io {

std::u16string BuildMacroDocument(const std::u16string& name, const store::Macro& macro,
                                  const std::vector<store::MacroStep>& steps) {
    XmlDocument document;
    document.SetText(kXmlDeclaration);
    document.AppendElement(u"macro");
    document.EnterElement();
    document.AppendElement(u"macroinfo");
    document.SetAttribute(u"name", name);
    document.SetAttribute(u"times", FormatNumber(macro.play_times));
    document.SetAttribute(u"type", FormatNumber(macro.delay_type));
    document.SetAttribute(u"delaytime", FormatNumber(macro.delay_time));
    document.AppendElement(u"macroitems");
    document.EnterElement();
    for (const store::MacroStep& step : steps) {
        document.AppendElement(u"item");
        document.SetAttribute(u"desc", step.desc);
        document.SetAttribute(u"type", FormatNumber(step.type));
        document.SetAttribute(u"value", FormatNumber(step.value));
        document.SetAttribute(u"delay_time", FormatNumber(step.delay_time));
    }
    return document.GetText();
}

bool WriteMacroFile(store::ProfileStore& store, int macroId, const std::u16string& name,
                    const std::filesystem::path& path) {
    store::Macro macro;
    if (!store.GetMacro(macroId, macro)) {
        return false;
    }
    std::vector<store::MacroStep> steps;
    store.ListMacroSteps(macroId, steps);
    XmlDocument document;
    return document.SaveFile(BuildMacroDocument(name, macro, steps), path);
}

int ReadMacroFile(store::ProfileStore& store, const std::filesystem::path& path, std::u16string& name) {
    name.clear();
    XmlDocument document;
    if (!LoadDocument(path, document) || !document.FindElement(u"macro")) {
        return 0;
    }
    document.EnterElement();
    store::Macro macro;
    if (document.FindElement(u"macroinfo")) {
        macro.name = document.GetAttribute(u"name");
        macro.play_times = base::ParseLeadingInt(document.GetAttribute(u"times"));
        macro.delay_type = base::ParseLeadingInt(document.GetAttribute(u"type"));
        macro.delay_time = base::ParseLeadingInt(document.GetAttribute(u"delaytime"));
    }
    name = macro.name;
    int macroId = store.AddMacro(macro);
    if (macroId <= 0) {
        return 0;
    }
    if (document.FindElement(u"macroitems")) {
        document.EnterElement();
        std::vector<store::MacroStep> steps;
        while (static_cast<int>(steps.size()) < kMaxMacroSteps && document.FindElement(u"item")) {
            store::MacroStep step;
            step.macro_id = macroId;
            step.record_index = static_cast<int>(steps.size());
            step.desc = document.GetAttribute(u"desc");
            step.type = base::ParseLeadingInt(document.GetAttribute(u"type"));
            step.value = base::ParseLeadingInt(document.GetAttribute(u"value"));
            step.delay_time = base::ParseLeadingInt(document.GetAttribute(u"delay_time"));
            steps.push_back(std::move(step));
        }
        if (!steps.empty()) {
            store.AddMacroSteps(steps);
        }
        document.LeaveElement();
    }
    return macroId;
}

} // namespace io
