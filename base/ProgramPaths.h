#pragma once

#include <filesystem>

namespace base {

/// The folder of the running executable (from /proc/self/exe); empty if it cannot be read.
std::filesystem::path ExecutableDir();

/// The program's data folder, which holds config.ini and images/: $QUILLON_DATA_DIR when set,
/// else the executable's folder when config.ini lies beside it (the build tree), else
/// <prefix>/share/quillon beside the installed executable's bin/ folder.
std::filesystem::path ProgramDataDir();

} // namespace base
