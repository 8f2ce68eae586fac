// The wave sounds of sndPlaySoundA, played by GStreamer inside the GStreamer module.
#include <gst/gst.h>

#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <cstdlib>
#include <string>

#include "platform/controls/GstMediaEngine.h"
#include "platform/controls/GstOutput.h"

namespace controls {

namespace {

GstElement* MakePipeline(const std::string& path) {
    try {
        InitGstOnce();
    } catch (const MediaError&) {
        return nullptr;
    }
    GError* error = nullptr;
    gchar* uri = gst_filename_to_uri(path.c_str(), &error);
    if (!uri) {
        if (error) g_error_free(error);
        return nullptr;
    }
    GstElement* play = gst_element_factory_make("playbin", nullptr);
    if (!play) {
        g_free(uri);
        return nullptr;
    }
    g_object_set(play, "uri", uri, nullptr);
    g_free(uri);
    // No video; the audio output named for tests, or the system's.
    if (GstElement* fake = gst_element_factory_make("fakesink", nullptr)) {
        g_object_set(play, "video-sink", fake, nullptr);
    }
    const char* sinkName = std::getenv("KESTO_AUDIO_SINK");
    if (sinkName && *sinkName) {
        if (GstElement* sink = gst_element_factory_make(sinkName, nullptr)) {
            g_object_set(play, "audio-sink", sink, nullptr);
        }
    }
    return play;
}

// Waits for the end or an error; true for a clean end.
bool WaitForEnd(GstElement* play, GstClockTime timeout) {
    GstBus* bus = gst_element_get_bus(play);
    GstMessage* msg = gst_bus_timed_pop_filtered(
        bus, timeout, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
    if (msg) gst_message_unref(msg);
    gst_object_unref(bus);
    return ok;
}

void Dispose(GstElement* play) {
    gst_element_set_state(play, GST_STATE_NULL);
    gst_object_unref(play);
}

// A sound that plays on after the call: polls its pipeline and releases it at its end. One sound
// plays at a time: a new one stops it.
class PlayingSound : public QObject {
public:
    explicit PlayingSound(GstElement* play) : QObject(QCoreApplication::instance()), play_(play) {
        current = this;
        QObject::connect(&poll_, &QTimer::timeout, this, [this] {
            GstBus* bus = gst_element_get_bus(play_);
            GstMessage* msg = gst_bus_pop_filtered(
                bus, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
            gst_object_unref(bus);
            if (!msg) return;
            gst_message_unref(msg);
            poll_.stop();
            deleteLater();
        });
        poll_.start(50);
    }
    ~PlayingSound() override {
        if (current == this) current = nullptr;
        Dispose(play_);
    }
    static void StopCurrent() { delete current; }

private:
    static inline PlayingSound* current = nullptr;
    GstElement* play_;
    QTimer poll_;
};

}  // namespace

bool PlayGstSound(const char* path, bool async) {
    PlayingSound::StopCurrent();
    GstElement* play = MakePipeline(path ? path : "");
    if (!play) return false;
    // The file must be a sound: a file that cannot be decoded fails here, before the call returns,
    // so that the default sound can take its place.
    gst_element_set_state(play, GST_STATE_PAUSED);
    if (gst_element_get_state(play, nullptr, nullptr, 5 * GST_SECOND) == GST_STATE_CHANGE_FAILURE ||
        gst_element_set_state(play, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        Dispose(play);
        return false;
    }
    if (!async) {
        bool ok = WaitForEnd(play, 60 * GST_SECOND);
        Dispose(play);
        return ok;
    }
    // The sound plays on; the pipeline is released when it ends or fails, or with the program.
    new PlayingSound(play);
    return true;
}

}  // namespace controls
