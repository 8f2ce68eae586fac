// Media made by the tests themselves, and waiting with the event loop running.
#pragma once

#include <functional>
#include <string>

namespace media_fixtures {

// A PCM WAV file (16-bit, mono) holding a 440 Hz tone.
std::string WavBytes(double seconds, int sampleRate = 8000);

// A standard MIDI file (format 0) with one piano note held for about `seconds`.
std::string MidiBytes(double seconds);

// Runs a gst-launch style pipeline (ending in a filesink) to its end. Returns "" when it ran,
// else why not. *missingElement is set when the pipeline names an element this machine lacks.
std::string RunPipeline(const std::string& description, bool* missingElement = nullptr,
                        int timeoutMs = 20000);

// Processes Qt events until `done` returns true or `timeoutMs` have passed; returns done().
bool WaitFor(const std::function<bool()>& done, int timeoutMs);

// Processes Qt events for `ms` milliseconds.
void Pump(int ms);

}  // namespace media_fixtures
