#include "tests/music/PulseTestServer.h"

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <numbers>
#include <pulse/simple.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace music::test {

namespace {

struct SimpleDeleter {
    void operator()(pa_simple* stream) const { pa_simple_free(stream); }
};

} // namespace

int64_t NowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

PulseTestServer::PulseTestServer() {
    char folder[] = "/tmp/quillon-pulse-XXXXXX";
    if (mkdtemp(folder))
        m_folder = folder;
    m_socket = m_folder + "/native";
    m_logPath = m_folder + "/pulseaudio.log";
    setenv("PULSE_SERVER", ("unix:" + m_socket).c_str(), 1);
}

PulseTestServer::~PulseTestServer() {
    Stop();
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

bool PulseTestServer::Start(const std::vector<std::string>& sinks) {
    if (m_folder.empty() || m_pid > 0)
        return false;
    std::vector<std::string> args = {"pulseaudio",          "-n",
                                     "--daemonize=no",      "--system=false",
                                     "--exit-idle-time=-1", "--disable-shm=yes",
                                     "--use-pid-file=no",   "--log-target=stderr",
                                     "--log-level=info"};
    for (const std::string& sink : sinks) {
        args.push_back("-L");
        args.push_back("module-null-sink rate=48000 sink_name=" + sink);
    }
    args.push_back("-L");
    args.push_back("module-native-protocol-unix auth-anonymous=1 socket=" + m_socket);

    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        // Everything the server keeps goes into the temporary folder, never the user's.
        setenv("HOME", m_folder.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", m_folder.c_str(), 1);
        setenv("XDG_CONFIG_HOME", m_folder.c_str(), 1);
        setenv("PULSE_RUNTIME_PATH", m_folder.c_str(), 1);
        setenv("PULSE_STATE_PATH", m_folder.c_str(), 1);
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        unsetenv("DISPLAY");
        const int log = open(m_logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (log >= 0) {
            dup2(log, 1);
            dup2(log, 2);
        }
        execvp("pulseaudio", argv.data());
        _exit(127);
    }
    m_pid = pid;
    const bool up = WaitUntil(
        [this] {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return true; // ended early: reported below
            }
            return Pactl("info");
        },
        10000);
    if (!up || m_pid < 0) {
        Stop();
        return false;
    }
    return true;
}

void PulseTestServer::Stop() {
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    int status = 0;
    if (!WaitUntil([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; }, 5000)) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, &status, 0);
    }
    m_pid = -1;
    // A socket file left behind would make clients think the server is still there.
    unlink(m_socket.c_str());
}

bool PulseTestServer::Pactl(const std::string& arguments) const {
    const std::string command = "pactl " + arguments + " >>'" + m_logPath + "' 2>&1";
    return std::system(command.c_str()) == 0;
}

TonePlayer::TonePlayer(std::string sink, double frequency, float amplitude) : m_frequency(frequency) {
    m_thread = std::thread([this, sink = std::move(sink), amplitude] { Run(sink, amplitude); });
}

TonePlayer::~TonePlayer() {
    m_stop = true;
    m_thread.join();
}

void TonePlayer::Run(std::string sink, float amplitude) {
    constexpr uint32_t Rate = 48000;
    constexpr int PieceFrames = Rate / 200; // 5 ms
    pa_sample_spec format{PA_SAMPLE_FLOAT32NE, Rate, 2};
    pa_buffer_attr attr;
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(20000, &format));
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(-1);
    int error = 0;
    std::unique_ptr<pa_simple, SimpleDeleter> stream(pa_simple_new(
        nullptr, "quillon-test", PA_STREAM_PLAYBACK, sink.c_str(), "tone", &format, nullptr, &attr, &error));
    if (!stream)
        return;
    m_playing = true;
    double phase = 0.0;
    double lastFrequency = -1.0;
    std::vector<float> piece(2 * PieceFrames);
    while (!m_stop) {
        const double frequency = m_frequency.load();
        const bool changed = frequency != lastFrequency;
        lastFrequency = frequency;
        for (int i = 0; i < PieceFrames; ++i) {
            const float value = frequency > 0 ? amplitude * static_cast<float>(std::sin(phase)) : 0.0f;
            piece[2 * i] = piece[2 * i + 1] = value;
            phase += 2.0 * std::numbers::pi * frequency / Rate;
        }
        if (changed) {
            // The piece is heard once everything already buffered has been played.
            const pa_usec_t buffered = pa_simple_get_latency(stream.get(), &error);
            m_onsetUs = NowUs() + static_cast<int64_t>(buffered);
        }
        if (pa_simple_write(stream.get(), piece.data(), piece.size() * sizeof(float), &error) < 0)
            break;
    }
    m_playing = false;
}

} // namespace music::test
