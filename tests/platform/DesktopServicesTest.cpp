#include "base/Clock.h"
#include "base/Utf.h"
#include "model/OtherDataAction.h"
#include "platform/LinuxDesktopServices.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// X11 defines macros (None, Bool) that clash with GoogleTest's names, so it comes last.
// clang-format off
#include <gtk/gtk.h>
#include <gdk/gdkx.h>
#include <X11/Xlib.h>
// clang-format on

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A temporary folder whose name has spaces and shell metacharacters in it, removed afterwards.
class HostileFolder {
public:
    HostileFolder() {
        char pattern[] = "/tmp/quillon desktop;$(touch pwned) `x` &XXXXXX";
        m_path = mkdtemp(pattern);
    }
    ~HostileFolder() { fs::remove_all(m_path); }
    const fs::path& Path() const { return m_path; }

    // Writes an executable shell script that creates the marker file given as its only line.
    fs::path WriteMarkerScript(const std::string& name, const fs::path& marker) const {
        fs::path script = m_path / name;
        std::ofstream(script) << "#!/bin/sh\necho started > '" << marker.string() << "'\n";
        fs::permissions(script, fs::perms::owner_all);
        return script;
    }

private:
    fs::path m_path;
};

// Waits for a file that a started program creates. The program runs for real, so this is a
// real wait, bounded at 10 s.
bool WaitForFile(const fs::path& file) {
    for (int i = 0; i < 1000; ++i) {
        if (fs::exists(file) && fs::file_size(file) > 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class OneRowSource : public model::OtherDataSource {
public:
    explicit OneRowSource(model::OtherData row) : m_row(std::move(row)) {}
    std::optional<model::OtherData> GetOtherData(int id) override {
        return id == m_row.id ? std::optional(m_row) : std::nullopt;
    }
    std::vector<int> AssignedOtherDataIds() override { return {m_row.id}; }

private:
    model::OtherData m_row;
};

TEST(StartProgram, RunsTheFileItselfWithoutAShell) {
    HostileFolder folder;
    const fs::path marker = folder.Path() / "marker";
    const fs::path script = folder.WriteMarkerScript("my tool; $(rm -rf x) `y`.sh", marker);

    platform::LinuxDesktopServices services;
    base::ManualClock clock;
    OneRowSource source({300, u"my tool.sh", base::ToUtf16(script.string()), 8});
    // The keyboard reports 300 as its low byte, 44.
    ASSERT_TRUE(model::RunOtherData(44, source, services, clock));
    ASSERT_TRUE(WaitForFile(marker));
    // A shell would have run the command substitution in the folder name.
    EXPECT_FALSE(fs::exists("pwned"));
    EXPECT_FALSE(fs::exists(folder.Path() / "pwned"));
}

TEST(StartProgram, RefusesWhatCannotBeStarted) {
    HostileFolder folder;
    platform::LinuxDesktopServices services;
    EXPECT_FALSE(services.StartProgram(u""));
    EXPECT_FALSE(services.StartProgram(u"bin/true"));
    EXPECT_FALSE(services.StartProgram(u"-rf"));
    EXPECT_FALSE(services.StartProgram(base::ToUtf16((folder.Path() / "missing").string())));
}

// Without a display (GTK never opened one in this process) the clipboard and keys report
// failure instead of crashing, and a text is not typed.
TEST(DesktopWithoutDisplay, ClipboardAndKeysFailCleanly) {
    ASSERT_EQ(gdk_display_get_default(), nullptr);
    platform::LinuxDesktopServices services;
    base::ManualClock clock;
    EXPECT_FALSE(services.SetClipboardText(u"text"));
    EXPECT_FALSE(services.ClearClipboard());
    EXPECT_FALSE(services.SendKey(17, platform::KeyAction::Press));
    EXPECT_FALSE(model::SendTextToForeground(u"text", services, clock));
}

// A private Xvfb server for the tests that need a real X display. GTK opens its display once
// per process, so the server is shared by the whole suite.
class XvfbFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        int ready[2];
        if (pipe(ready) != 0)
            return;
        std::string fd = std::to_string(ready[1]);
        const char* argv[] = {"Xvfb",    "-displayfd", fd.c_str(),   "-nolisten", "tcp",
                              "-screen", "0",          "640x480x24", nullptr};
        if (posix_spawnp(&s_server, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
            s_server = 0;
        close(ready[1]);
        // Xvfb writes its display number once it accepts connections.
        char number[16] = {};
        ssize_t got = s_server > 0 ? read(ready[0], number, sizeof(number) - 1) : 0;
        close(ready[0]);
        if (got <= 0)
            return;
        setenv("DISPLAY", (":" + std::string(number, strcspn(number, "\n"))).c_str(), 1);
        setenv("GDK_BACKEND", "x11", 1);
        s_ready = gtk_init_check(nullptr, nullptr);
    }

    static void TearDownTestSuite() {
        if (s_server > 0) {
            kill(s_server, SIGTERM);
            waitpid(s_server, nullptr, 0);
        }
    }

    void SetUp() override {
        if (!s_ready)
            GTEST_SKIP() << "no Xvfb display";
        m_display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
        m_clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    }

    std::string ClipboardText() {
        gchar* text = gtk_clipboard_wait_for_text(m_clipboard);
        std::string result = text ? text : "";
        g_free(text);
        return result;
    }

    bool KeyIsDown(KeySym symbol) {
        char keys[32];
        XQueryKeymap(m_display, keys);
        KeyCode code = XKeysymToKeycode(m_display, symbol);
        return keys[code / 8] & (1 << (code % 8));
    }

    // Runs the GTK main loop until the pending timeouts of a zero grace period have fired.
    void RunPendingTimeouts() {
        for (int i = 0; i < 100 && g_main_context_pending(nullptr); ++i)
            g_main_context_iteration(nullptr, FALSE);
    }

    static inline pid_t s_server = 0;
    static inline bool s_ready = false;
    Display* m_display = nullptr;
    GtkClipboard* m_clipboard = nullptr;
};

TEST_F(XvfbFixture, TextGoesOnTheClipboardAndCtrlVIsPressed) {
    platform::LinuxDesktopServices services(0);
    ASSERT_TRUE(services.SetClipboardText(u"Grüße, 世界"));
    EXPECT_EQ(ClipboardText(), "Grüße, 世界");

    ASSERT_TRUE(services.SendKey(17, platform::KeyAction::Press));
    EXPECT_TRUE(KeyIsDown(XK_Control_L));
    ASSERT_TRUE(services.SendKey(17, platform::KeyAction::Release));
    EXPECT_FALSE(KeyIsDown(XK_Control_L));
    EXPECT_FALSE(services.SendKey(200, platform::KeyAction::Press)); // not a key we synthesize

    ASSERT_TRUE(services.ClearClipboard());
    RunPendingTimeouts();
    EXPECT_EQ(ClipboardText(), "");
}

// The clipboard is emptied only if it still holds our text: what the user copied in the
// meantime stays.
TEST_F(XvfbFixture, ClearingLeavesSomeoneElsesClipboardAlone) {
    platform::LinuxDesktopServices services(0);
    ASSERT_TRUE(services.SetClipboardText(u"ours"));
    ASSERT_TRUE(services.ClearClipboard());
    gtk_clipboard_set_text(m_clipboard, "the user's", -1);
    RunPendingTimeouts();
    EXPECT_EQ(ClipboardText(), "the user's");
}

} // namespace
