#include "base/Log.h"

#include <cstdio>
#include <mutex>
#include <string>

namespace base {

namespace {

std::mutex& LogMutex() {
    static std::mutex mutex;
    return mutex;
}

LogSink& Sink() {
    static LogSink sink;
    return sink;
}

const char* LevelName(LogLevel level) {
    switch (level) {
    case LogLevel::Info:
        return "info";
    case LogLevel::Warning:
        return "warning";
    case LogLevel::Error:
        return "error";
    }
    return "?";
}

} // namespace

void Log(LogLevel level, std::string_view area, std::string_view message) {
    // One lock keeps lines of different threads from interleaving.
    std::lock_guard lock(LogMutex());
    std::fprintf(stderr, "quillon %s %.*s: %.*s\n", LevelName(level), static_cast<int>(area.size()),
                 area.data(), static_cast<int>(message.size()), message.data());
    if (Sink())
        Sink()(level, area, message);
}

void SetLogSink(LogSink sink) {
    std::lock_guard lock(LogMutex());
    Sink() = std::move(sink);
}

} // namespace base
