// The playback engine behind the player's media player control.
//
// One engine plays one file at a time. Everything runs on the user-interface thread: the calls
// below are made there, and the callbacks are delivered there (never from a streaming thread).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/base/error.h"

class QWidget;

namespace controls {

// Raised by an engine call that cannot be done (a file that cannot be opened or decoded, a seek
// without a file). The message says why, for a person.
class MediaError : public platform::base::Error {
public:
    using platform::base::Error::Error;

    // The error of a file that cannot be opened (it is not there, or is no file) or cannot be
    // played (it was opened, but cannot be decoded or started): "Cannot open "<path>": <why>",
    // "Cannot play "<path>": <why>".
    static MediaError CannotOpen(const std::string& path, const std::string& why) {
        return MediaError("Cannot open \"" + path + "\": " + why);
    }
    static MediaError CannotPlay(const std::string& path, const std::string& why) {
        return MediaError("Cannot play \"" + path + "\": " + why);
    }
    // The error of a command that needs a file when none is open: "Cannot <what>: no file is
    // open".
    static MediaError NoFile(const std::string& what) {
        return MediaError("Cannot " + what + ": no file is open");
    }
};

class MediaEngine {
public:
    enum class State { Closed, Stopped, Paused, Playing };

    virtual ~MediaEngine() = default;

    // Loads the file and starts playing it; the previous file stops. When Open returns, Duration()
    // is known (the engine waits, for a bounded time, until the file is ready). An empty path
    // closes the current file. Raises MediaError when the file cannot be played; the engine is
    // then Closed.
    virtual void Open(const std::string& path) = 0;
    // The path last given to Open ("" before any).
    virtual std::string FileName() const = 0;

    // Length of the loaded media in seconds; 0 when nothing is loaded or the length is unknown.
    virtual double Duration() const = 0;
    // Position in seconds; 0 when nothing is loaded.
    virtual double Position() const = 0;
    // Seeks; a position outside 0..Duration() is clamped into it. Raises MediaError without a file.
    virtual void Seek(double seconds) = 0;

    // Play starts or resumes the loaded file (from the start after Stop or after its end).
    // Pause holds the position. Stop halts and rewinds to 0. Each raises MediaError without a file.
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    virtual State state() const = 0;

    // Volume in hundredths of a decibel: 0 is full volume, -2500 is 25 dB quieter; values are
    // clamped to -10000..0.
    virtual void SetVolume(long hundredthsOfDb) = 0;
    virtual long Volume() const = 0;
    virtual void SetMute(bool mute) = 0;
    virtual bool Mute() const = 0;

    // The window video is drawn into (nullptr: no video output). On X11 the video fills the
    // widget's native window; where there is no display, video frames are dropped.
    virtual void SetVideoWindow(QWidget* window) = 0;
    // True when the loaded file has a video stream.
    virtual bool HasVideo() const = 0;

    // Called once each time the loaded media has played to its end.
    std::function<void()> onEndOfStream;
};

// The GStreamer engine, from the GStreamer module (GstModule.h), loaded on the first call. Audio
// goes to the system's audio output (or, when there is none, is played against the clock and
// dropped). $KESTO_AUDIO_SINK and $KESTO_VIDEO_SINK name other GStreamer sinks ("fakesink" for
// silent tests). Raises MediaError ("Cannot play: the playback module ... cannot be loaded: ...")
// when the module cannot be loaded, and when GStreamer cannot start.
std::unique_ptr<MediaEngine> CreateGstEngine();

// Loads the GStreamer module and starts GStreamer on a thread of its own, loads the playback
// elements and finds the audio output, so that the start-up of the program does not wait for
// them; the first engine made waits only for what is still under way. Once per process; nothing
// happens on a second call, nor when the module cannot be loaded (the first engine says why).
void PrepareGstEngine();

}  // namespace controls
