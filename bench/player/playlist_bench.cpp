// Loading a saved list of the longest playlist, 32,767 entries, into the empty playlist: the
// double-click in the saved-lists panel, from reading the file to the last title in the list.
// Target: under 100 ms.
//
//   build/bench/player/playlist_bench
#include <benchmark/benchmark.h>

#include <string>

#include "player/Form2.h"
#include "tests/support/test_support.h"

namespace {

void BM_LoadSavedList(benchmark::State& state) {
    testing_support::TempDir program;
    qputenv("KESTO_PROGRAM_DIR", QByteArray::fromStdString(program.path()));
    std::string bytes;
    for (int i = 0; i < 32767; ++i) {
        bytes += "/home/user/Music/Some Artist/Album " + std::to_string(i / 12) + "/" +
                 std::to_string(i % 12 + 1) + " Track title.mp3\r\n";
    }
    testing_support::WriteFile(program / "long.kesto", bytes);
    auto& playlist = *Form2;
    playlist.list3.SetPath(program.path());
    playlist.list3.SetListIndex(0);
    for (auto _ : state) {
        state.PauseTiming();
        playlist.Command6_Click();
        state.ResumeTiming();
        playlist.list3_DblClick();
        benchmark::DoNotOptimize(playlist.List1.ListCount());
    }
    if (playlist.List1.ListCount() != 32767) state.SkipWithError("the list did not load whole");
    vb::Unload(playlist);
}
BENCHMARK(BM_LoadSavedList)->Unit(benchmark::kMillisecond);

}  // namespace
