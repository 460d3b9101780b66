#include "platform/DataFolder.h"

#include "base/Utf.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>

using namespace platform;

namespace {

struct UserDirsCase {
    const char* name;
    const char* text;
    const char* expected;
};

const UserDirsCase kUserDirsCases[] = {
    {"HomeRelative", "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n", "/home/ann/Documents"},
    {"Absolute", "XDG_DOCUMENTS_DIR=\"/data/docs/\"", "/data/docs"},
    {"Translated",
     "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Bureau\"\n"
     "XDG_DOCUMENTS_DIR=\"$HOME/Документы\"\n",
     "/home/ann/Документы"},
    {"EscapedQuote", "XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"", "/home/ann/My \"Docs\""},
    {"SpacesAroundKey", "  XDG_DOCUMENTS_DIR = \"$HOME/D\"", "/home/ann/D"},
    {"LastLineWins", "XDG_DOCUMENTS_DIR=\"$HOME/A\"\nXDG_DOCUMENTS_DIR=\"$HOME/B\"\n", "/home/ann/B"},
    {"HomeItself", "XDG_DOCUMENTS_DIR=\"$HOME/\"", "/home/ann"},
    {"CommentedOut", "#XDG_DOCUMENTS_DIR=\"$HOME/Documents\"", ""},
    {"RelativeIgnored", "XDG_DOCUMENTS_DIR=\"Documents\"", ""},
    {"OtherVariable", "XDG_DOCUMENTS_DIRX=\"$HOME/x\"\nXDG_MUSIC_DIR=\"$HOME/Music\"", ""},
    {"NotHomeVariable", "XDG_DOCUMENTS_DIR=\"$HOMEWORK/x\"", ""},
    {"Unterminated", "XDG_DOCUMENTS_DIR=\"$HOME/x", ""},
    {"Empty", "", ""},
};

class UserDirsParsing : public ::testing::TestWithParam<UserDirsCase> {};

TEST_P(UserDirsParsing, FindsTheDocumentsFolder) {
    EXPECT_EQ(ParseUserDirsDocuments(GetParam().text, "/home/ann"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, UserDirsParsing, ::testing::ValuesIn(kUserDirsCases),
                         [](const auto& param) { return std::string(param.param.name); });

// Sets environment variables for one test and puts the old values back afterwards.
class ScopedEnvironment {
public:
    ~ScopedEnvironment() {
        for (auto& [name, value] : m_saved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }
    void Set(const std::string& name, const std::optional<std::string>& value) {
        const char* old = std::getenv(name.c_str());
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

class FolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillon-folder-XXXXXX").string();
        m_root = mkdtemp(pattern.data());
        m_environment.Set("HOME", m_root.string());
        m_environment.Set("XDG_CONFIG_HOME", std::nullopt);
        m_environment.Set("QUILLON_DOCUMENTS_DIR", std::nullopt);
    }
    void TearDown() override { std::filesystem::remove_all(m_root); }

    std::filesystem::path m_root;
    ScopedEnvironment m_environment;
};

TEST_F(FolderTest, DocumentsFolderComesFromOverrideThenUserDirsThenHome) {
    EXPECT_EQ(DocumentsFolder(), base::ToUtf16(m_root.string() + "/Documents"));

    std::filesystem::create_directories(m_root / ".config");
    std::ofstream(m_root / ".config" / "user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    EXPECT_EQ(DocumentsFolder(), base::ToUtf16(m_root.string() + "/Dokumente"));

    // $XDG_CONFIG_HOME, when set, is where the file is looked for.
    std::filesystem::create_directories(m_root / "cfg");
    std::ofstream(m_root / "cfg" / "user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"/srv/文档\"\n";
    m_environment.Set("XDG_CONFIG_HOME", (m_root / "cfg").string());
    EXPECT_EQ(DocumentsFolder(), u"/srv/文档");

    m_environment.Set("QUILLON_DOCUMENTS_DIR", "/tmp/test docs/");
    EXPECT_EQ(DocumentsFolder(), u"/tmp/test docs");
    EXPECT_EQ(DataFolder(), u"/tmp/test docs/Quenby Z9 Driver Files/");

    m_environment.Set("QUILLON_DOCUMENTS_DIR", ""); // empty counts as unset
    EXPECT_EQ(DocumentsFolder(), u"/srv/文档");
}

TEST_F(FolderTest, CreateFolderPathMakesEveryMissingFolder) {
    const std::u16string data = base::ToUtf16(m_root.string()) + u"/Documents/Quenby Z9 Driver Files/db";
    EXPECT_TRUE(CreateFolderPath(data));
    EXPECT_TRUE(std::filesystem::is_directory(base::ToUtf8(data)));
    EXPECT_TRUE(CreateFolderPath(data));        // already there
    EXPECT_TRUE(CreateFolderPath(data + u"/")); // a trailing separator is fine

    // A file where a folder should be: no folder can exist there.
    std::ofstream(m_root / "file") << "x";
    EXPECT_FALSE(CreateFolderPath(base::ToUtf16((m_root / "file").string())));
    EXPECT_FALSE(CreateFolderPath(base::ToUtf16((m_root / "file" / "sub").string())));
    EXPECT_FALSE(CreateFolderPath(u""));
}

} // namespace
