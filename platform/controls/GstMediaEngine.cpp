// The media engine on GStreamer's playbin.
//
// Threads: every public call runs on the user-interface thread. GStreamer's streaming threads
// only meet the engine in the bus sync handler (OnBusMessage), which drops every message after
// noting what matters under `mutex`: the end of the stream and stream errors are queued for the
// user-interface thread and a wake-up event is posted to the Bridge object living there; the
// preroll waits of Open and Seek sleep on `changed` until the pipeline is ready or has failed.
// Nothing is handed over through Qt's event queue but the bare wake-up, so every word the two
// sides share is guarded by `mutex`. The user-interface thread never holds `mutex` while it calls
// into GStreamer, because GStreamer may call the sync handler from inside such a call.
#include "platform/controls/GstMediaEngine.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <gst/video/videooverlay.h>
#include <xcb/xcb.h>

#include <qguiapplication_platform.h>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

namespace controls {

namespace {

// A seek or a change of video output waits this long for the pipeline to settle.
constexpr int kSettleTimeoutMs = 2000;
// After the preroll, a demuxer that does not know the length yet gets this long to find it.
constexpr int kDurationWaitMs = 1000;

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

std::string FactoryName(GstElement* element) {
    if (!element) return "";
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory) return GST_IS_BIN(element) ? "bin" : "";
    return gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory));
}

bool IsFakeSink(GstElement* element) {
    const std::string name = FactoryName(element);
    return name == "fakesink" || name == "fakeaudiosink" || name == "fakevideosink";
}

// Takes ownership of a freshly made element (sinking its floating reference).
GstElement* Own(GstElement* element) {
    if (element) gst_object_ref_sink(element);
    return element;
}

// A null sink that still plays in real time against the pipeline's clock.
GstElement* MakeClockedFakeSink() {
    GstElement* sink = Own(gst_element_factory_make("fakesink", nullptr));
    if (sink) g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

// A sink from a factory name ("fakesink") or a launch description ("pulsesink device=x",
// "videoconvert ! ximagesink"). A bare fakesink keeps real time (sync=true), as a null output
// of a player should. nullptr when the description names nothing that can be made.
GstElement* SinkFromDescription(const std::string& description) {
    if (description.find_first_of(" \t!=") == std::string::npos) {
        if (description == "fakesink") return MakeClockedFakeSink();
        return Own(gst_element_factory_make(description.c_str(), nullptr));
    }
    GError* error = nullptr;
    GstElement* bin = gst_parse_bin_from_description(description.c_str(), TRUE, &error);
    if (error) {
        qWarning("media: cannot make the sink \"%s\": %s", description.c_str(), error->message);
        g_clear_error(&error);
        if (bin) gst_object_unref(bin);
        return nullptr;
    }
    return Own(bin);
}

GstElement* SinkFromEnvironment(const char* variable) {
    const char* value = std::getenv(variable);
    if (!value || !*value) return nullptr;
    GstElement* sink = SinkFromDescription(value);
    if (!sink) qWarning("media: %s=%s names no usable sink; using the default", variable, value);
    return sink;
}

// Whether this machine has an audio output autoaudiosink can open (asked once per process).
// Without one, autoaudiosink would fall back to a fake sink itself after trying every output
// on every start; the engine rather knows it once and uses a clocked fake sink directly.
bool HasAudioOutput() {
    static std::once_flag once;
    static bool found = false;
    std::call_once(once, [] {
        GstElement* probe = Own(gst_element_factory_make("autoaudiosink", nullptr));
        if (!probe) return;
        if (gst_element_set_state(probe, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE) {
            GstIterator* it = gst_bin_iterate_elements(GST_BIN(probe));
            GValue item = G_VALUE_INIT;
            while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
                if (!IsFakeSink(GST_ELEMENT(g_value_get_object(&item)))) found = true;
                g_value_reset(&item);
            }
            g_value_unset(&item);
            gst_iterator_free(it);
        }
        gst_element_set_state(probe, GST_STATE_NULL);
        gst_object_unref(probe);
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
            GstElement* probe = Own(gst_element_factory_make(factory, nullptr));
            if (!probe) continue;
            const bool ok =
                gst_element_set_state(probe, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
            gst_element_set_state(probe, GST_STATE_NULL);
            gst_object_unref(probe);
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

// The element of a sink that draws into a foreign window, if any (a new reference).
GstVideoOverlay* OverlayOf(GstElement* sink) {
    if (!sink) return nullptr;
    if (GST_IS_VIDEO_OVERLAY(sink)) return GST_VIDEO_OVERLAY(gst_object_ref(sink));
    if (GST_IS_BIN(sink)) {
        GstElement* inner = gst_bin_get_by_interface(GST_BIN(sink), GST_TYPE_VIDEO_OVERLAY);
        if (inner) return GST_VIDEO_OVERLAY(inner);
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

QEvent::Type WakeEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type ExposeEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

}  // namespace

double VolumeToGain(long hundredthsOfDb) {
    const long v = std::clamp(hundredthsOfDb, kMinVolume, kMaxVolume);
    return std::pow(10.0, static_cast<double>(v) / 2000.0);
}

// The engine's agent on the user-interface thread: receives the wake-ups from the bus handler
// and watches the video window.
class Bridge : public QObject {
public:
    explicit Bridge(GstMediaEngine::Impl* d) : d_(d) {}
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    GstMediaEngine::Impl* d_;
};

struct GstMediaEngine::Impl {
    enum class VideoOut { Null, X11, Custom };
    struct Message {
        enum class Kind { EndOfStream, Error } kind;
        std::uint64_t serial;
        std::string text;
    };

    explicit Impl(GstMediaEngine* owner);
    ~Impl();

    // Bus side (any thread).
    static GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);
    void Post(Message::Kind kind, std::string text = {});

    // User-interface side.
    void Drain();
    bool HandleEndOfStream();
    void HandleStreamError(const std::string& text);
    void Close();
    void BumpSerial();
    std::string Preroll();
    std::string TryPreroll();
    std::string FailureText();
    bool WaitSettled(int timeoutMs);
    bool SeekTo(double seconds);
    void RequireFile(const char* what) const;
    void EnsurePrerolled();
    void QueryDuration(bool wait) const;
    double EstimatedDuration(bool nominal) const;
    void ApplyVideoOutput();
    void UseVideoSink(GstElement* sink, VideoOut kind);
    void ScheduleExpose();
    void Expose();
    void WatchWindow(QWidget* window);
    void WatchNativeWindow(QWindow* window);

    GstMediaEngine* owner;
    GstElement* playbin = nullptr;
    GstElement* audioSink = nullptr;
    GstElement* videoSink = nullptr;
    VideoOut videoOut = VideoOut::Null;
    Bridge* bridge = nullptr;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    // User-interface thread only.
    std::string fileName;
    State state = State::Closed;
    bool ended = false;      // played to its end; Play starts again from 0
    bool prerolled = false;  // the pipeline holds the file, PAUSED or PLAYING
    mutable double duration = 0;
    mutable double lastPosition = 0;
    bool hasVideo = false;
    long volume = 0;
    bool mute = false;
    QPointer<QWidget> window;
    QPointer<QWindow> nativeWindow;  // the window's QWindow, whose exposes Qt repaints
    QMetaObject::Connection windowGone;
    bool exposePending = false;

    // Shared with the bus handler, under `mutex`.
    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t serial = 0;  // bumped by each call that makes earlier stream messages stale
    std::deque<Message> queue;
    bool wakePending = false;
    Bridge* wake = nullptr;            // nullptr once the engine is going away
    bool settled = false;              // ASYNC_DONE seen since the last preroll or seek
    std::string error;                 // the first error since the last preroll
    std::vector<std::string> missing;  // plug-ins GStreamer reported missing
    bool durationStale = false;
    guintptr overlayHandle = 0;
};

bool Bridge::event(QEvent* e) {
    if (e->type() == WakeEventType()) {
        d_->Drain();  // may destroy the engine and this object; touch nothing afterwards
        return true;
    }
    if (e->type() == ExposeEventType()) {
        d_->Expose();
        return true;
    }
    return QObject::event(e);
}

bool Bridge::eventFilter(QObject* watched, QEvent* e) {
    if (watched == d_->window) {
        switch (e->type()) {
            case QEvent::WinIdChange:
                try {
                    d_->ApplyVideoOutput();
                } catch (const MediaError& error) {
                    qWarning("media: %s", error.what());
                }
                break;
            case QEvent::Resize:
            case QEvent::Paint:
            case QEvent::Show:
            case QEvent::UpdateRequest:
                d_->ScheduleExpose();
                break;
            default:
                break;
        }
    } else if (watched == d_->nativeWindow && e->type() == QEvent::Expose) {
        // Qt answers the X server's expose by copying its own picture of the widget back.
        d_->ScheduleExpose();
    }
    return QObject::eventFilter(watched, e);
}

GstMediaEngine::Impl::Impl(GstMediaEngine* owner) : owner(owner) {
    InitGstOnce();
    playbin = Own(gst_element_factory_make("playbin", nullptr));
    if (!playbin) {
        throw MediaError("GStreamer has no playbin element (package gstreamer1.0-plugins-base)");
    }
    audioSink = SinkFromEnvironment("KESTO_AUDIO_SINK");
    if (!audioSink && HasAudioOutput()) {
        audioSink = Own(gst_element_factory_make("autoaudiosink", nullptr));
    }
    if (!audioSink) audioSink = MakeClockedFakeSink();
    videoSink = SinkFromEnvironment("KESTO_VIDEO_SINK");
    videoOut = VideoOut::Custom;
    if (!videoSink) {
        videoSink = MakeClockedFakeSink();
        videoOut = VideoOut::Null;
    }
    g_object_set(playbin, "audio-sink", audioSink, "video-sink", videoSink, "volume", 1.0, "mute",
                 FALSE, nullptr);
    bridge = new Bridge(this);
    wake = bridge;
    GstBus* bus = gst_element_get_bus(playbin);
    gst_bus_set_sync_handler(bus, &Impl::OnBusMessage, this, nullptr);
    gst_object_unref(bus);
}

GstMediaEngine::Impl::~Impl() {
    *alive = false;
    {
        std::lock_guard lock(mutex);
        wake = nullptr;
    }
    if (window) window->removeEventFilter(bridge);
    if (nativeWindow) nativeWindow->removeEventFilter(bridge);
    QObject::disconnect(windowGone);
    gst_element_set_state(playbin, GST_STATE_NULL);
    GstBus* bus = gst_element_get_bus(playbin);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(playbin);
    gst_object_unref(audioSink);
    gst_object_unref(videoSink);
    delete bridge;
}

GstBusSyncReply GstMediaEngine::Impl::OnBusMessage(GstBus*, GstMessage* message, gpointer self) {
    auto* d = static_cast<Impl*>(self);
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS:
            d->Post(Message::Kind::EndOfStream);
            break;
        case GST_MESSAGE_ERROR: {
            GError* error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            std::string text = error && error->message ? error->message : "unknown error";
            g_clear_error(&error);
            {
                std::lock_guard lock(d->mutex);
                if (d->error.empty()) d->error = text;
            }
            d->changed.notify_all();
            d->Post(Message::Kind::Error, std::move(text));
            break;
        }
        case GST_MESSAGE_ASYNC_DONE: {
            {
                std::lock_guard lock(d->mutex);
                d->settled = true;
            }
            d->changed.notify_all();
            break;
        }
        case GST_MESSAGE_DURATION_CHANGED: {
            std::lock_guard lock(d->mutex);
            d->durationStale = true;
            break;
        }
        case GST_MESSAGE_ELEMENT:
            if (gst_is_video_overlay_prepare_window_handle_message(message)) {
                guintptr handle;
                {
                    std::lock_guard lock(d->mutex);
                    handle = d->overlayHandle;
                }
                if (handle) {
                    GstVideoOverlay* overlay = GST_VIDEO_OVERLAY(GST_MESSAGE_SRC(message));
                    gst_video_overlay_set_window_handle(overlay, handle);
                }
            } else if (gst_is_missing_plugin_message(message)) {
                gchar* description = gst_missing_plugin_message_get_description(message);
                std::lock_guard lock(d->mutex);
                d->missing.emplace_back(description ? description : "unknown plug-in");
                g_free(description);
            }
            break;
        default:
            break;
    }
    return GST_BUS_DROP;
}

void GstMediaEngine::Impl::Post(Message::Kind kind, std::string text) {
    std::lock_guard lock(mutex);
    if (!wake) return;
    queue.push_back(Message{kind, serial, std::move(text)});
    if (!wakePending) {
        wakePending = true;
        QCoreApplication::postEvent(wake, new QEvent(WakeEventType()));
    }
}

void GstMediaEngine::Impl::Drain() {
    for (;;) {
        Message message;
        {
            std::lock_guard lock(mutex);
            if (queue.empty()) {
                wakePending = false;
                return;
            }
            message = std::move(queue.front());
            queue.pop_front();
            if (message.serial != serial) continue;
        }
        if (message.kind == Message::Kind::EndOfStream) {
            if (!HandleEndOfStream()) return;
        } else {
            HandleStreamError(message.text);
        }
    }
}

// Returns false when the engine did not survive its callback.
bool GstMediaEngine::Impl::HandleEndOfStream() {
    if (state == State::Closed || ended) return true;
    ended = true;
    state = State::Stopped;
    gst_element_set_state(playbin, GST_STATE_PAUSED);
    const std::function<void()> callback = owner->onEndOfStream;
    if (!callback) return true;
    const std::shared_ptr<bool> stillAlive = alive;
    callback();
    return *stillAlive;
}

void GstMediaEngine::Impl::HandleStreamError(const std::string& text) {
    if (state == State::Closed) return;
    qWarning("media: playing %s failed: %s", Quoted(fileName).c_str(), text.c_str());
    BumpSerial();
    gst_element_set_state(playbin, GST_STATE_NULL);
    prerolled = false;
    ended = false;
    lastPosition = 0;
    state = State::Stopped;
}

void GstMediaEngine::Impl::BumpSerial() {
    std::lock_guard lock(mutex);
    ++serial;
}

void GstMediaEngine::Impl::Close() {
    BumpSerial();
    gst_element_set_state(playbin, GST_STATE_READY);
    state = State::Closed;
    ended = false;
    prerolled = false;
    duration = 0;
    lastPosition = 0;
    hasVideo = false;
}

// Brings the loaded file to PAUSED and waits until its first frames are decoded. Returns "" when
// the file is ready, else why not; the pipeline is then let go completely (NULL), since playbin
// keeps a file that failed half-way to PAUSED when it is only taken back to READY.
std::string GstMediaEngine::Impl::Preroll() {
    std::string problem = TryPreroll();
    if (problem.empty()) {
        prerolled = true;
    } else {
        gst_element_set_state(playbin, GST_STATE_NULL);
        prerolled = false;
    }
    return problem;
}

std::string GstMediaEngine::Impl::TryPreroll() {
    {
        std::lock_guard lock(mutex);
        settled = false;
        error.clear();
        missing.clear();
    }
    const GstStateChangeReturn result = gst_element_set_state(playbin, GST_STATE_PAUSED);
    std::unique_lock lock(mutex);
    if (result == GST_STATE_CHANGE_ASYNC) {
        const bool done = changed.wait_for(lock, std::chrono::milliseconds(kPrerollTimeoutMs),
                                           [this] { return settled || !error.empty(); });
        if (!done) {
            return "the file was not ready within " + std::to_string(kPrerollTimeoutMs / 1000) +
                   " seconds";
        }
    }
    if (!error.empty() || result == GST_STATE_CHANGE_FAILURE) {
        lock.unlock();
        return FailureText();
    }
    return "";
}

std::string GstMediaEngine::Impl::FailureText() {
    std::lock_guard lock(mutex);
    std::string text = error.empty() ? "GStreamer refused to start the file" : error;
    while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
    if (!missing.empty()) {
        text += " (missing: ";
        for (std::size_t i = 0; i < missing.size(); ++i) text += (i ? ", " : "") + missing[i];
        text += ")";
    }
    return text;
}

// Waits for the preroll that a seek or a state change started. False on a timeout or an error.
bool GstMediaEngine::Impl::WaitSettled(int timeoutMs) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] {
        return settled || !error.empty();
    }) && error.empty();
}

bool GstMediaEngine::Impl::SeekTo(double seconds) {
    {
        std::lock_guard lock(mutex);
        settled = false;
    }
    const auto target = static_cast<gint64>(std::llround(seconds * GST_SECOND));
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    if (!gst_element_seek_simple(playbin, GST_FORMAT_TIME, flags, target)) return false;
    WaitSettled(kSettleTimeoutMs);
    lastPosition = seconds;
    return true;
}

void GstMediaEngine::Impl::RequireFile(const char* what) const {
    if (state == State::Closed)
        throw MediaError(std::string("Cannot ") + what + ": no file is open");
}

// After a stream error the pipeline was let go; the next command loads the file again.
void GstMediaEngine::Impl::EnsurePrerolled() {
    if (prerolled) return;
    const std::string problem = Preroll();
    if (!problem.empty()) {
        throw MediaError("Cannot play " + Quoted(fileName) + ": " + problem);
    }
}

// Asks the pipeline for the length. With `wait` (right after the preroll), a demuxer that finds
// the length shortly after the preroll gets a moment to do so, and audio that GStreamer cannot
// time before reading it all (an MP3 without a length header) gets an estimate from its size and
// bit rate, which the parser refines while it plays.
void GstMediaEngine::Impl::QueryDuration(bool wait) const {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kDurationWaitMs);
    gint64 ns = 0;
    while (!gst_element_query_duration(playbin, GST_FORMAT_TIME, &ns) || ns <= 0) {
        if (!wait) return;
        const bool late = std::chrono::steady_clock::now() >= deadline;
        if (!hasVideo) {
            if (const double estimate = EstimatedDuration(late); estimate > 0) {
                duration = estimate;
                return;
            }
        }
        if (late) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    duration = static_cast<double>(ns) / GST_SECOND;
}

// The file's size over the audio's average bit rate as far as the parser has seen it (or, with
// `nominal`, the bit rate its first frame announces); 0 when either is unknown.
double GstMediaEngine::Impl::EstimatedDuration(bool nominal) const {
    gint64 bytes = 0;
    if (!gst_element_query_duration(playbin, GST_FORMAT_BYTES, &bytes) || bytes <= 0) return 0;
    GstTagList* tags = nullptr;
    g_signal_emit_by_name(playbin, "get-audio-tags", 0, &tags);
    if (!tags) return 0;
    guint bitrate = 0;
    if (!gst_tag_list_get_uint(tags, GST_TAG_BITRATE, &bitrate) && nominal) {
        gst_tag_list_get_uint(tags, GST_TAG_NOMINAL_BITRATE, &bitrate);
    }
    gst_tag_list_unref(tags);
    return bitrate ? static_cast<double>(bytes) * 8 / bitrate : 0;
}

// Chooses the video sink for the current window: the X11 sink drawing into the window's native
// window, or the null sink. A sink named by $KESTO_VIDEO_SINK stays and only gets the window.
void GstMediaEngine::Impl::ApplyVideoOutput() {
    const WId handle = window && OnX11() ? window->internalWinId() : 0;
    WatchNativeWindow(handle ? window->windowHandle() : nullptr);
    {
        std::lock_guard lock(mutex);
        overlayHandle = static_cast<guintptr>(handle);
    }
    VideoOut wanted = videoOut == VideoOut::Custom ? VideoOut::Custom
                      : handle                     ? VideoOut::X11
                                                   : VideoOut::Null;
    if (wanted == VideoOut::X11 && XVideoSinkFactory().empty()) {
        qWarning("media: no X11 video sink works here (package gstreamer1.0-x); video is dropped");
        wanted = VideoOut::Null;
    }
    if (wanted == videoOut) {
        if (handle) {
            if (GstVideoOverlay* overlay = OverlayOf(videoSink)) {
                gst_video_overlay_set_window_handle(overlay, handle);
                gst_object_unref(overlay);
            }
            ScheduleExpose();
        }
        return;
    }
    GstElement* sink = nullptr;
    if (wanted == VideoOut::X11) {
        sink = Own(gst_element_factory_make(XVideoSinkFactory().c_str(), nullptr));
        if (sink) {
            // Qt keeps the window's input; the sink only draws.
            gst_video_overlay_handle_events(GST_VIDEO_OVERLAY(sink), FALSE);
            gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(sink), handle);
            g_object_set(sink, "force-aspect-ratio", TRUE, nullptr);
        }
    }
    if (!sink) {
        sink = MakeClockedFakeSink();
        wanted = VideoOut::Null;
    }
    UseVideoSink(sink, wanted);
}

// Puts a new video sink into playbin. With a file loaded, the pipeline is rebuilt around it and
// put back where it was (position and state).
void GstMediaEngine::Impl::UseVideoSink(GstElement* sink, VideoOut kind) {
    const bool loaded = state != State::Closed && prerolled;
    const double position = loaded ? owner->Position() : 0;
    if (state != State::Closed) {
        BumpSerial();
        gst_element_set_state(playbin, GST_STATE_READY);
        prerolled = false;
    }
    g_object_set(playbin, "video-sink", sink, nullptr);
    gst_object_unref(videoSink);
    videoSink = sink;
    videoOut = kind;
    if (!loaded) return;
    const std::string problem = Preroll();
    if (!problem.empty()) {
        const std::string path = fileName;
        Close();
        throw MediaError("Cannot play " + Quoted(path) + ": " + problem);
    }
    if (!ended && position > 0) SeekTo(position);
    if (state == State::Playing) gst_element_set_state(playbin, GST_STATE_PLAYING);
}

void GstMediaEngine::Impl::WatchWindow(QWidget* w) {
    if (window) window->removeEventFilter(bridge);
    QObject::disconnect(windowGone);
    WatchNativeWindow(nullptr);
    window = w;
    if (!w) return;
    w->installEventFilter(bridge);
    // The window's native window is gone by the time it reports its end; stop drawing into it.
    windowGone = QObject::connect(w, &QObject::destroyed, bridge, [this] {
        window = nullptr;
        try {
            ApplyVideoOutput();
        } catch (const MediaError& error) {
            qWarning("media: %s", error.what());
        }
    });
}

void GstMediaEngine::Impl::WatchNativeWindow(QWindow* w) {
    if (w == nativeWindow) return;
    if (nativeWindow) nativeWindow->removeEventFilter(bridge);
    nativeWindow = w;
    if (w) w->installEventFilter(bridge);
}

void GstMediaEngine::Impl::ScheduleExpose() {
    if (videoOut == VideoOut::Null || exposePending) return;
    exposePending = true;
    // After Qt has painted and flushed the window, so the frame ends up on top.
    QCoreApplication::postEvent(bridge, new QEvent(ExposeEventType()), Qt::LowEventPriority);
}

// Redraws the last frame (the sink draws new frames by itself while playing).
void GstMediaEngine::Impl::Expose() {
    exposePending = false;
    if (!prerolled || videoOut == VideoOut::Null) return;
    WaitForQtsDrawing();
    if (GstVideoOverlay* overlay = OverlayOf(videoSink)) {
        gst_video_overlay_expose(overlay);
        gst_object_unref(overlay);
    }
}

// ---------------------------------------------------------------------------------------------

GstMediaEngine::GstMediaEngine() : d_(std::make_unique<Impl>(this)) {}

GstMediaEngine::~GstMediaEngine() = default;

void GstMediaEngine::Open(const std::string& path) {
    d_->Close();
    d_->fileName = path;
    if (path.empty()) return;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) {
        throw MediaError("Cannot open " + Quoted(path) + ": there is no such file");
    }
    if (std::filesystem::is_directory(status)) {
        throw MediaError("Cannot open " + Quoted(path) + ": it is a folder, not a media file");
    }
    GError* error = nullptr;
    gchar* uri = gst_filename_to_uri(path.c_str(), &error);
    if (!uri) {
        std::string why = error ? error->message : "not a file name";
        g_clear_error(&error);
        throw MediaError("Cannot open " + Quoted(path) + ": " + why);
    }
    g_object_set(d_->playbin, "uri", uri, nullptr);
    g_free(uri);
    if (const std::string problem = d_->Preroll(); !problem.empty()) {
        d_->Close();
        throw MediaError("Cannot play " + Quoted(path) + ": " + problem);
    }
    gint videoStreams = 0;
    g_object_get(d_->playbin, "n-video", &videoStreams, nullptr);
    d_->hasVideo = videoStreams > 0;
    d_->QueryDuration(true);
    if (gst_element_set_state(d_->playbin, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        const std::string problem = d_->FailureText();
        d_->Close();
        throw MediaError("Cannot play " + Quoted(path) + ": " + problem);
    }
    d_->state = State::Playing;
}

std::string GstMediaEngine::FileName() const {
    return d_->fileName;
}

double GstMediaEngine::Duration() const {
    if (d_->state == State::Closed) return 0;
    bool stale;
    {
        std::lock_guard lock(d_->mutex);
        stale = d_->durationStale;
        d_->durationStale = false;
    }
    if (d_->prerolled && (stale || d_->duration <= 0)) d_->QueryDuration(false);
    return d_->duration;
}

double GstMediaEngine::Position() const {
    if (d_->state == State::Closed) return 0;
    if (d_->ended) return Duration();
    gint64 ns = 0;
    if (d_->prerolled && gst_element_query_position(d_->playbin, GST_FORMAT_TIME, &ns)) {
        d_->lastPosition = static_cast<double>(ns) / GST_SECOND;
    }
    const double length = Duration();
    return std::max(0.0, length > 0 ? std::min(d_->lastPosition, length) : d_->lastPosition);
}

void GstMediaEngine::Seek(double seconds) {
    d_->RequireFile("seek");
    const double length = Duration();
    if (!(seconds > 0)) seconds = 0;  // also NaN
    if (length > 0 && seconds > length) seconds = length;
    d_->EnsurePrerolled();
    d_->BumpSerial();
    d_->ended = false;
    if (!d_->SeekTo(seconds)) {
        qWarning("media: %s does not allow seeking", Quoted(d_->fileName).c_str());
    }
}

void GstMediaEngine::Play() {
    d_->RequireFile("play");
    if (d_->state == State::Playing) return;
    d_->EnsurePrerolled();
    if (d_->ended) {
        d_->BumpSerial();
        d_->ended = false;
        d_->SeekTo(0);
    }
    gst_element_set_state(d_->playbin, GST_STATE_PLAYING);
    d_->state = State::Playing;
}

void GstMediaEngine::Pause() {
    d_->RequireFile("pause");
    if (d_->state != State::Playing) return;
    gst_element_set_state(d_->playbin, GST_STATE_PAUSED);
    d_->state = State::Paused;
}

void GstMediaEngine::Stop() {
    d_->RequireFile("stop");
    d_->BumpSerial();
    d_->ended = false;
    d_->state = State::Stopped;
    d_->lastPosition = 0;
    if (!d_->prerolled) return;
    gst_element_set_state(d_->playbin, GST_STATE_PAUSED);
    d_->SeekTo(0);
}

MediaEngine::State GstMediaEngine::state() const {
    return d_->state;
}

void GstMediaEngine::SetVolume(long hundredthsOfDb) {
    d_->volume = std::clamp(hundredthsOfDb, kMinVolume, kMaxVolume);
    g_object_set(d_->playbin, "volume", VolumeToGain(d_->volume), nullptr);
}

long GstMediaEngine::Volume() const {
    return d_->volume;
}

void GstMediaEngine::SetMute(bool mute) {
    d_->mute = mute;
    g_object_set(d_->playbin, "mute", mute ? TRUE : FALSE, nullptr);
}

bool GstMediaEngine::Mute() const {
    return d_->mute;
}

void GstMediaEngine::SetVideoWindow(QWidget* window) {
    if (window && OnX11()) window->winId();  // makes it a native window
    d_->WatchWindow(window);
    d_->ApplyVideoOutput();
}

bool GstMediaEngine::HasVideo() const {
    return d_->state != State::Closed && d_->hasVideo;
}

double GstMediaEngine::OutputGain() const {
    gdouble gain = 0;
    g_object_get(d_->playbin, "volume", &gain, nullptr);
    return gain;
}

bool GstMediaEngine::OutputMuted() const {
    gboolean muted = FALSE;
    g_object_get(d_->playbin, "mute", &muted, nullptr);
    return muted;
}

std::string GstMediaEngine::AudioSinkName() const {
    return FactoryName(d_->audioSink);
}

std::string GstMediaEngine::VideoSinkName() const {
    return FactoryName(d_->videoSink);
}

std::unique_ptr<MediaEngine> CreateGstEngine() {
    return std::make_unique<GstMediaEngine>();
}

}  // namespace controls
