#include "platform/controls/GstOutput.h"

#include <gst/video/videooverlay.h>
#include <xcb/xcb.h>

#include <qguiapplication_platform.h>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "platform/base/report.h"
#include "platform/controls/MediaEngine.h"

namespace controls {

namespace {

bool IsFakeSink(GstElement* element) {
    const std::string name = FactoryName(element);
    return name == "fakesink" || name == "fakeaudiosink" || name == "fakevideosink";
}

// A null sink that still plays in real time against the pipeline's clock.
GstRef<GstElement> MakeClockedFakeSink() {
    GstRef<GstElement> sink = Own(gst_element_factory_make("fakesink", nullptr));
    if (sink) g_object_set(sink.get(), "sync", TRUE, nullptr);
    return sink;
}

// A sink from a factory name ("fakesink") or a launch description ("pulsesink device=x",
// "videoconvert ! ximagesink"). A bare fakesink keeps real time (sync=true), as a null output
// of a player should. Null when the description names nothing that can be made.
GstRef<GstElement> SinkFromDescription(const std::string& description) {
    if (description.find_first_of(" \t!=") == std::string::npos) {
        if (description == "fakesink") return MakeClockedFakeSink();
        return Own(gst_element_factory_make(description.c_str(), nullptr));
    }
    GError* error = nullptr;
    GstRef<GstElement> bin = Own(gst_parse_bin_from_description(description.c_str(), TRUE, &error));
    if (error) {
        platform::base::Report("media",
                               "cannot make the sink \"" + description + "\": " + error->message);
        g_clear_error(&error);
        return nullptr;
    }
    return bin;
}

GstRef<GstElement> SinkFromEnvironment(const char* variable) {
    const char* value = std::getenv(variable);
    if (!value || !*value) return nullptr;
    GstRef<GstElement> sink = SinkFromDescription(value);
    if (!sink) {
        platform::base::Report("media", std::string(variable) + "=" + value +
                                            " names no usable sink; using the default");
    }
    return sink;
}

// Whether this machine has an audio output autoaudiosink can open (asked once per process).
// Without one, autoaudiosink would fall back to a fake sink itself after trying every output
// on every start; the engine rather knows it once and uses a clocked fake sink directly.
bool HasAudioOutput() {
    static std::once_flag once;
    static bool found = false;
    std::call_once(once, [] {
        GstRef<GstElement> probe = Own(gst_element_factory_make("autoaudiosink", nullptr));
        if (!probe) return;
        if (gst_element_set_state(probe.get(), GST_STATE_READY) != GST_STATE_CHANGE_FAILURE) {
            GstIterator* it = gst_bin_iterate_elements(GST_BIN(probe.get()));
            GValue item = G_VALUE_INIT;
            while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
                if (!IsFakeSink(GST_ELEMENT(g_value_get_object(&item)))) found = true;
                g_value_reset(&item);
            }
            g_value_unset(&item);
            gst_iterator_free(it);
        }
        gst_element_set_state(probe.get(), GST_STATE_NULL);
    });
    return found;
}

// The X11 video sink that works with this display: xvimagesink where the server has a video
// adaptor (it scales in the server), else ximagesink; "" when neither can open the display.
std::string XVideoSinkFactory() {
    static std::once_flag once;
    static std::string name;
    std::call_once(once, [] {
        for (const char* factory : {"xvimagesink", "ximagesink"}) {
            GstRef<GstElement> probe = Own(gst_element_factory_make(factory, nullptr));
            if (!probe) continue;
            const bool ok =
                gst_element_set_state(probe.get(), GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
            gst_element_set_state(probe.get(), GST_STATE_NULL);
            if (ok) {
                name = factory;
                break;
            }
        }
    });
    return name;
}

bool OnX11() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
           QGuiApplication::platformName() == QLatin1String("xcb");
}

// The element of a sink that draws into a foreign window, if any.
GstRef<GstVideoOverlay> OverlayOf(GstElement* sink) {
    if (!sink) return nullptr;
    if (GST_IS_VIDEO_OVERLAY(sink)) {
        return GstRef<GstVideoOverlay>(GST_VIDEO_OVERLAY(gst_object_ref(sink)));
    }
    if (GST_IS_BIN(sink)) {
        GstElement* inner = gst_bin_get_by_interface(GST_BIN(sink), GST_TYPE_VIDEO_OVERLAY);
        if (inner) return GstRef<GstVideoOverlay>(GST_VIDEO_OVERLAY(inner));
    }
    return nullptr;
}

// Qt and the video sink draw into the window over two connections to the X server, which serves
// them in any order. Before the sink redraws a frame, the server is made to finish what Qt sent,
// or Qt's repainted background could land on top of the frame.
void WaitForQtsDrawing() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return;
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

QEvent::Type ExposeEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

}  // namespace

void InitGstOnce() {
    static std::once_flag once;
    static std::string failure;
    std::call_once(once, [] {
        GError* error = nullptr;
        if (!gst_init_check(nullptr, nullptr, &error)) {
            failure = error ? error->message : "unknown error";
            g_clear_error(&error);
        }
    });
    if (!failure.empty()) throw MediaError("GStreamer could not start: " + failure);
}

void PrepareGst() {
    try {
        InitGstOnce();
    } catch (const MediaError&) {
        return;  // the first engine reports it
    }
    // The plugins a playing file needs first, loaded here rather than by the first file's
    // pipeline.
    for (const char* name : {"playbin", "fakesink", "wavparse", "audioconvert"}) {
        GstElementFactory* factory = gst_element_factory_find(name);
        if (!factory) continue;
        if (GstPluginFeature* loaded = gst_plugin_feature_load(GST_PLUGIN_FEATURE(factory)))
            gst_object_unref(loaded);
        gst_object_unref(factory);
    }
    const char* sink = std::getenv("KESTO_AUDIO_SINK");
    if (!sink || !*sink) HasAudioOutput();
}

std::string FactoryName(GstElement* element) {
    if (!element) return "";
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory) return GST_IS_BIN(element) ? "bin" : "";
    return gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory));
}

GstRef<GstElement> MakeAudioSink() {
    GstRef<GstElement> sink = SinkFromEnvironment("KESTO_AUDIO_SINK");
    if (!sink && HasAudioOutput()) sink = Own(gst_element_factory_make("autoaudiosink", nullptr));
    if (!sink) sink = MakeClockedFakeSink();
    return sink;
}

// The video output's agent on the user-interface thread: watches the window and redraws the
// frame after Qt has painted.
class VideoOutput::Watcher : public QObject {
public:
    explicit Watcher(VideoOutput* out) : out_(out) {}

    bool event(QEvent* e) override {
        if (e->type() == ExposeEventType()) {
            out_->Expose();
            return true;
        }
        return QObject::event(e);
    }

    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == out_->window_) {
            switch (e->type()) {
                case QEvent::WinIdChange:
                    out_->ApplyReported();
                    break;
                case QEvent::Resize:
                case QEvent::Paint:
                case QEvent::Show:
                case QEvent::UpdateRequest:
                    out_->ScheduleExpose();
                    break;
                default:
                    break;
            }
        } else if (watched == out_->nativeWindow_ && e->type() == QEvent::Expose) {
            // Qt answers the X server's expose by copying its own picture of the widget back.
            out_->ScheduleExpose();
        }
        return QObject::eventFilter(watched, e);
    }

private:
    VideoOutput* out_;
};

VideoOutput::VideoOutput(std::function<void(GstElement*)> replace, std::function<bool()> hasFrame)
    : replace_(std::move(replace)),
      hasFrame_(std::move(hasFrame)),
      watcher_(std::make_unique<Watcher>(this)) {
    sink_ = SinkFromEnvironment("KESTO_VIDEO_SINK");
    kind_ = Kind::Custom;
    if (!sink_) {
        sink_ = MakeClockedFakeSink();
        kind_ = Kind::Null;
    }
}

VideoOutput::~VideoOutput() {
    if (window_) window_->removeEventFilter(watcher_.get());
    if (nativeWindow_) nativeWindow_->removeEventFilter(watcher_.get());
    QObject::disconnect(windowGone_);
}

void VideoOutput::SetWindow(QWidget* window) {
    if (window && OnX11()) window->winId();  // makes it a native window
    Watch(window);
    Apply();
}

bool VideoOutput::PrepareWindowHandle(GstMessage* message) {
    if (!gst_is_video_overlay_prepare_window_handle_message(message)) return false;
    if (const guintptr handle = handle_.load()) {
        gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(GST_MESSAGE_SRC(message)), handle);
    }
    return true;
}

void VideoOutput::Watch(QWidget* window) {
    if (window_) window_->removeEventFilter(watcher_.get());
    QObject::disconnect(windowGone_);
    WatchNativeWindow(nullptr);
    window_ = window;
    if (!window) return;
    window->installEventFilter(watcher_.get());
    // The window's native window is gone by the time it reports its end; stop drawing into it.
    windowGone_ = QObject::connect(window, &QObject::destroyed, watcher_.get(), [this] {
        window_ = nullptr;
        ApplyReported();
    });
}

void VideoOutput::WatchNativeWindow(QWindow* window) {
    if (window == nativeWindow_) return;
    if (nativeWindow_) nativeWindow_->removeEventFilter(watcher_.get());
    nativeWindow_ = window;
    if (window) window->installEventFilter(watcher_.get());
}

// Chooses the video sink for the current window: the X11 sink drawing into the window's native
// window, or the null sink. A sink named by $KESTO_VIDEO_SINK stays and only gets the window.
void VideoOutput::Apply() {
    const WId handle = window_ && OnX11() ? window_->internalWinId() : 0;
    WatchNativeWindow(handle ? window_->windowHandle() : nullptr);
    handle_.store(static_cast<guintptr>(handle));
    Kind wanted = kind_ == Kind::Custom ? Kind::Custom : handle ? Kind::X11 : Kind::Null;
    if (wanted == Kind::X11 && XVideoSinkFactory().empty()) {
        platform::base::Report(
            "media", "no X11 video sink works here (package gstreamer1.0-x); video is dropped");
        wanted = Kind::Null;
    }
    if (wanted == kind_) {
        if (handle) {
            if (GstRef<GstVideoOverlay> overlay = OverlayOf(sink_.get())) {
                gst_video_overlay_set_window_handle(overlay.get(), handle);
            }
            ScheduleExpose();
        }
        return;
    }
    GstRef<GstElement> sink;
    if (wanted == Kind::X11) {
        sink = Own(gst_element_factory_make(XVideoSinkFactory().c_str(), nullptr));
        if (sink) {
            // Qt keeps the window's input; the sink only draws.
            gst_video_overlay_handle_events(GST_VIDEO_OVERLAY(sink.get()), FALSE);
            gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(sink.get()), handle);
            g_object_set(sink.get(), "force-aspect-ratio", TRUE, nullptr);
        }
    }
    if (!sink) {
        sink = MakeClockedFakeSink();
        wanted = Kind::Null;
    }
    // The pipeline lets go of the old sink when it takes the new one.
    const GstRef<GstElement> old = std::exchange(sink_, std::move(sink));
    kind_ = wanted;
    replace_(sink_.get());
}

// A change of window the engine did not ask for: a file that cannot be played with the new sink
// is reported, and the engine is closed.
void VideoOutput::ApplyReported() {
    try {
        Apply();
    } catch (const MediaError& error) {
        platform::base::Report("media", error.what());
    }
}

void VideoOutput::ScheduleExpose() {
    if (kind_ == Kind::Null || exposePending_) return;
    exposePending_ = true;
    // After Qt has painted and flushed the window, so the frame ends up on top.
    QCoreApplication::postEvent(watcher_.get(), new QEvent(ExposeEventType()),
                                Qt::LowEventPriority);
}

// Redraws the last frame (the sink draws new frames by itself while playing).
void VideoOutput::Expose() {
    exposePending_ = false;
    if (kind_ == Kind::Null || !hasFrame_()) return;
    WaitForQtsDrawing();
    if (GstRef<GstVideoOverlay> overlay = OverlayOf(sink_.get())) {
        gst_video_overlay_expose(overlay.get());
    }
}

}  // namespace controls
