// Time from opening a local file to a known duration: the preroll the player waits for each time
// it writes a file name. Run: build/bench/media/media_open_bench
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <memory>
#include <string>

#include "platform/controls/GstMediaEngine.h"
#include "tests/platform/controls/media/media_fixtures.h"
#include "tests/support/test_support.h"

namespace {

// 30-second files, made once.
const std::string& MediaFile(const std::string& extension) {
    static testing_support::TempDir dir;
    static const std::string wav = [] {
        const std::string path = dir / "tone.wav";
        testing_support::WriteFile(path, media_fixtures::WavBytes(30.0, 44100));
        return path;
    }();
    static const std::string mp3 = [] {
        const std::string path = dir / "tone.mp3";
        const std::string problem = media_fixtures::RunPipeline(
            "audiotestsrc num-buffers=300 samplesperbuffer=4410 ! "
            "audio/x-raw,rate=44100,channels=2 ! audioconvert ! lamemp3enc ! "
            "filesink location=" +
            path);
        return problem.empty() ? path : std::string();
    }();
    return extension == "wav" ? wav : mp3;
}

void Measure(benchmark::State& state, const std::string& path, bool freshEngine) {
    if (path.empty()) {
        state.SkipWithError("the file could not be made");
        return;
    }
    auto engine = std::make_unique<controls::GstMediaEngine>();
    for (auto _ : state) {
        if (freshEngine) {
            state.PauseTiming();
            engine = std::make_unique<controls::GstMediaEngine>();
            state.ResumeTiming();
        }
        engine->Open(path);
        const double duration = engine->Duration();
        benchmark::DoNotOptimize(duration);
        if (duration <= 0) {
            state.SkipWithError("no duration");
            break;
        }
    }
    state.SetLabel(engine->AudioSinkName());
}

// One engine, as the player has: each Open stops the previous file.
void BM_OpenToDuration(benchmark::State& state, const char* extension, const char* sink) {
    testing_support::ScopedEnv audio("KESTO_AUDIO_SINK",
                                     sink ? std::optional<std::string>(sink) : std::nullopt);
    Measure(state, MediaFile(extension), false);
}

// The first file of a new engine (its sinks start with it).
void BM_FirstOpenToDuration(benchmark::State& state, const char* extension) {
    testing_support::ScopedEnv audio("KESTO_AUDIO_SINK", std::nullopt);
    Measure(state, MediaFile(extension), true);
}

BENCHMARK_CAPTURE(BM_OpenToDuration, wav_null_sink, "wav", "fakesink")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenToDuration, mp3_null_sink, "mp3", "fakesink")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenToDuration, wav_default_sink, "wav", nullptr)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenToDuration, mp3_default_sink, "mp3", nullptr)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstOpenToDuration, wav, "wav")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstOpenToDuration, mp3, "mp3")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
