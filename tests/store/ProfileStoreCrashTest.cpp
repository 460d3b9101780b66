// A process killed in the middle of writing leaves a whole database with every committed change.
#include "StoreTestSupport.h"
#include "store/ProfileStore.h"
#include "store/SQLiteDB.h"

#include <gtest/gtest.h>
#include <set>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace store;

namespace {

constexpr int kStepsPerMacro = 20;

// The child: adds macros with their steps for ever and reports each macro id through the pipe
// once both of its operations have returned.
[[noreturn]] void WriteUntilKilled(const std::u16string& folder, int reportFd) {
    ProfileStore store;
    if (!store.Open(folder, u"kb_data"))
        _exit(2);
    for (int i = 0; i < 100000; ++i) {
        const int macro = store.AddEmptyMacro(u"macro " + base::ToUtf16(std::to_string(i)));
        std::vector<MacroStep> steps;
        for (int s = 0; s < kStepsPerMacro; ++s)
            steps.push_back({0, macro, 1, s, s, 10, u"step"});
        if (macro == 0 || !store.AddMacroSteps(steps))
            _exit(3);
        if (write(reportFd, &macro, sizeof macro) != sizeof macro)
            _exit(4);
    }
    _exit(0);
}

TEST(ProfileStoreCrash, KilledWriterLeavesEveryCommittedChange) {
    TempDataFolder folder;
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(fds[0]);
        WriteUntilKilled(folder.Folder(), fds[1]);
    }
    close(fds[1]);

    std::set<int> reported;
    int macro = 0;
    while (reported.size() < 40 && read(fds[0], &macro, sizeof macro) == sizeof macro)
        reported.insert(macro);
    kill(child, SIGKILL);
    // Whatever the child reported before it died was committed too.
    while (read(fds[0], &macro, sizeof macro) == sizeof macro)
        reported.insert(macro);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself with " << WEXITSTATUS(status);
    ASSERT_GE(reported.size(), 40u);

    EXPECT_EQ(RunSqliteTool(folder.DatabasePath(), "PRAGMA integrity_check;\n"), "ok\n");
    ProfileStore store;
    ASSERT_TRUE(store.Open(folder.Folder(), u"kb_data"));
    EXPECT_EQ(store.GetSetAsidePath(), "");
    std::vector<MacroStep> steps;
    for (int id : reported) {
        Macro read;
        EXPECT_TRUE(store.GetMacro(id, read)) << id;
        EXPECT_EQ(store.ListMacroSteps(id, steps), kStepsPerMacro) << id;
    }
    // The macro being written at the kill has all of its steps or none.
    std::vector<Macro> macros;
    store.ListMacros(macros);
    for (const Macro& m : macros) {
        const int count = store.ListMacroSteps(m.macro_id, steps);
        EXPECT_TRUE(count == 0 || count == kStepsPerMacro) << m.macro_id << " has " << count;
    }
}

} // namespace
