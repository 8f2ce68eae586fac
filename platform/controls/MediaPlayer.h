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
    // cannot be played raises an error (the name still reads back as written).
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
    // 3 shows the video full screen (Escape or a double click returns it); other sizes show it in
    // the control.
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
    std::function<void(int, int)> KeyUp;
    std::function<void(int)> KeyPress;

private:
    class Screen;
    void LeaveFullScreen();
    Screen* screen_;
    std::unique_ptr<QWidget> fullScreen_;
    mutable std::unique_ptr<MediaEngine> engine_;
    mutable std::optional<long> pendingVolume_;
    mutable std::optional<bool> pendingMute_;
    std::string fileName_;
    long displaySize_ = 0;
    bool videoUnloadFlag_ = true;
};

}  // namespace controls
