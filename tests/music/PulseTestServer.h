#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace music::test {

/// A private PulseAudio server for tests: started in a temporary folder with its own socket,
/// null sinks instead of sound cards, no session bus and no cookie. It points PULSE_SERVER of
/// this process at itself, and never touches a server the user runs.
class PulseTestServer {
public:
    PulseTestServer();
    /// Stops the server and removes its folder.
    ~PulseTestServer();

    /// Starts the server with a null sink (48 kHz) for each name; the first becomes the default.
    /// Waits (at most 10 s) until it answers. False if pulseaudio is missing or does not start.
    bool Start(const std::vector<std::string>& sinks);
    /// Ends the server (SIGTERM, then SIGKILL after 5 s).
    void Stop();

    /// Runs pactl against this server; true on success.
    bool Pactl(const std::string& arguments) const;
    const std::string& GetLogPath() const { return m_logPath; }

private:
    std::string m_folder;
    std::string m_socket;
    std::string m_logPath;
    pid_t m_pid = -1;
};

/// Plays a sine tone (interleaved stereo floats, 48 kHz) into a sink until destroyed; a frequency
/// of 0 plays silence. Writes in 5 ms pieces with a short buffer, so a change is heard at once.
class TonePlayer {
public:
    TonePlayer(std::string sink, double frequency, float amplitude);
    ~TonePlayer();

    bool IsPlaying() const { return m_playing.load(); }
    /// Changes the tone from the next 5 ms piece on.
    void SetFrequency(double frequency) { m_frequency = frequency; }
    /// Steady-clock microseconds at which the first piece with the current frequency reached the
    /// sink, or 0 while it has not been written yet.
    int64_t GetOnsetUs() const { return m_onsetUs.load(); }

private:
    void Run(std::string sink, float amplitude);

    std::atomic<double> m_frequency;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_playing{false};
    std::atomic<int64_t> m_onsetUs{0};
    std::thread m_thread;
};

/// Steady-clock microseconds, for latency measurements.
int64_t NowUs();

/// Waits for `done` for at most `timeoutMs` of real time, checking every 5 ms.
template <typename Condition>
bool WaitUntil(Condition done, int timeoutMs) {
    for (int waited = 0; !done(); waited += 5) {
        if (waited >= timeoutMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace music::test
