#include "tests/platform/controls/media/media_fixtures.h"

#include <gst/gst.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <cmath>
#include <cstdint>
#include <thread>

namespace media_fixtures {

namespace {

void PutLE(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

void PutBE(std::string& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

// A MIDI variable-length quantity.
void PutVarLen(std::string& out, std::uint32_t value) {
    std::string bytes(1, static_cast<char>(value & 0x7f));
    while (value >>= 7) bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7f)));
    out += bytes;
}

}  // namespace

std::string WavBytes(double seconds, int sampleRate) {
    const auto samples = static_cast<std::uint32_t>(std::lround(seconds * sampleRate));
    const std::uint32_t dataBytes = samples * 2;
    std::string out = "RIFF";
    PutLE(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    PutLE(out, 16, 4);              // fmt chunk size
    PutLE(out, 1, 2);               // PCM
    PutLE(out, 1, 2);               // mono
    PutLE(out, sampleRate, 4);      // samples per second
    PutLE(out, sampleRate * 2, 4);  // bytes per second
    PutLE(out, 2, 2);               // block align
    PutLE(out, 16, 2);              // bits per sample
    out += "data";
    PutLE(out, dataBytes, 4);
    for (std::uint32_t i = 0; i < samples; ++i) {
        const double v = 8000.0 * std::sin(2 * M_PI * 440.0 * i / sampleRate);
        PutLE(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v))), 2);
    }
    return out;
}

std::string MidiBytes(double seconds) {
    constexpr int kTicksPerQuarter = 96;  // at 120 beats a minute: 192 ticks a second
    std::string track;
    PutVarLen(track, 0);
    track += std::string("\xff\x51\x03\x07\xa1\x20", 6);  // tempo: 500000 us a quarter
    PutVarLen(track, 0);
    track += std::string("\xc0\x00", 2);  // program: acoustic grand piano
    PutVarLen(track, 0);
    track += std::string("\x90\x3c\x64", 3);  // note on, middle C
    PutVarLen(track, static_cast<std::uint32_t>(std::lround(seconds * 2 * kTicksPerQuarter)));
    track += std::string("\x80\x3c\x40", 3);  // note off
    PutVarLen(track, 0);
    track += std::string("\xff\x2f\x00", 3);  // end of track
    std::string out = "MThd";
    PutBE(out, 6, 4);
    PutBE(out, 0, 2);  // format 0
    PutBE(out, 1, 2);  // one track
    PutBE(out, kTicksPerQuarter, 2);
    out += "MTrk";
    PutBE(out, static_cast<std::uint32_t>(track.size()), 4);
    return out + track;
}

std::string RunPipeline(const std::string& description, bool* missingElement, int timeoutMs) {
    gst_init(nullptr, nullptr);
    if (missingElement) *missingElement = false;
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (error) {
        std::string why = error->message;
        if (missingElement) {
            *missingElement =
                g_error_matches(error, GST_PARSE_ERROR, GST_PARSE_ERROR_NO_SUCH_ELEMENT);
        }
        g_clear_error(&error);
        if (pipeline) gst_object_unref(pipeline);
        return why;
    }
    std::string result;
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        result = "the pipeline did not start";
    }
    GstBus* bus = gst_element_get_bus(pipeline);
    if (result.empty()) {
        GstMessage* message = gst_bus_timed_pop_filtered(
            bus, static_cast<GstClockTime>(timeoutMs) * GST_MSECOND,
            static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        if (!message) {
            result = "timed out";
        } else {
            if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
                gst_message_parse_error(message, &error, nullptr);
                result = error->message;
                g_clear_error(&error);
            }
            gst_message_unref(message);
        }
    }
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return result;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() >= timeoutMs) return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void Pump(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

}  // namespace media_fixtures
