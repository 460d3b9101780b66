#pragma once

#include <string>
#include <string_view>

// Where the program keeps the user's data: <Documents>/Quenby Z9 Driver Files/, with the profile
// database in its db/ subfolder. Paths are UTF-16 like all text of the program and end with '/'.
namespace platform {

/// The name of the data folder inside the documents folder.
inline constexpr std::u16string_view kDataFolderName = u"Quenby Z9 Driver Files";

/// The user's documents folder, without a trailing '/': $QUILLON_DOCUMENTS_DIR when set and not
/// empty; else XDG_DOCUMENTS_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (~/.config when unset);
/// else $HOME/Documents.
std::u16string DocumentsFolder();

/// The data folder: DocumentsFolder() + "/Quenby Z9 Driver Files/" (always ends with '/').
std::u16string DataFolder();

/// The documents folder named by the text of a user-dirs.dirs file (lines such as
/// XDG_DOCUMENTS_DIR="$HOME/Documents"), with $HOME replaced by home; empty when the file does
/// not name one or names a relative path.
std::string ParseUserDirsDocuments(std::string_view fileText, std::string_view home);

/// Creates every missing directory of the path; true when the last one exists afterwards.
bool CreateFolderPath(const std::u16string& path);

} // namespace platform
