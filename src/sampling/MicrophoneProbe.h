#pragma once

#include <filesystem>

namespace halvrick {

// Whether something is recording: the sign of a call or a recording in progress.
class MicrophoneProbe {
public:
    virtual ~MicrophoneProbe() = default;
    virtual bool isMicrophoneInUse() = 0;
};

// Any running capture stream of any ALSA card. The sound server (PipeWire, PulseAudio) keeps the capture
// device running while anything records, and suspends it a few seconds after the last recorder stops.
// Bluetooth headset microphones are not ALSA streams and go unseen.
class AsoundMicrophoneProbe : public MicrophoneProbe {
public:
    explicit AsoundMicrophoneProbe(std::filesystem::path root = "/proc/asound");

    // Reads card*/pcm*c/sub*/status under the root; a missing or unreadable tree reads as false.
    bool isMicrophoneInUse() override;

private:
    std::filesystem::path root_;
};

} // namespace halvrick
