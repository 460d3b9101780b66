#include "store/SQLiteDB.h"

#include "StoreTestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace store;

namespace {

constexpr int kCreate = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;

class SQLiteDBTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_db.Open(m_folder.DatabasePath().string(), kCreate));
        ASSERT_EQ(m_db.Execute("CREATE TABLE t (id INTEGER PRIMARY KEY AUTOINCREMENT, n INTEGER, s TEXT)"),
                  kSqliteOk);
    }

    int CountRows() {
        SQLiteStatement statement;
        m_db.Prepare(statement, "SELECT count(*) FROM t");
        return statement.Step() == kSqliteRow ? statement.ColumnInt(0) : -1;
    }

    TempDataFolder m_folder;
    SQLiteDB m_db;
};

TEST(SQLiteDBWithoutConnection, EveryOperationAnswersMisuseOrEmpty) {
    SQLiteDB db;
    SQLiteStatement statement;
    EXPECT_FALSE(db.IsOpen());
    EXPECT_TRUE(db.Close());
    EXPECT_EQ(db.Prepare(statement, "SELECT 1"), kSqliteMisuse);
    EXPECT_EQ(db.Execute("SELECT 1"), kSqliteMisuse);
    EXPECT_EQ(db.LastInsertRowId(), -1);
    EXPECT_EQ(statement.BindInt(1, 5), kSqliteMisuse);
    EXPECT_EQ(statement.BindText(1, "x"), kSqliteMisuse);
    EXPECT_EQ(statement.Step(), kSqliteMisuse);
    EXPECT_FALSE(IsStepSuccess(statement.Step()));
    EXPECT_EQ(statement.ColumnInt(0), 0);
    EXPECT_EQ(statement.ColumnText(0), "");

    SQLiteAutoTransaction transaction(&db);
    EXPECT_FALSE(transaction.Began());
    EXPECT_FALSE(transaction.Commit());
    SQLiteAutoTransaction none(nullptr);
    EXPECT_FALSE(none.Begin());
    EXPECT_FALSE(none.Commit());
}

TEST(SQLiteDBOpen, RefusesAnEmptyPathAndAMissingFileWithoutCreate) {
    TempDataFolder folder;
    SQLiteDB db;
    EXPECT_FALSE(db.Open("", kCreate));
    EXPECT_FALSE(db.Open(folder.DatabasePath().string(), SQLITE_OPEN_READWRITE));
    EXPECT_FALSE(db.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(folder.DatabasePath()));
}

TEST_F(SQLiteDBTest, CommitsSurviveAPowerLoss) {
    // The write-ahead log with synchronous = FULL (2) syncs the log at each commit.
    SQLiteStatement statement;
    m_db.Prepare(statement, "PRAGMA synchronous");
    ASSERT_EQ(statement.Step(), kSqliteRow);
    EXPECT_EQ(statement.ColumnInt(0), 2);
    m_db.Prepare(statement, "PRAGMA journal_mode");
    ASSERT_EQ(statement.Step(), kSqliteRow);
    EXPECT_EQ(statement.ColumnText(0), "wal");
}

TEST_F(SQLiteDBTest, FailedPrepareSurfacesAsMisuseAtStep) {
    SQLiteStatement statement;
    EXPECT_NE(m_db.Prepare(statement, "SELECT FROM nowhere"), kSqliteOk);
    EXPECT_FALSE(statement.IsPrepared());
    EXPECT_EQ(statement.Step(), kSqliteMisuse);
    EXPECT_EQ(m_db.Prepare(statement, nullptr), kSqliteMisuse);
}

TEST_F(SQLiteDBTest, BindsStepsAndReadsColumns) {
    SQLiteStatement statement;
    ASSERT_EQ(m_db.Prepare(statement, "INSERT INTO t(n, s) VALUES (?, ?)"), kSqliteOk);
    EXPECT_EQ(statement.BindInt(1, -7), kSqliteOk);
    EXPECT_EQ(statement.BindText16(2, u"héllo 配置"), kSqliteOk);
    EXPECT_EQ(statement.Step(), kSqliteDone);
    EXPECT_EQ(m_db.LastInsertRowId(), 1);
    ASSERT_EQ(m_db.Execute("INSERT INTO t(n, s) VALUES (2, NULL)"), kSqliteOk);

    ASSERT_EQ(m_db.Prepare(statement, "SELECT n, s, length(CAST(s AS BLOB)) FROM t ORDER BY id"), kSqliteOk);
    ASSERT_EQ(statement.Step(), kSqliteRow);
    EXPECT_EQ(statement.ColumnInt(0), -7);
    EXPECT_EQ(statement.ColumnText16(1), u"héllo 配置");
    EXPECT_EQ(statement.ColumnInt(2), 13); // stored as UTF-8: h é(2) llo space 配(3) 置(3)
    ASSERT_EQ(statement.Step(), kSqliteRow);
    EXPECT_EQ(statement.ColumnText(1), ""); // NULL reads as empty
    EXPECT_EQ(statement.ColumnText16(1), u"");
    EXPECT_EQ(statement.Step(), kSqliteDone);
}

TEST_F(SQLiteDBTest, EmptyTextIsStoredAsEmptyNotNull) {
    SQLiteStatement statement;
    m_db.Prepare(statement, "INSERT INTO t(n, s) VALUES (1, ?)");
    statement.BindText(1, std::string_view());
    ASSERT_EQ(statement.Step(), kSqliteDone);
    m_db.Prepare(statement, "SELECT s IS NULL FROM t");
    ASSERT_EQ(statement.Step(), kSqliteRow);
    EXPECT_EQ(statement.ColumnInt(0), 0);
}

TEST_F(SQLiteDBTest, TransactionDestructorCommitsAndRollbackUndoes) {
    {
        SQLiteAutoTransaction transaction(&m_db);
        EXPECT_TRUE(transaction.Began());
        EXPECT_FALSE(transaction.Begin()); // already active
        m_db.Execute("INSERT INTO t(n) VALUES (1)");
    } // a scope left without Commit keeps its changes
    EXPECT_EQ(CountRows(), 1);
    {
        SQLiteAutoTransaction transaction(&m_db);
        m_db.Execute("INSERT INTO t(n) VALUES (2)");
        EXPECT_TRUE(transaction.Rollback());
        EXPECT_FALSE(transaction.Rollback());
    }
    EXPECT_EQ(CountRows(), 1);
    SQLiteAutoTransaction transaction(&m_db);
    m_db.Execute("INSERT INTO t(n) VALUES (3)");
    EXPECT_TRUE(transaction.Commit());
    EXPECT_TRUE(transaction.Begin());
    EXPECT_TRUE(transaction.Commit());
    EXPECT_EQ(CountRows(), 2);
}

TEST_F(SQLiteDBTest, ReopeningClosesThePreviousConnection) {
    m_db.Execute("INSERT INTO t(n) VALUES (1)");
    ASSERT_TRUE(m_db.Open(m_folder.DatabasePath().string(), SQLITE_OPEN_READWRITE));
    EXPECT_EQ(CountRows(), 1);
    EXPECT_TRUE(m_db.Close());
    EXPECT_FALSE(m_db.IsOpen());
}

} // namespace
