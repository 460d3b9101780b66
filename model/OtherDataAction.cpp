#include "model/OtherDataAction.h"

#include "base/Log.h"
#include "base/Text.h"
#include "base/Utf.h"
#include "model/KeyFunctions.h"

#include <algorithm>

namespace model {

namespace {

constexpr std::string_view kLogArea = "keys";
constexpr int kVirtualKeyCtrl = 17;
constexpr int kVirtualKeyV = 86;
constexpr uint32_t kPasteHoldMs = 100;

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char16_t a, char16_t b) { return base::AsciiToLower(a) == base::AsciiToLower(b); });
}

bool ContainsIgnoringCase(std::u16string_view text, std::u16string_view part) {
    for (size_t i = 0; i + part.size() <= text.size(); ++i)
        if (StartsWithIgnoringCase(text.substr(i), part))
            return true;
    return false;
}

bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Whether the address begins with a URI scheme ("mailto:", "file:"). A host followed by a port
// ("localhost:8080/x") is not a scheme.
bool HasScheme(std::u16string_view address) {
    size_t colon = address.find(u':');
    if (colon == std::u16string_view::npos || colon == 0 || !IsAsciiLetter(address[0]))
        return false;
    for (char16_t c : address.substr(0, colon))
        if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != u'+' && c != u'-' && c != u'.')
            return false;
    std::u16string_view rest = address.substr(colon + 1);
    std::u16string_view port = rest.substr(0, rest.find_first_of(u"/?#"));
    bool isPort = !port.empty() && std::all_of(port.begin(), port.end(), IsAsciiDigit);
    return !isPort;
}

// Whether a bare address names this computer or a numeric address (a router at 192.168.1.1,
// a local server at localhost:8080). Such hosts have no "www." name and rarely a certificate.
bool IsLocalOrNumericHost(std::u16string_view address) {
    if (address.front() == u'[') // an IPv6 literal
        return true;
    std::u16string_view host = address.substr(0, address.find_first_of(u":/?#"));
    if (host.size() == 9 && StartsWithIgnoringCase(host, u"localhost"))
        return true;
    bool numeric = !host.empty() && std::all_of(host.begin(), host.end(),
                                                [](char16_t c) { return IsAsciiDigit(c) || c == u'.'; });
    return numeric && std::count(host.begin(), host.end(), u'.') == 3;
}

} // namespace

std::optional<int> ResolveReportedOtherDataId(int reportedId, std::span<const int> assignedIds) {
    if (reportedId < 0 || reportedId > 255)
        return std::nullopt;
    std::optional<int> found;
    for (int id : assignedIds) {
        if (id <= 0 || (id & 0xFF) != reportedId || found == id)
            continue;
        if (found)
            return std::nullopt; // two functions share the byte: we cannot tell which was pressed
        found = id;
    }
    return found;
}

std::u16string WebsiteUri(std::u16string_view typed) {
    std::u16string_view address = base::TrimSpaces(typed);
    if (address.empty() || address.front() == u'-')
        return {};
    bool hasControl = std::any_of(address.begin(), address.end(),
                                  [](char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); });
    if (hasControl)
        return {};
    if (StartsWithIgnoringCase(address, u"http://") || StartsWithIgnoringCase(address, u"https://"))
        return std::u16string(address);
    if (HasScheme(address))
        return {};
    if (IsLocalOrNumericHost(address))
        return u"http://" + std::u16string(address);
    std::u16string uri = u"https://";
    if (!ContainsIgnoringCase(address, u"www."))
        uri += u"www.";
    uri += address;
    return uri;
}

bool RunOtherData(int reportedId, OtherDataSource& source, platform::DesktopServices& services,
                  base::Clock& clock) {
    const std::vector<int> assigned = source.AssignedOtherDataIds();
    std::optional<int> id = ResolveReportedOtherDataId(reportedId, assigned);
    if (!id) {
        base::LogWarning(kLogArea, "key event " + std::to_string(reportedId) +
                                       " matches no single program, website or text of the current profile");
        return false;
    }
    std::optional<OtherData> row = source.GetOtherData(*id);
    if (!row)
        return false;
    switch (row->type) {
    case kFunctionProgram:
        return services.StartProgram(row->param);
    case kFunctionWebsite: {
        std::u16string uri = WebsiteUri(row->macro_desc);
        if (uri.empty()) {
            if (!row->macro_desc.empty())
                // Escaped: a stored address with a line break could forge log lines.
                base::LogWarning(kLogArea, "not opening the address " + base::EscapeForLog(row->macro_desc));
            return false;
        }
        return services.OpenAddress(uri);
    }
    case kFunctionText:
        return SendTextToForeground(row->macro_desc, services, clock);
    default:
        return false;
    }
}

bool SendTextToForeground(std::u16string_view text, platform::DesktopServices& services, base::Clock& clock) {
    if (text.empty())
        return false;
    // Without the clipboard the keystroke would paste whatever the user copied last.
    if (!services.SetClipboardText(text))
        return false;
    services.SendKey(kVirtualKeyCtrl, platform::KeyAction::Press);
    services.SendKey(kVirtualKeyV, platform::KeyAction::Press);
    clock.SleepMs(kPasteHoldMs);
    services.SendKey(kVirtualKeyV, platform::KeyAction::Release);
    services.SendKey(kVirtualKeyCtrl, platform::KeyAction::Release);
    services.ClearClipboard();
    return true;
}

} // namespace model
