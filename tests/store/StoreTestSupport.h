#pragma once

#include "base/Utf.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

// A fresh data folder (with its db/ subfolder) under the system's temporary folder, removed again
// when the test ends.
class TempDataFolder {
public:
    TempDataFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillon-store-XXXXXX").string();
        m_root = mkdtemp(pattern.data());
        std::filesystem::create_directories(m_root / "db");
    }
    ~TempDataFolder() {
        std::error_code error;
        std::filesystem::remove_all(m_root, error);
    }
    TempDataFolder(const TempDataFolder&) = delete;
    TempDataFolder& operator=(const TempDataFolder&) = delete;

    const std::filesystem::path& Root() const { return m_root; }
    /// The data folder as the store takes it: UTF-16 with a trailing '/'.
    std::u16string Folder() const { return base::ToUtf16(m_root.string() + "/"); }
    std::filesystem::path DatabasePath() const { return m_root / "db" / "kb_data_data_v5.db"; }
    std::filesystem::path BackupPath() const { return m_root / "db" / "data_bak.db"; }

private:
    std::filesystem::path m_root;
};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}

/// Runs the sqlite3 command-line tool on a database file and returns what it prints; the SQL is
/// passed on standard input so that no quoting can go wrong.
inline std::string RunSqliteTool(const std::filesystem::path& database, const std::string& sql) {
    const std::filesystem::path script = database.string() + ".sql";
    WriteWholeFile(script, sql);
    const std::string command = "sqlite3 -batch '" + database.string() + "' < '" + script.string() + "' 2>&1";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t read = 0;
        while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, read);
        pclose(pipe);
    }
    std::filesystem::remove(script);
    return output;
}
