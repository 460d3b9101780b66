#include "base/Log.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

namespace base {

namespace {

std::mutex& LogMutex() {
    static std::mutex mutex;
    return mutex;
}

// Shared so that a line being handed to the sink keeps it alive while SetLogSink replaces it.
std::shared_ptr<const LogSink>& Sink() {
    static std::shared_ptr<const LogSink> sink;
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
    std::shared_ptr<const LogSink> sink;
    {
        // One lock keeps lines of different threads from interleaving.
        std::lock_guard lock(LogMutex());
        std::fprintf(stderr, "quillon %s %.*s: %.*s\n", LevelName(level), static_cast<int>(area.size()),
                     area.data(), static_cast<int>(message.size()), message.data());
        sink = Sink();
    }
    // Outside the lock: a sink that logs (or waits for a thread that logs) must not deadlock.
    if (sink)
        (*sink)(level, area, message);
}

void SetLogSink(LogSink sink) {
    std::shared_ptr<const LogSink> replacement =
        sink ? std::make_shared<const LogSink>(std::move(sink)) : nullptr;
    std::lock_guard lock(LogMutex());
    Sink() = std::move(replacement);
}

} // namespace base
