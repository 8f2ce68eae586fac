// The media player control: one engine behind the members and events the player's windows use.
// Positions and durations are seconds; Volume is hundredths of a decibel (0 full, lower quieter);
// writing FileName loads the file and starts it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/controls/MediaEngine.h"
#include "platform/vb/Control.h"

namespace controls {

// Makes the engine of every new media player control (tests install the fake engine).
using MediaEngineFactory = std::function<std::unique_ptr<MediaEngine>()>;
void SetMediaEngineFactory(MediaEngineFactory factory);

class MediaPlayer : public vb::Control {
public:
    MediaPlayer(vb::Form* form, const char* name, vb::Control* container = nullptr);
    ~MediaPlayer() override;
    const char* TypeName() const override { return "MediaPlayer"; }

    // The path last written ("" before any). Writing loads and starts the file; a file that
    // cannot be played raises an error (the name still reads back as written) and, once the
    // call and what its caller does next are over, fires Error.
    std::string FileName() const { return fileName_; }
    void SetFileName(const std::string& path);
    double Duration() const;
    double CurrentPosition() const;
    void SetCurrentPosition(double seconds);
    void Play();
    void Pause();
    void Stop();
    long Volume() const;
    void SetVolume(long hundredthsOfDb);
    bool Mute() const;
    void SetMute(bool mute);
    // 3 shows the video full screen, in a window of its own that takes the focus; Escape in any
    // window of the program or a double click returns it, and so do Stop and the end of the media.
    // Other sizes show it in the control.
    long DisplaySize() const { return displaySize_; }
    void SetDisplaySize(long size);
    bool VideoUnloadFlag() const { return videoUnloadFlag_; }
    void SetVideoUnloadFlag(bool flag) { videoUnloadFlag_ = flag; }

    // The engine, made on the first use of the player (so that a window that never plays pays
    // nothing for it). Until then the player has no length and no position, and a volume or mute
    // written is kept and handed to the engine when it is made.
    MediaEngine& Engine() const;

    // Events: the end of the loaded media (one Long, 0); a key released (key code, shift);
    // a key typed (character code). MouseMove comes from the control's own mouse events.
    std::function<void(long)> EndOfStream;
    // A file that cannot be played, when it is still the last file set; ErrorDescription says
    // why, for a person, naming the file by its name ("Cannot play \"song.mp3\": ..."). Every
    // failure is also said on stderr.
    std::function<void()> Error;
    std::string ErrorDescription() const { return errorDescription_; }
    std::function<void(int, int)> KeyUp;
    std::function<void(int)> KeyPress;

private:
    class Screen;
    class FullScreen;
    void LeaveFullScreen();
    Screen* screen_;
    std::unique_ptr<FullScreen> fullScreen_;
    mutable std::unique_ptr<MediaEngine> engine_;
    mutable std::optional<long> pendingVolume_;
    mutable std::optional<bool> pendingMute_;
    std::string fileName_;
    std::string errorDescription_;  // of the last file set, when it cannot be played
    bool errorPending_ = false;
    long displaySize_ = 0;
    bool videoUnloadFlag_ = true;
};

}  // namespace controls
