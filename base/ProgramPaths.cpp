#include "base/ProgramPaths.h"

#include <cstdlib>
#include <system_error>

namespace base {

std::filesystem::path ExecutableDir() {
    std::error_code error;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    return exe.parent_path();
}

std::filesystem::path ProgramDataDir() {
    if (const char* overridden = std::getenv("QUILLON_DATA_DIR"); overridden && *overridden)
        return overridden;
    auto exeDir = ExecutableDir();
    std::error_code error;
    if (std::filesystem::exists(exeDir / "config.ini", error))
        return exeDir;
    return exeDir.parent_path() / "share" / "quillon";
}

} // namespace base
