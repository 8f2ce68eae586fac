#include "tests/support/FakeMediaEngine.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "platform/controls/GstMediaEngine.h"

namespace controls {

namespace {

std::string Number(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

}  // namespace

void FakeMediaEngine::SetDuration(const std::string& path, double seconds) {
    durations_[path] = seconds;
}

void FakeMediaEngine::SetHasVideo(const std::string& path, bool video) {
    videos_[path] = video;
}

void FakeMediaEngine::SetUnplayable(const std::string& path) {
    unplayable_.insert(path);
}

void FakeMediaEngine::Open(const std::string& path) {
    calls_.push_back("Open(" + path + ")");
    fileName_ = path;
    state_ = State::Closed;
    position_ = 0;
    ended_ = false;
    if (path.empty()) return;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status) || std::filesystem::is_directory(status)) {
        throw MediaError::CannotOpen(path, "there is no such file");
    }
    if (unplayable_.count(path)) {
        throw MediaError::CannotPlay(path, "the file cannot be decoded");
    }
    const auto duration = durations_.find(path);
    duration_ = duration != durations_.end() ? duration->second : kDefaultDuration;
    const auto video = videos_.find(path);
    video_ = video != videos_.end() && video->second;
    state_ = State::Playing;
}

void FakeMediaEngine::RequireFile(const char* what) const {
    if (state_ == State::Closed) throw MediaError::NoFile(what);
}

void FakeMediaEngine::Seek(double seconds) {
    calls_.push_back("Seek(" + Number(seconds) + ")");
    RequireFile("seek");
    position_ = seconds > 0 ? std::min(seconds, duration_) : 0;
    ended_ = false;
}

void FakeMediaEngine::Play() {
    calls_.push_back("Play");
    RequireFile("play");
    if (ended_) {
        position_ = 0;
        ended_ = false;
    }
    state_ = State::Playing;
}

void FakeMediaEngine::Pause() {
    calls_.push_back("Pause");
    RequireFile("pause");
    if (state_ == State::Playing) state_ = State::Paused;
}

void FakeMediaEngine::Stop() {
    calls_.push_back("Stop");
    RequireFile("stop");
    state_ = State::Stopped;
    position_ = 0;
    ended_ = false;
}

void FakeMediaEngine::SetVolume(long hundredthsOfDb) {
    calls_.push_back("SetVolume(" + std::to_string(hundredthsOfDb) + ")");
    volume_ = std::clamp(hundredthsOfDb, kMinVolume, kMaxVolume);
}

void FakeMediaEngine::SetMute(bool mute) {
    calls_.push_back(std::string("SetMute(") + (mute ? "true" : "false") + ")");
    mute_ = mute;
}

void FakeMediaEngine::SetVideoWindow(QWidget* window) {
    calls_.push_back(window ? "SetVideoWindow(window)" : "SetVideoWindow(null)");
    window_ = window;
}

void FakeMediaEngine::Advance(double seconds) {
    if (state_ != State::Playing || !(seconds > 0)) return;
    position_ += seconds;
    if (position_ < duration_) return;
    position_ = duration_;
    ended_ = true;
    state_ = State::Stopped;
    // Last: the handler may open and play the next file, or destroy this engine.
    if (onEndOfStream) {
        const auto callback = onEndOfStream;
        callback();
    }
}

}  // namespace controls
