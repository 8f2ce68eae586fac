// The outputs of the GStreamer engine: which sinks this machine and display can use (named by the
// environment, or probed once per process), and the video output that draws into a window's
// native X11 window and keeps its picture on top of what Qt paints there.
//
// Threads: everything runs on the user-interface thread but VideoOutput::PrepareWindowHandle,
// which the engine's bus handler calls from a streaming thread.
#pragma once

#include <gst/gst.h>

#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "platform/controls/GstRef.h"

namespace controls {

// Starts GStreamer, once per process. Raises MediaError when it cannot start.
void InitGstOnce();

// The factory name of an element ("fakesink", "ximagesink"; "bin" for a bin made from a
// description; "" for none).
std::string FactoryName(GstElement* element);

// The audio sink: the one $KESTO_AUDIO_SINK names, else the system's audio output when this
// machine has one, else a null sink that plays against the clock.
GstRef<GstElement> MakeAudioSink();

class VideoOutput {
public:
    // `replace` puts a new sink into the pipeline, which the engine rebuilds around it; it may
    // raise MediaError. `hasFrame` says whether the pipeline holds a decoded frame to redraw.
    VideoOutput(std::function<void(GstElement*)> replace, std::function<bool()> hasFrame);
    ~VideoOutput();
    VideoOutput(const VideoOutput&) = delete;
    VideoOutput& operator=(const VideoOutput&) = delete;

    // The sink in use: the one $KESTO_VIDEO_SINK names (it stays, and only gets the window), the
    // X11 sink drawing into the window, or the null sink.
    GstElement* Sink() const { return sink_.get(); }

    // Draws into `window` from now on (nullptr: video frames are dropped). Raises MediaError when
    // the loaded file cannot be played with the new sink.
    void SetWindow(QWidget* window);

    // Any thread: answers a sink's request for the window to draw into. False when the message
    // is no such request.
    bool PrepareWindowHandle(GstMessage* message);

private:
    enum class Kind { Null, X11, Custom };
    class Watcher;

    void Watch(QWidget* window);
    void WatchNativeWindow(QWindow* window);
    void Apply();
    void ApplyReported();
    void ScheduleExpose();
    void Expose();

    std::function<void(GstElement*)> replace_;
    std::function<bool()> hasFrame_;
    GstRef<GstElement> sink_;
    Kind kind_ = Kind::Null;
    std::unique_ptr<Watcher> watcher_;
    QPointer<QWidget> window_;
    QPointer<QWindow> nativeWindow_;  // the window's QWindow, whose exposes Qt repaints
    QMetaObject::Connection windowGone_;
    bool exposePending_ = false;
    std::atomic<guintptr> handle_{0};  // read by the bus handler
};

}  // namespace controls
