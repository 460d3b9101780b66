#pragma once

#include <functional>
#include <string_view>

// A small process-wide log on standard error. Events that users or testers may need to see
// later (a damaged database set aside, a device that refuses to open) are logged, never thrown.
namespace base {

enum class LogLevel { Info, Warning, Error };

/// Writes one line "<level> <area>: <message>" to standard error (and to the sink, if any).
void Log(LogLevel level, std::string_view area, std::string_view message);

inline void LogInfo(std::string_view area, std::string_view message) {
    Log(LogLevel::Info, area, message);
}
inline void LogWarning(std::string_view area, std::string_view message) {
    Log(LogLevel::Warning, area, message);
}
inline void LogError(std::string_view area, std::string_view message) {
    Log(LogLevel::Error, area, message);
}

/// Receives every logged line as well; tests use it to observe events. Pass an empty function to
/// remove it. It is called outside the log's lock, on the thread that logs, so it may log itself
/// (beware of endless recursion) but must be thread safe; a line logged while the sink is being
/// replaced may still reach the old one.
using LogSink = std::function<void(LogLevel, std::string_view area, std::string_view message)>;
void SetLogSink(LogSink sink);

} // namespace base
