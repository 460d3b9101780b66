#pragma once

#include <cstdint>
#include <functional>
#include <span>

namespace music {

/// Where the analysis takes its sound from. Samples are 32-bit floats, interleaved stereo, as the
/// analysis groups them four at a time; a source converts whatever it gets into that shape.
class AudioSource {
public:
    virtual ~AudioSource() = default;

    /// One packet of captured sound: `frames` frames of interleaved stereo floats in `samples`
    /// (2 x frames values). Only valid during the call that hands it out.
    using PacketSink = std::function<void(std::span<const float> samples, uint32_t frames)>;

    /// (Re)starts the capture on the current default playback device. Returns false when there
    /// is nothing to capture from right now; a source may still start later on its own.
    virtual bool Start() = 0;

    /// Stops the capture and drops whatever was waiting.
    virtual void Stop() = 0;

    /// Hands every packet that waits, oldest first, to `sink` and forgets them. Called by the
    /// analysis thread once per frame; must not block for long.
    virtual void TakePackets(const PacketSink& sink) = 0;

    /// Pauses (false) or resumes (true) the flow of sound without closing the capture, so that
    /// nobody pays for sound that nobody looks at. Sources start active; by default a no-op.
    virtual void SetActive(bool /*active*/) {}

    /// True while sound is being captured.
    virtual bool IsCapturing() const = 0;
};

} // namespace music
