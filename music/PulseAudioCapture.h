#pragma once

#include "music/AudioSource.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;
struct pa_time_event;
struct pa_mainloop_api;
struct pa_server_info;
struct pa_sink_info;

namespace music {

/// One deleter for each libpulse handle the capture keeps.
struct PulseMainloopDeleter {
    void operator()(pa_threaded_mainloop* mainloop) const;
};
struct PulseContextDeleter {
    void operator()(pa_context* context) const;
};
struct PulseStreamDeleter {
    void operator()(pa_stream* stream) const;
};
struct PulseTimeEventDeleter {
    pa_mainloop_api* api = nullptr;
    void operator()(pa_time_event* event) const;
};

/// Captures the sound that the default playback device (sink) plays, from its monitor source,
/// through a PulseAudio server (PipeWire's PulseAudio service serves as well). Follows changes of
/// the default sink, and stops while the server is away and resumes when it is back.
///
/// All PulseAudio work runs on libpulse's own event thread (pa_threaded_mainloop); the public
/// functions take its lock. Captured packets wait in a queue with a lock of its own, so taking
/// them never waits for the server.
class PulseAudioCapture : public AudioSource {
public:
    /// Starts libpulse's event thread; null if it cannot. Nothing connects before Start.
    static std::unique_ptr<PulseAudioCapture> Create();
    ~PulseAudioCapture() override;

    /// Connects to the server if need be and (re)opens the capture on the default sink's monitor.
    /// Returns at once; the capture begins as soon as the server answers. False only when the
    /// client cannot even begin (no server address, out of memory).
    bool Start() override;
    void Stop() override;
    void TakePackets(const PacketSink& sink) override;
    bool IsCapturing() const override { return m_capturing.load(); }
    /// Corks the stream while inactive: the server then sends nothing and we wake for nothing.
    void SetActive(bool active) override;

    /// The monitor source being captured now (empty when none); for tests and diagnostics.
    std::string GetSourceName() const;
    /// The sample rate of the capture now (0 when none).
    uint32_t GetSampleRate() const { return m_sampleRate.load(); }

private:
    PulseAudioCapture() = default;

    // These run on libpulse's event thread (or with its lock held).
    void Connect();
    void Disconnect();
    void CloseStream();
    void ScheduleRetry();
    void QueryDefaultSink();
    void OnServerInfo(const pa_server_info* info);
    void OnSinkInfo(const pa_sink_info* info);
    void OnContextState();
    void OnStreamState();
    void OnStreamRead();

    // The C callbacks of libpulse, defined beside the code; they forward to the members above.
    struct Callbacks;
    friend struct Callbacks;

    std::unique_ptr<pa_threaded_mainloop, PulseMainloopDeleter> m_mainloop;
    // Guarded by the mainloop's lock.
    std::unique_ptr<pa_context, PulseContextDeleter> m_context;
    std::unique_ptr<pa_stream, PulseStreamDeleter> m_stream;
    std::unique_ptr<pa_time_event, PulseTimeEventDeleter> m_retry;
    bool m_wanted = false;        // Start was called and Stop was not
    bool m_connected = false;     // the context was ready since the last failure
    bool m_active = true;         // sound should flow (the stream is corked otherwise)
    bool m_startedCorked = false; // the current stream was connected corked
    std::string m_sinkName;       // the default sink the stream records from
    std::string m_sourceName;

    std::atomic<bool> m_capturing{false};
    std::atomic<uint32_t> m_sampleRate{0};

    // Captured packets, oldest first; bounded so a reader that stops taking them costs no memory.
    std::mutex m_packetMutex;
    std::deque<std::vector<float>> m_packets;
    size_t m_queuedFrames = 0;
};

} // namespace music
