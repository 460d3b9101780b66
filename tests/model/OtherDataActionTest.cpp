#include "model/OtherDataAction.h"

#include "base/Clock.h"
#include "base/Log.h"
#include "base/Utf.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

using model::OtherData;

// Records every call as one line, with the time of the manual clock for keystrokes, so a test
// sees exactly what would reach the desktop and in which order.
class RecordingServices : public platform::DesktopServices {
public:
    explicit RecordingServices(base::Clock& clock) : m_clock(clock) {}

    bool StartProgram(std::u16string_view path) override { return Record(u"start " + std::u16string(path)); }
    bool OpenAddress(std::u16string_view uri) override { return Record(u"open " + std::u16string(uri)); }
    bool SetClipboardText(std::u16string_view text) override {
        clipboard = text;
        return Record(u"clipboard " + std::u16string(text)) && clipboardWorks;
    }
    bool ClearClipboard() override {
        clipboard.clear();
        return Record(u"clear clipboard");
    }
    bool SendKey(int virtualKey, platform::KeyAction action) override {
        std::string line = std::to_string(m_clock.NowMs()) + "ms key " + std::to_string(virtualKey) +
                           (action == platform::KeyAction::Press ? " down" : " up");
        return Record(std::u16string(line.begin(), line.end()));
    }

    std::vector<std::u16string> calls;
    std::u16string clipboard;
    bool clipboardWorks = true;

private:
    bool Record(std::u16string call) {
        calls.push_back(std::move(call));
        return true;
    }
    base::Clock& m_clock;
};

class TableSource : public model::OtherDataSource {
public:
    std::optional<OtherData> GetOtherData(int id) override {
        auto it = rows.find(id);
        if (it == rows.end())
            return std::nullopt;
        return it->second;
    }
    std::vector<int> AssignedOtherDataIds() override { return assigned; }

    void Add(OtherData row) {
        assigned.push_back(row.id);
        rows[row.id] = std::move(row);
    }

    std::map<int, OtherData> rows;
    std::vector<int> assigned;
};

class RunOtherDataTest : public ::testing::Test {
protected:
    bool Run(int reportedId) { return model::RunOtherData(reportedId, source, services, clock); }

    base::ManualClock clock;
    RecordingServices services{clock};
    TableSource source;
};

TEST_F(RunOtherDataTest, ProgramStartsTheStoredPathAsIs) {
    const std::u16string path = u"/opt/My Tools/run; rm -rf ~ $(reboot) `id` & \"x\".sh";
    source.Add({4, u"run.sh", path, 8});
    EXPECT_TRUE(Run(4));
    EXPECT_EQ(services.calls, (std::vector<std::u16string>{u"start " + path}));
}

TEST_F(RunOtherDataTest, WebsiteOpensTheAddressWithTheWwwRule) {
    source.Add({5, u"example.com", u"", 9});
    EXPECT_TRUE(Run(5));
    EXPECT_EQ(services.calls, (std::vector<std::u16string>{u"open https://www.example.com"}));
}

TEST_F(RunOtherDataTest, RefusedAddressIsLoggedEscaped) {
    std::vector<std::string> warnings;
    base::SetLogSink(
        [&](base::LogLevel, std::string_view, std::string_view message) { warnings.emplace_back(message); });
    source.Add({5, u"file:///x\nquillon error keys: forged\x1B[2J", u"", 9});
    EXPECT_FALSE(Run(5));
    base::SetLogSink({});
    EXPECT_TRUE(services.calls.empty());
    EXPECT_EQ(warnings, (std::vector<std::string>{
                            "not opening the address file:///x\\nquillon error keys: forged\\x1B[2J"}));
}

TEST_F(RunOtherDataTest, TextIsPastedWithCtrlVHeldFor100Ms) {
    source.Add({6, u"Grüße, 世界", u"", 10});
    EXPECT_TRUE(Run(6));
    EXPECT_EQ(services.calls,
              (std::vector<std::u16string>{u"clipboard Grüße, 世界", u"0ms key 17 down", u"0ms key 86 down",
                                           u"100ms key 86 up", u"100ms key 17 up", u"clear clipboard"}));
    EXPECT_EQ(services.clipboard, u"");
}

TEST_F(RunOtherDataTest, EmptyTextTypesNothing) {
    source.Add({7, u"", u"", 10});
    EXPECT_FALSE(Run(7));
    EXPECT_FALSE(model::SendTextToForeground(u"", services, clock));
    EXPECT_TRUE(services.calls.empty());
}

// Without our text on the clipboard, Ctrl+V would paste whatever the user copied last.
TEST_F(RunOtherDataTest, NoKeystrokeWhenTheClipboardFails) {
    services.clipboardWorks = false;
    EXPECT_FALSE(model::SendTextToForeground(u"secret", services, clock));
    EXPECT_EQ(services.calls, (std::vector<std::u16string>{u"clipboard secret"}));
}

TEST_F(RunOtherDataTest, UnknownIdsAndTypesDoNothing) {
    source.Add({9, u"x", u"/bin/x", 3}); // not a computer-side type
    source.assigned.push_back(11);       // assigned, but the row is gone
    for (int reported : {9, 11, 12, -1, 256})
        EXPECT_FALSE(Run(reported)) << reported;
    EXPECT_TRUE(services.calls.empty());
}

// The keyboard reports one byte of the id. Id 300 is reported as 44 and must run row 300, the
// one the key uses, not row 44; when two used ids share the byte nothing runs.
TEST_F(RunOtherDataTest, ReportedByteRunsTheRowTheKeyUses) {
    source.rows[44] = {44, u"old", u"/usr/bin/old-program", 8};
    source.Add({300, u"new", u"/usr/bin/new-program", 8});
    EXPECT_TRUE(Run(44));
    EXPECT_EQ(services.calls, (std::vector<std::u16string>{u"start /usr/bin/new-program"}));

    services.calls.clear();
    source.assigned.push_back(44);
    EXPECT_FALSE(Run(44));
    EXPECT_TRUE(services.calls.empty());
}

TEST(ResolveReportedOtherDataId, PicksTheOneAssignedIdWithThatByte) {
    const int assigned[] = {3, 300, 300, 557, 7, 0, -44};
    EXPECT_EQ(model::ResolveReportedOtherDataId(3, assigned), 3);
    EXPECT_EQ(model::ResolveReportedOtherDataId(7, assigned), 7);
    EXPECT_EQ(model::ResolveReportedOtherDataId(44, assigned), 300); // the same id twice is one
    EXPECT_EQ(model::ResolveReportedOtherDataId(1, {}), std::nullopt);
    const int clash[] = {44, 556};
    EXPECT_EQ(model::ResolveReportedOtherDataId(44, clash), std::nullopt);
    EXPECT_EQ(model::ResolveReportedOtherDataId(0, assigned), std::nullopt);
}

TEST(WebsiteUri, OpensWebAddressesAndRefusesTheRest) {
    struct Case {
        const char16_t* typed;
        const char16_t* uri; // empty: not opened
    };
    const Case cases[] = {
        {u"example.com", u"https://www.example.com"},
        {u"www.example.com", u"https://www.example.com"},
        {u"mail.example.com/www.html", u"https://mail.example.com/www.html"},
        {u"WWW.Example.com", u"https://WWW.Example.com"},
        {u"  example.com/a b ", u"https://www.example.com/a b"},
        {u"localhost:8080/status", u"http://localhost:8080/status"},
        {u"192.168.1.1", u"http://192.168.1.1"},
        {u"[::1]:8080/", u"http://[::1]:8080/"},
        {u"example.com:8443/x", u"https://www.example.com:8443/x"},
        {u"1.2.3.example.com", u"https://www.1.2.3.example.com"},
        {u"https://example.com", u"https://example.com"},
        {u"HTTP://example.com/?q=1", u"HTTP://example.com/?q=1"},
        {u"http://www.example.com", u"http://www.example.com"},
        {u"file:///etc/passwd", u""},
        {u"javascript:alert(1)", u""},
        {u"data:text/html,<b>x</b>", u""},
        {u"smb://server/share", u""},
        {u"mailto:someone@example.com", u""},
        {u"-example.com", u""},
        {u"--help", u""},
        {u"example.com\n--x", u""},
        {u"exa\u007fmple.com", u""},
        {u"", u""},
        {u"   ", u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(model::WebsiteUri(c.typed), c.uri) << base::ToUtf8(c.typed);
}

} // namespace
