// The media engine on GStreamer's playbin: the playback state machine. Its sinks and its video
// output are in GstOutput.
//
// Threads: every public call runs on the user-interface thread. GStreamer's streaming threads
// only meet the engine in the bus sync handler (OnBusMessage), which drops every message after
// noting what matters under `mutex`: the end of the stream and stream errors are queued for the
// user-interface thread and a wake-up event is posted to the Bridge object living there; the
// preroll waits of Open and Seek sleep on `changed` until the pipeline is ready or has failed.
// Nothing is handed over through Qt's event queue but the bare wake-up, so every word the two
// sides share is guarded by `mutex` (the video window's handle is the video output's atomic).
// The user-interface thread never holds `mutex` while it calls into GStreamer, because GStreamer
// may call the sync handler from inside such a call.
#include "platform/controls/GstMediaEngine.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/base/report.h"
#include "platform/controls/GstOutput.h"
#include "platform/controls/GstRef.h"

namespace controls {

namespace {

// A seek or a change of video output waits this long for the pipeline to settle.
constexpr int kSettleTimeoutMs = 2000;
// After the preroll, a demuxer that does not know the length yet gets this long to find it.
constexpr int kDurationWaitMs = 1000;

QEvent::Type WakeEventType() {
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

// The engine's agent on the user-interface thread: receives the wake-ups from the bus handler.
class Bridge : public QObject {
public:
    explicit Bridge(GstMediaEngine::Impl* d) : d_(d) {}
    bool event(QEvent* e) override;

private:
    GstMediaEngine::Impl* d_;
};

struct GstMediaEngine::Impl {
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
    std::string SeekTo(double seconds);
    void SeekOrReport(double seconds);
    void RequireFile(const char* what) const;
    void EnsurePrerolled();
    void QueryDuration(bool wait) const;
    double EstimatedDuration(bool nominal) const;
    void UseVideoSink(GstElement* sink);

    GstMediaEngine* owner;
    GstRef<GstElement> playbin;
    GstRef<GstElement> audioSink;
    std::unique_ptr<Bridge> bridge;
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

    std::unique_ptr<VideoOutput> video;  // made once GStreamer has started
};

bool Bridge::event(QEvent* e) {
    if (e->type() == WakeEventType()) {
        d_->Drain();  // may destroy the engine and this object; touch nothing afterwards
        return true;
    }
    return QObject::event(e);
}

GstMediaEngine::Impl::Impl(GstMediaEngine* owner) : owner(owner) {
    InitGstOnce();
    playbin = Own(gst_element_factory_make("playbin", nullptr));
    if (!playbin) {
        throw MediaError("GStreamer has no playbin element (package gstreamer1.0-plugins-base)");
    }
    audioSink = MakeAudioSink();
    video = std::make_unique<VideoOutput>([this](GstElement* sink) { UseVideoSink(sink); },
                                          [this] { return prerolled; });
    g_object_set(playbin.get(), "audio-sink", audioSink.get(), "video-sink", video->Sink(),
                 "volume", 1.0, "mute", FALSE, nullptr);
    bridge = std::make_unique<Bridge>(this);
    wake = bridge.get();
    GstRef<GstBus> bus(gst_element_get_bus(playbin.get()));
    gst_bus_set_sync_handler(bus.get(), &Impl::OnBusMessage, this, nullptr);
}

GstMediaEngine::Impl::~Impl() {
    *alive = false;
    {
        std::lock_guard lock(mutex);
        wake = nullptr;
    }
    gst_element_set_state(playbin.get(), GST_STATE_NULL);
    GstRef<GstBus> bus(gst_element_get_bus(playbin.get()));
    gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
    video.reset();  // no sink asks for its window any more
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
            if (!d->video->PrepareWindowHandle(message) && gst_is_missing_plugin_message(message)) {
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
    gst_element_set_state(playbin.get(), GST_STATE_PAUSED);
    const std::function<void()> callback = owner->onEndOfStream;
    if (!callback) return true;
    const std::shared_ptr<bool> stillAlive = alive;
    callback();
    return *stillAlive;
}

void GstMediaEngine::Impl::HandleStreamError(const std::string& text) {
    if (state == State::Closed) return;
    platform::base::Report("media", "playing " + Quoted(fileName) + " failed: " + text);
    BumpSerial();
    gst_element_set_state(playbin.get(), GST_STATE_NULL);
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
    gst_element_set_state(playbin.get(), GST_STATE_READY);
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
        gst_element_set_state(playbin.get(), GST_STATE_NULL);
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
    const GstStateChangeReturn result = gst_element_set_state(playbin.get(), GST_STATE_PAUSED);
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

// Seeks and waits until the pipeline has settled at the new position. "" when it has, else what
// went wrong; the position is the new one as soon as the pipeline took the seek.
std::string GstMediaEngine::Impl::SeekTo(double seconds) {
    {
        std::lock_guard lock(mutex);
        settled = false;
    }
    const auto target = static_cast<gint64>(std::llround(seconds * GST_SECOND));
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    if (!gst_element_seek_simple(playbin.get(), GST_FORMAT_TIME, flags, target)) {
        return "does not allow seeking";
    }
    const bool settledInTime = WaitSettled(kSettleTimeoutMs);
    lastPosition = seconds;
    if (!settledInTime) {
        return "did not finish seeking within " + std::to_string(kSettleTimeoutMs / 1000) +
               " seconds";
    }
    return "";
}

void GstMediaEngine::Impl::SeekOrReport(double seconds) {
    if (const std::string problem = SeekTo(seconds); !problem.empty()) {
        platform::base::Report("media", Quoted(fileName) + " " + problem);
    }
}

void GstMediaEngine::Impl::RequireFile(const char* what) const {
    if (state == State::Closed) throw MediaError::NoFile(what);
}

// After a stream error the pipeline was let go; the next command loads the file again.
void GstMediaEngine::Impl::EnsurePrerolled() {
    if (prerolled) return;
    const std::string problem = Preroll();
    if (!problem.empty()) throw MediaError::CannotPlay(fileName, problem);
}

// Asks the pipeline for the length. With `wait` (right after the preroll), a demuxer that finds
// the length shortly after the preroll gets a moment to do so, and audio that GStreamer cannot
// time before reading it all (an MP3 without a length header) gets an estimate from its size and
// bit rate, which the parser refines while it plays.
void GstMediaEngine::Impl::QueryDuration(bool wait) const {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kDurationWaitMs);
    gint64 ns = 0;
    while (!gst_element_query_duration(playbin.get(), GST_FORMAT_TIME, &ns) || ns <= 0) {
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
    if (!gst_element_query_duration(playbin.get(), GST_FORMAT_BYTES, &bytes) || bytes <= 0)
        return 0;
    GstTagList* tags = nullptr;
    g_signal_emit_by_name(playbin.get(), "get-audio-tags", 0, &tags);
    if (!tags) return 0;
    guint bitrate = 0;
    if (!gst_tag_list_get_uint(tags, GST_TAG_BITRATE, &bitrate) && nominal) {
        gst_tag_list_get_uint(tags, GST_TAG_NOMINAL_BITRATE, &bitrate);
    }
    gst_tag_list_unref(tags);
    return bitrate ? static_cast<double>(bytes) * 8 / bitrate : 0;
}

// Puts a new video sink into playbin. With a file loaded, the pipeline is rebuilt around it and
// put back where it was (position and state).
void GstMediaEngine::Impl::UseVideoSink(GstElement* sink) {
    const bool loaded = state != State::Closed && prerolled;
    const double position = loaded ? owner->Position() : 0;
    if (state != State::Closed) {
        BumpSerial();
        gst_element_set_state(playbin.get(), GST_STATE_READY);
        prerolled = false;
    }
    g_object_set(playbin.get(), "video-sink", sink, nullptr);
    if (!loaded) return;
    const std::string problem = Preroll();
    if (!problem.empty()) {
        const std::string path = fileName;
        Close();
        throw MediaError::CannotPlay(path, problem);
    }
    if (!ended && position > 0) SeekOrReport(position);
    if (state == State::Playing) gst_element_set_state(playbin.get(), GST_STATE_PLAYING);
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
    if (!std::filesystem::exists(status))
        throw MediaError::CannotOpen(path, "there is no such file");
    if (std::filesystem::is_directory(status)) {
        throw MediaError::CannotOpen(path, "it is a folder, not a media file");
    }
    GError* error = nullptr;
    gchar* uri = gst_filename_to_uri(path.c_str(), &error);
    if (!uri) {
        std::string why = error ? error->message : "not a file name";
        g_clear_error(&error);
        throw MediaError::CannotOpen(path, why);
    }
    g_object_set(d_->playbin.get(), "uri", uri, nullptr);
    g_free(uri);
    if (const std::string problem = d_->Preroll(); !problem.empty()) {
        d_->Close();
        throw MediaError::CannotPlay(path, problem);
    }
    gint videoStreams = 0;
    g_object_get(d_->playbin.get(), "n-video", &videoStreams, nullptr);
    d_->hasVideo = videoStreams > 0;
    d_->QueryDuration(true);
    if (gst_element_set_state(d_->playbin.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        const std::string problem = d_->FailureText();
        d_->Close();
        throw MediaError::CannotPlay(path, problem);
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
    if (d_->prerolled && gst_element_query_position(d_->playbin.get(), GST_FORMAT_TIME, &ns)) {
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
    d_->SeekOrReport(seconds);
}

void GstMediaEngine::Play() {
    d_->RequireFile("play");
    if (d_->state == State::Playing) return;
    d_->EnsurePrerolled();
    if (d_->ended) {
        d_->BumpSerial();
        d_->ended = false;
        d_->SeekOrReport(0);
    }
    gst_element_set_state(d_->playbin.get(), GST_STATE_PLAYING);
    d_->state = State::Playing;
}

void GstMediaEngine::Pause() {
    d_->RequireFile("pause");
    if (d_->state != State::Playing) return;
    gst_element_set_state(d_->playbin.get(), GST_STATE_PAUSED);
    d_->state = State::Paused;
}

void GstMediaEngine::Stop() {
    d_->RequireFile("stop");
    d_->BumpSerial();
    d_->ended = false;
    d_->state = State::Stopped;
    d_->lastPosition = 0;
    if (!d_->prerolled) return;
    gst_element_set_state(d_->playbin.get(), GST_STATE_PAUSED);
    d_->SeekOrReport(0);
}

MediaEngine::State GstMediaEngine::state() const {
    return d_->state;
}

void GstMediaEngine::SetVolume(long hundredthsOfDb) {
    d_->volume = std::clamp(hundredthsOfDb, kMinVolume, kMaxVolume);
    g_object_set(d_->playbin.get(), "volume", VolumeToGain(d_->volume), nullptr);
}

long GstMediaEngine::Volume() const {
    return d_->volume;
}

void GstMediaEngine::SetMute(bool mute) {
    d_->mute = mute;
    g_object_set(d_->playbin.get(), "mute", mute ? TRUE : FALSE, nullptr);
}

bool GstMediaEngine::Mute() const {
    return d_->mute;
}

void GstMediaEngine::SetVideoWindow(QWidget* window) {
    d_->video->SetWindow(window);
}

bool GstMediaEngine::HasVideo() const {
    return d_->state != State::Closed && d_->hasVideo;
}

double GstMediaEngine::OutputGain() const {
    gdouble gain = 0;
    g_object_get(d_->playbin.get(), "volume", &gain, nullptr);
    return gain;
}

bool GstMediaEngine::OutputMuted() const {
    gboolean muted = FALSE;
    g_object_get(d_->playbin.get(), "mute", &muted, nullptr);
    return muted;
}

std::string GstMediaEngine::AudioSinkName() const {
    return FactoryName(d_->audioSink.get());
}

std::string GstMediaEngine::VideoSinkName() const {
    return FactoryName(d_->video->Sink());
}

}  // namespace controls
