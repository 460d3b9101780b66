#include "platform/DataFolder.h"

#include "base/Utf.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace platform {

namespace fs = std::filesystem;

namespace {

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string HomeFolder() {
    std::string home = EnvironmentValue("HOME");
    if (!home.empty())
        return home;
    // A session without $HOME (a service, a stripped environment) still has a password entry.
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
        return entry->pw_dir;
    return "/";
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path);
    if (!file)
        return {};
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string TrimTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

std::string ParseUserDirsDocuments(std::string_view fileText, std::string_view home) {
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR";
    std::string found;
    size_t lineStart = 0;
    while (lineStart < fileText.size()) {
        size_t lineEnd = fileText.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = fileText.size();
        std::string_view line = fileText.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#')
            continue;
        line.remove_prefix(first);
        if (line.substr(0, kKey.size()) != kKey)
            continue;
        line.remove_prefix(kKey.size());
        const size_t equals = line.find_first_not_of(" \t");
        if (equals == std::string_view::npos || line[equals] != '=')
            continue;
        line.remove_prefix(equals + 1);
        // The value is a double-quoted path that starts with $HOME or '/'; \" and \\ are escapes.
        const size_t open = line.find('"');
        if (open == std::string_view::npos)
            continue;
        std::string value;
        bool closed = false;
        for (size_t i = open + 1; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                value += line[++i];
            } else if (line[i] == '"') {
                closed = true;
                break;
            } else {
                value += line[i];
            }
        }
        if (!closed)
            continue;
        if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/'))
            value = std::string(home) + value.substr(5);
        else if (value.empty() || value[0] != '/')
            continue;
        found = TrimTrailingSlashes(value); // the last valid line wins, as in the shell
    }
    return found;
}

std::u16string DocumentsFolder() {
    const std::string overridden = EnvironmentValue("QUILLON_DOCUMENTS_DIR");
    if (!overridden.empty())
        return base::ToUtf16(TrimTrailingSlashes(overridden));
    const std::string home = HomeFolder();
    std::string configHome = EnvironmentValue("XDG_CONFIG_HOME");
    if (configHome.empty() || configHome[0] != '/')
        configHome = home + "/.config";
    const std::string documents =
        ParseUserDirsDocuments(ReadFile(fs::path(configHome) / "user-dirs.dirs"), home);
    if (!documents.empty())
        return base::ToUtf16(documents);
    return base::ToUtf16(TrimTrailingSlashes(home) + "/Documents");
}

std::u16string DataFolder() {
    std::u16string folder = DocumentsFolder();
    if (folder != u"/")
        folder += u'/';
    folder += kDataFolderName;
    folder += u'/';
    return folder;
}

bool CreateFolderPath(const std::u16string& path) {
    const fs::path folder(base::ToUtf8(path));
    std::error_code error;
    if (fs::is_directory(folder, error))
        return true;
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error);
}

} // namespace platform
