// The GStreamer engine's own view, for the GStreamer module, the engine's tests and benchmarks. The
// player itself only needs MediaEngine.h and CreateGstEngine(), which loads the module.
#pragma once

#include <memory>
#include <string>

#include "platform/controls/MediaEngine.h"

namespace controls {

// Volumes in hundredths of a decibel, clamped to this range.
inline constexpr long kMinVolume = -10000;
inline constexpr long kMaxVolume = 0;

// The linear amplitude gain of a volume in hundredths of a decibel: 10^(v / 2000) after clamping,
// so 0 gives 1.0, -2000 gives 0.1 and -10000 gives 0.00001.
double VolumeToGain(long hundredthsOfDb);

// How long Open waits for a file to be ready (its first frames decoded and its length known)
// before it gives up with MediaError.
inline constexpr int kPrerollTimeoutMs = 5000;

// Starts GStreamer, loads the playback elements and finds the audio output, on the calling
// thread; an engine made meanwhile waits only for what is still under way.
void PrepareGst();

// Plays a wave file with no video: with `async` the call returns at once and the sound plays on
// (a new sound stops it), else when the sound has ended. False when the file cannot be decoded
// or played.
bool PlayGstSound(const char* path, bool async);

class GstMediaEngine final : public MediaEngine {
public:
    // Raises MediaError when GStreamer cannot start or has no playbin element.
    GstMediaEngine();
    ~GstMediaEngine() override;
    GstMediaEngine(const GstMediaEngine&) = delete;
    GstMediaEngine& operator=(const GstMediaEngine&) = delete;

    void Open(const std::string& path) override;
    std::string FileName() const override;
    double Duration() const override;
    double Position() const override;
    void Seek(double seconds) override;
    void Play() override;
    void Pause() override;
    void Stop() override;
    State state() const override;
    void SetVolume(long hundredthsOfDb) override;
    long Volume() const override;
    void SetMute(bool mute) override;
    bool Mute() const override;
    void SetVideoWindow(QWidget* window) override;
    bool HasVideo() const override;

    // What the pipeline applies: its linear volume and its mute switch.
    double OutputGain() const;
    bool OutputMuted() const;
    // The factory names of the sinks in use ("fakesink", "ximagesink", ...; a sink given as a
    // description with several elements is "bin").
    std::string AudioSinkName() const;
    std::string VideoSinkName() const;

    struct Impl;

private:
    std::unique_ptr<Impl> d_;
};

}  // namespace controls
