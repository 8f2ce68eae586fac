// A media engine without sound, video or threads, for window tests.
//
// A file "plays" when it exists; its length is what the test set for its path (SetDuration), else
// kDefaultDuration. Time stands still until the test calls Advance. Every command is written to a
// call log, so a test can check what the player asked for. Otherwise it keeps the GStreamer
// engine's rules: Open starts playing, a missing file raises MediaError and leaves the engine
// Closed, commands without a file raise MediaError, Seek and SetVolume clamp, Stop rewinds, the
// end of the media stops the engine (its position stays at the end) and Play starts it again from
// 0.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/controls/MediaEngine.h"

namespace controls {

class FakeMediaEngine final : public MediaEngine {
public:
    // The length of a file whose path has no duration of its own.
    static constexpr double kDefaultDuration = 60.0;

    // Test set-up, keyed by the path exactly as it will be given to Open. A change applies from
    // the next Open of that path.
    void SetDuration(const std::string& path, double seconds);
    void SetHasVideo(const std::string& path, bool video);
    // An existing file that nevertheless cannot be played (Open raises MediaError).
    void SetUnplayable(const std::string& path);

    // Moves the position by `seconds` while Playing (nothing otherwise). Reaching the end stops
    // there and calls onEndOfStream once, from inside this call; time left over is dropped.
    void Advance(double seconds);

    // The commands so far, one entry each, in order: "Open(<path>)", "Play", "Pause", "Stop",
    // "Seek(<seconds>)", "SetVolume(<value>)", "SetMute(true|false)", "SetVideoWindow(window)" or
    // "SetVideoWindow(null)". Values are written as given (before clamping), numbers in the
    // shortest form ("Seek(12.5)", "Seek(-1)"). Reads are not logged.
    const std::vector<std::string>& calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }

    QWidget* VideoWindow() const { return window_; }

    void Open(const std::string& path) override;
    std::string FileName() const override { return fileName_; }
    double Duration() const override { return state_ == State::Closed ? 0 : duration_; }
    double Position() const override { return state_ == State::Closed ? 0 : position_; }
    void Seek(double seconds) override;
    void Play() override;
    void Pause() override;
    void Stop() override;
    State state() const override { return state_; }
    void SetVolume(long hundredthsOfDb) override;
    long Volume() const override { return volume_; }
    void SetMute(bool mute) override;
    bool Mute() const override { return mute_; }
    void SetVideoWindow(QWidget* window) override;
    bool HasVideo() const override { return state_ != State::Closed && video_; }

private:
    void RequireFile(const char* what) const;

    std::map<std::string, double> durations_;
    std::map<std::string, bool> videos_;
    std::set<std::string> unplayable_;
    std::vector<std::string> calls_;

    std::string fileName_;
    State state_ = State::Closed;
    double duration_ = 0;
    double position_ = 0;
    bool ended_ = false;
    bool video_ = false;
    long volume_ = 0;
    bool mute_ = false;
    QWidget* window_ = nullptr;
};

}  // namespace controls
