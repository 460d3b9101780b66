#include "music/PulseAudioCapture.h"

#include "base/Log.h"

#include <exception>
#include <pulse/pulseaudio.h>

namespace music {

namespace {

// Ask the server for fragments of 5 ms, so that sound reaches the analysis within a frame.
constexpr pa_usec_t FragmentUsec = 5 * PA_USEC_PER_MSEC;
// How long to wait before trying again after the server or the stream went away.
constexpr pa_usec_t RetryUsec = 1000 * PA_USEC_PER_MSEC;
// Packets kept for a reader that does not take them (the music page is not shown): one second.
constexpr size_t MaxQueuedSeconds = 1;

// Every callback from libpulse runs its body here, so that no exception crosses the C library.
template <typename Body>
void Guarded(const char* what, Body&& body) noexcept {
    try {
        body();
    } catch (const std::exception& e) {
        base::LogError("music", std::string(what) + ": " + e.what());
    } catch (...) {
        base::LogError("music", std::string(what) + ": unknown exception");
    }
}

void Unref(pa_operation* operation) {
    if (operation)
        pa_operation_unref(operation);
}

} // namespace

void PulseMainloopDeleter::operator()(pa_threaded_mainloop* mainloop) const {
    pa_threaded_mainloop_stop(mainloop);
    pa_threaded_mainloop_free(mainloop);
}

void PulseContextDeleter::operator()(pa_context* context) const {
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_set_subscribe_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
}

void PulseStreamDeleter::operator()(pa_stream* stream) const {
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_read_callback(stream, nullptr, nullptr);
    pa_stream_disconnect(stream);
    pa_stream_unref(stream);
}

void PulseTimeEventDeleter::operator()(pa_time_event* event) const {
    api->time_free(event);
}

struct PulseAudioCapture::Callbacks {
    static void ContextStateCallback(pa_context*, void* self) {
        Guarded("context state", [self] { static_cast<PulseAudioCapture*>(self)->OnContextState(); });
    }

    static void SubscribeCallback(pa_context*, pa_subscription_event_type_t event, uint32_t, void* self) {
        Guarded("server event", [self, event] {
            const int facility = event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
            auto* capture = static_cast<PulseAudioCapture*>(self);
            if (facility == PA_SUBSCRIPTION_EVENT_SERVER && capture->m_context)
                capture->QueryDefaultSink();
        });
    }

    static void ServerInfoCallback(pa_context*, const pa_server_info* info, void* self) {
        Guarded("server info", [self, info] { static_cast<PulseAudioCapture*>(self)->OnServerInfo(info); });
    }

    static void SinkInfoCallback(pa_context*, const pa_sink_info* info, int eol, void* self) {
        Guarded("sink info", [self, info, eol] {
            if (eol == 0)
                static_cast<PulseAudioCapture*>(self)->OnSinkInfo(info);
        });
    }

    static void StreamStateCallback(pa_stream*, void* self) {
        Guarded("stream state", [self] { static_cast<PulseAudioCapture*>(self)->OnStreamState(); });
    }

    static void StreamReadCallback(pa_stream*, size_t, void* self) {
        Guarded("stream read", [self] { static_cast<PulseAudioCapture*>(self)->OnStreamRead(); });
    }

    static void RetryCallback(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
        Guarded("retry", [self] {
            auto* capture = static_cast<PulseAudioCapture*>(self);
            if (!capture->m_wanted)
                return;
            if (!capture->m_context)
                capture->Connect();
            else if (pa_context_get_state(capture->m_context.get()) == PA_CONTEXT_READY && !capture->m_stream)
                capture->QueryDefaultSink();
        });
    }
};

std::unique_ptr<PulseAudioCapture> PulseAudioCapture::Create() {
    // The constructor is private so that only Create makes one; make_unique cannot reach it.
    std::unique_ptr<PulseAudioCapture> capture(new PulseAudioCapture());
    capture->m_mainloop.reset(pa_threaded_mainloop_new());
    if (!capture->m_mainloop) {
        base::LogError("music", "cannot create the PulseAudio event loop");
        return nullptr;
    }
    pa_threaded_mainloop_set_name(capture->m_mainloop.get(), "quillon-pulse");
    if (pa_threaded_mainloop_start(capture->m_mainloop.get()) < 0) {
        base::LogError("music", "cannot start the PulseAudio event thread");
        return nullptr;
    }
    return capture;
}

PulseAudioCapture::~PulseAudioCapture() {
    if (!m_mainloop)
        return;
    pa_threaded_mainloop_lock(m_mainloop.get());
    m_wanted = false;
    m_retry.reset();
    m_stream.reset();
    m_context.reset();
    pa_threaded_mainloop_unlock(m_mainloop.get());
    m_mainloop.reset();
}

bool PulseAudioCapture::Start() {
    pa_threaded_mainloop_lock(m_mainloop.get());
    m_wanted = true;
    bool started = true;
    if (!m_context) {
        Connect();
        started = m_context != nullptr;
    } else if (pa_context_get_state(m_context.get()) == PA_CONTEXT_READY) {
        CloseStream();
        QueryDefaultSink();
    }
    pa_threaded_mainloop_unlock(m_mainloop.get());
    return started;
}

void PulseAudioCapture::Stop() {
    pa_threaded_mainloop_lock(m_mainloop.get());
    m_wanted = false;
    m_retry.reset();
    Disconnect();
    pa_threaded_mainloop_unlock(m_mainloop.get());
    std::lock_guard lock(m_packetMutex);
    m_packets.clear();
    m_queuedFrames = 0;
}

void PulseAudioCapture::SetActive(bool active) {
    pa_threaded_mainloop_lock(m_mainloop.get());
    m_active = active;
    if (m_stream && pa_stream_get_state(m_stream.get()) == PA_STREAM_READY)
        Unref(pa_stream_cork(m_stream.get(), active ? 0 : 1, nullptr, nullptr));
    pa_threaded_mainloop_unlock(m_mainloop.get());
    if (!active) {
        std::lock_guard lock(m_packetMutex);
        m_packets.clear();
        m_queuedFrames = 0;
    }
}

void PulseAudioCapture::TakePackets(const PacketSink& sink) {
    std::deque<std::vector<float>> packets;
    {
        std::lock_guard lock(m_packetMutex);
        packets.swap(m_packets);
        m_queuedFrames = 0;
    }
    for (const auto& packet : packets)
        sink(packet, static_cast<uint32_t>(packet.size() / 2));
}

std::string PulseAudioCapture::GetSourceName() const {
    pa_threaded_mainloop_lock(m_mainloop.get());
    std::string name = m_capturing ? m_sourceName : std::string();
    pa_threaded_mainloop_unlock(m_mainloop.get());
    return name;
}

void PulseAudioCapture::Connect() {
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_mainloop.get());
    m_context.reset(pa_context_new(api, "Quillon"));
    if (!m_context) {
        base::LogError("music", "cannot create a PulseAudio context");
        ScheduleRetry();
        return;
    }
    pa_context_set_state_callback(m_context.get(), Callbacks::ContextStateCallback, this);
    // Never spawn a server of our own: we only listen to the one the desktop runs.
    if (pa_context_connect(m_context.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        m_context.reset();
        ScheduleRetry();
    }
}

void PulseAudioCapture::Disconnect() {
    CloseStream();
    m_context.reset();
    m_sinkName.clear();
}

void PulseAudioCapture::CloseStream() {
    m_stream.reset();
    m_capturing = false;
    m_sampleRate = 0;
}

void PulseAudioCapture::ScheduleRetry() {
    if (!m_wanted)
        return;
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_mainloop.get());
    struct timeval when;
    pa_timeval_add(pa_gettimeofday(&when), RetryUsec);
    if (m_retry) {
        api->time_restart(m_retry.get(), &when);
        return;
    }
    m_retry = {api->time_new(api, &when, Callbacks::RetryCallback, this), PulseTimeEventDeleter{api}};
}

void PulseAudioCapture::QueryDefaultSink() {
    Unref(pa_context_get_server_info(m_context.get(), Callbacks::ServerInfoCallback, this));
}

void PulseAudioCapture::OnContextState() {
    switch (pa_context_get_state(m_context.get())) {
    case PA_CONTEXT_READY:
        base::LogInfo("music", "connected to the sound server");
        m_connected = true;
        pa_context_set_subscribe_callback(m_context.get(), Callbacks::SubscribeCallback, this);
        // Server events announce a change of the default sink.
        Unref(pa_context_subscribe(m_context.get(), PA_SUBSCRIPTION_MASK_SERVER, nullptr, nullptr));
        QueryDefaultSink();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        // Without a server we try again every second, but say so only when one went away.
        if (m_connected)
            base::LogInfo("music", "sound server gone; capture stopped until it returns");
        m_connected = false;
        Disconnect();
        ScheduleRetry();
        break;
    default:
        break;
    }
}

void PulseAudioCapture::OnServerInfo(const pa_server_info* info) {
    if (!info || !m_context)
        return;
    const std::string sink = info->default_sink_name ? info->default_sink_name : "";
    if (sink.empty()) {
        if (m_stream)
            base::LogInfo("music", "no playback device; nothing to capture");
        CloseStream();
        m_sinkName.clear();
        return;
    }
    if (sink == m_sinkName && m_stream)
        return;
    Unref(pa_context_get_sink_info_by_name(m_context.get(), sink.c_str(), Callbacks::SinkInfoCallback, this));
}

void PulseAudioCapture::OnSinkInfo(const pa_sink_info* info) {
    if (!info || !m_context || !m_wanted)
        return;
    CloseStream();
    m_sinkName = info->name;
    m_sourceName = info->monitor_source_name ? info->monitor_source_name : "";
    if (m_sourceName.empty())
        return;

    // We ask for 32-bit float stereo whatever the sink plays; the server converts, so the
    // samples always come in the groups the analysis expects.
    pa_sample_spec format;
    format.format = PA_SAMPLE_FLOAT32NE;
    format.rate = info->sample_spec.rate;
    format.channels = 2;
    m_stream.reset(pa_stream_new(m_context.get(), "Music lighting", &format, nullptr));
    if (!m_stream) {
        base::LogError("music", "cannot create a capture stream");
        return;
    }
    pa_stream_set_state_callback(m_stream.get(), Callbacks::StreamStateCallback, this);
    pa_stream_set_read_callback(m_stream.get(), Callbacks::StreamReadCallback, this);

    pa_buffer_attr attr;
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = static_cast<uint32_t>(-1);
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(FragmentUsec, &format));
    // When the sink goes away we follow the new default ourselves rather than be moved.
    m_startedCorked = !m_active;
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE |
                                                      (m_startedCorked ? PA_STREAM_START_CORKED : 0));
    if (pa_stream_connect_record(m_stream.get(), m_sourceName.c_str(), &attr, flags) < 0) {
        base::LogError("music", "cannot record from " + m_sourceName);
        CloseStream();
        ScheduleRetry();
    }
}

void PulseAudioCapture::OnStreamState() {
    switch (pa_stream_get_state(m_stream.get())) {
    case PA_STREAM_READY:
        m_sampleRate = pa_stream_get_sample_spec(m_stream.get())->rate;
        // SetActive while the stream was being made could not cork or uncork it; catch up now.
        if (m_active == m_startedCorked)
            Unref(pa_stream_cork(m_stream.get(), m_active ? 0 : 1, nullptr, nullptr));
        m_capturing = true;
        base::LogInfo("music", "capturing " + m_sourceName);
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        // The monitored sink went away; look for the default sink again shortly.
        CloseStream();
        m_sinkName.clear();
        ScheduleRetry();
        break;
    default:
        break;
    }
}

void PulseAudioCapture::OnStreamRead() {
    for (;;) {
        const void* data = nullptr;
        size_t bytes = 0;
        if (pa_stream_peek(m_stream.get(), &data, &bytes) < 0 || bytes == 0)
            return;
        // A hole (no data) means the server had nothing for that stretch; skip it.
        if (data) {
            const auto* samples = static_cast<const float*>(data);
            std::vector<float> packet(samples, samples + bytes / sizeof(float) / 2 * 2);
            const size_t limit = MaxQueuedSeconds * m_sampleRate.load();
            std::lock_guard lock(m_packetMutex);
            m_queuedFrames += packet.size() / 2;
            m_packets.push_back(std::move(packet));
            while (m_queuedFrames > limit && m_packets.size() > 1) {
                m_queuedFrames -= m_packets.front().size() / 2;
                m_packets.pop_front();
            }
        }
        pa_stream_drop(m_stream.get());
    }
}

} // namespace music
