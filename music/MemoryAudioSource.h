#pragma once

#include "music/AudioSource.h"

#include <deque>
#include <mutex>
#include <vector>

namespace music {

/// An audio source fed from memory: tests and tools push packets of interleaved stereo floats,
/// and the analysis takes them as it would take captured sound. Safe to push from one thread
/// while another takes.
class MemoryAudioSource : public AudioSource {
public:
    /// Queues one packet of 2 x frames floats (a trailing odd value is dropped).
    void Push(std::vector<float> interleavedStereo);

    bool Start() override;
    void Stop() override;
    void TakePackets(const PacketSink& sink) override;
    bool IsCapturing() const override;

private:
    mutable std::mutex m_mutex; // guards both members below
    std::deque<std::vector<float>> m_packets;
    bool m_capturing = false;
};

} // namespace music
