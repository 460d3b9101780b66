#include "music/MemoryAudioSource.h"

namespace music {

void MemoryAudioSource::Push(std::vector<float> interleavedStereo) {
    interleavedStereo.resize(interleavedStereo.size() / 2 * 2);
    std::lock_guard lock(m_mutex);
    m_packets.push_back(std::move(interleavedStereo));
}

bool MemoryAudioSource::Start() {
    std::lock_guard lock(m_mutex);
    m_capturing = true;
    return true;
}

void MemoryAudioSource::Stop() {
    std::lock_guard lock(m_mutex);
    m_capturing = false;
    m_packets.clear();
}

void MemoryAudioSource::TakePackets(const PacketSink& sink) {
    std::deque<std::vector<float>> packets;
    {
        std::lock_guard lock(m_mutex);
        if (!m_capturing)
            return;
        packets.swap(m_packets);
    }
    for (const auto& packet : packets)
        sink(packet, static_cast<uint32_t>(packet.size() / 2));
}

bool MemoryAudioSource::IsCapturing() const {
    std::lock_guard lock(m_mutex);
    return m_capturing;
}

} // namespace music
