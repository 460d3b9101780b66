// What a committed write costs under each durability setting. A dragged light slider writes one
// row per step, so the per-row cost of a commit is the figure that matters. The files live in
// $QUILLON_BENCH_DIR when set, else the system's temporary folder: run it on the disk users have.
#include "base/Utf.h"
#include "store/ProfileStore.h"
#include "store/SQLiteDB.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <sqlite3.h>
#include <string>

namespace {

using store::ProfileStore;
using store::SQLiteDB;
using store::SQLiteStatement;

class TempFolder {
public:
    TempFolder() {
        const char* base = std::getenv("QUILLON_BENCH_DIR");
        std::string pattern =
            ((base != nullptr ? std::filesystem::path(base) : std::filesystem::temp_directory_path()) /
             "quillon-bench-XXXXXX")
                .string();
        m_path = mkdtemp(pattern.data());
        std::filesystem::create_directories(m_path / "db");
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    std::u16string Folder() const { return base::ToUtf16(m_path.string() + "/"); }
    std::filesystem::path m_path;
};

store::LightSetting Slider(int64_t step) {
    store::LightSetting setting;
    setting.brightness = static_cast<int>(step % 5);
    setting.speed = 2;
    return setting;
}

// The store as shipped: write-ahead log, synchronous = FULL.
void BM_SliderStepThroughStore(benchmark::State& state) {
    TempFolder folder;
    ProfileStore store;
    store.Open(folder.Folder(), u"kb_data");
    store.AddLightSetting(store::LightSetting{0, 1, u"Wave", 2, 4, 2, 0, 1, 0, 255, 0, 0, 1});
    int64_t step = 0;
    for (auto _ : state) {
        if (!store.UpdateLightSetting(2, Slider(step++)))
            state.SkipWithError("update failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SliderStepThroughStore)->UseRealTime();

// The same one-row update on a bare connection under each setting, for comparison:
// 0 = rollback journal, synchronous OFF (loses commits on a power loss);
// 1 = rollback journal, FULL (the journal's deletion, the moment of commit, is not synced);
// 2 = rollback journal, EXTRA (durable: syncs journal, database and folder);
// 3 = write-ahead log, FULL (durable with one sync per commit; the store's choice).
void BM_RowWrite(benchmark::State& state) {
    static constexpr const char* kSettings[] = {
        "PRAGMA journal_mode = DELETE; PRAGMA synchronous = OFF;",
        "PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL;",
        "PRAGMA journal_mode = DELETE; PRAGMA synchronous = EXTRA;",
        "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;",
    };
    TempFolder folder;
    SQLiteDB db;
    db.Open((folder.m_path / "db" / "bench.db").string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    db.Execute(kSettings[state.range(0)]);
    db.Execute("CREATE TABLE t_light_data (light_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, "
               "mode INTEGER, brightness INTEGER); INSERT INTO t_light_data(profile, mode, brightness) "
               "VALUES (1, 2, 0);");
    int step = 0;
    for (auto _ : state) {
        SQLiteStatement statement;
        db.Prepare(statement, "UPDATE t_light_data SET brightness = ? WHERE profile = ? AND mode = ?");
        statement.BindInt(1, step++ % 5);
        statement.BindInt(2, 1);
        statement.BindInt(3, 2);
        if (statement.Step() != store::kSqliteDone)
            state.SkipWithError("update failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RowWrite)->DenseRange(0, 3)->UseRealTime();

// A whole custom colour set (one row per key of the keyboard) in one transaction.
void BM_KeyColorSet(benchmark::State& state) {
    TempFolder folder;
    ProfileStore store;
    store.Open(folder.Folder(), u"kb_data");
    std::vector<store::KeyColor> colors;
    for (int key = 0; key < 88; ++key)
        colors.push_back({0, 1, 0, key + 1, 0x00FF00});
    for (auto _ : state) {
        store.DeleteKeyColors(0);
        if (store.AddKeyColors(colors) != 88)
            state.SkipWithError("insert failed");
    }
}
BENCHMARK(BM_KeyColorSet)->UseRealTime();

} // namespace
