#pragma once

#include "base/Clock.h"
#include "platform/DesktopServices.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The computer-side functions of keys: when a key assigned to a program, a web address or a
// text is pressed, the keyboard reports the low byte of the function's other-data id and the
// program performs the function.
namespace model {

/// One stored other-data row.
struct OtherData {
    int id = 0;                // macro_value
    std::u16string macro_desc; // program: file name; website: the address as typed; text: the text
    std::u16string param;      // program: full path; otherwise empty
    int type = 0;              // 8 program, 9 website, 10 text
};

/// Where the action finds its rows. The main window implements it over the profile store.
class OtherDataSource {
public:
    virtual ~OtherDataSource() = default;

    /// The row with that id, or nothing.
    virtual std::optional<OtherData> GetOtherData(int id) = 0;

    /// The other-data ids that the keys of the current profile use (functions 8, 9 and 10, both
    /// layers): these are the functions the keyboard can be reporting.
    virtual std::vector<int> AssignedOtherDataIds() = 0;
};

/// The id of the row a reported byte stands for: the one id among those assigned whose low
/// byte it is. Nothing when no assigned id or more than one has that low byte, since running a
/// guessed row could start the wrong program.
std::optional<int> ResolveReportedOtherDataId(int reportedId, std::span<const int> assignedIds);

/// The URI to open for a website function, or empty when the address must not be opened. An
/// http or https address opens as typed; a bare address gets "www." in front unless it has
/// "www." already and is opened over https, except a numeric address or localhost, which opens
/// over http as typed; any other scheme, an address starting with "-" and one with control
/// characters are refused.
std::u16string WebsiteUri(std::u16string_view address);

/// Performs the function behind a reported other-data id (the byte of the keyboard's event
/// report) and returns whether something was started or typed. Runs on the UI thread; a text
/// blocks it for the 100 ms of the keystroke.
bool RunOtherData(int reportedId, OtherDataSource& source, platform::DesktopServices& services,
                  base::Clock& clock);

/// Types the text into the foreground program: puts it on the clipboard, presses Ctrl+V for
/// 100 ms and empties the clipboard again (the earlier clipboard content is not restored). An
/// empty text does nothing at all.
bool SendTextToForeground(std::u16string_view text, platform::DesktopServices& services, base::Clock& clock);

} // namespace model
