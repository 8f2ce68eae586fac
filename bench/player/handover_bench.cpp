// The hand-over of a second start: from starting the second process with a file to that file
// playing in the first instance; the first instance's processor use while a file plays with
// every position timer running; and a burst of starts with no player running, every one with a
// file of its own (counter "kept": how many of the files reached the one player's playlist).
//
//   build/bench/player/handover_bench
//   build/bench/player/handover_bench --benchmark_filter=Burst
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "tests/support/media_files.h"
#include "tests/support/running_player.h"
#include "tests/support/test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Player {
    testing_support::TempDir folder;
    QProcess first;

    Player() {
        qputenv("KESTO_PROGRAM_DIR", QByteArray::fromStdString(folder.path()));
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder.path()));
        qputenv("KESTO_REGISTRY", QByteArray::fromStdString(folder / "registry.reg"));
        qputenv("KESTO_AUDIO_SINK", "fakesink");
        qputenv("KESTO_VIDEO_SINK", "fakesink");
        qputenv("QT_QPA_PLATFORM", "offscreen");
        std::string start = Wav("start.dat", 600);
        first.start(KESTO_EXE, {QString::fromStdString(start)});
        first.waitForStarted();
        while (!testing_support::MailboxUp()) QThread::msleep(5);
    }
    ~Player() {
        first.kill();
        first.waitForFinished();
    }
    std::string Wav(const std::string& name, double seconds) {
        std::string path = folder / name;
        testing_support::WriteFile(path, testing_support::Wav(seconds));
        return path;
    }
    double CpuSeconds() {
        std::ifstream stat("/proc/" + std::to_string(first.processId()) + "/stat");
        std::string line;
        std::getline(stat, line);
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        std::string skip;
        for (int i = 0; i < 11; ++i) fields >> skip;
        double user = 0, system = 0;
        fields >> user >> system;
        return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
};

Player& player() {
    static Player p;
    return p;
}

void BM_SecondStartUntilPlaying(benchmark::State& state) {
    Player& p = player();
    int n = 0;
    for (auto _ : state) {
        std::string name = "handed" + std::to_string(n++) + ".wav";
        std::string file = p.Wav(name, 5);
        auto begin = Clock::now();
        QProcess second;
        second.start(KESTO_EXE, {QString::fromStdString(file)});
        while (!testing_support::PlayerShowing(name)) QThread::usleep(500);
        auto end = Clock::now();
        second.waitForFinished();
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    }
}
BENCHMARK(BM_SecondStartUntilPlaying)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

void BM_ProcessorUseWhilePlaying(benchmark::State& state) {
    Player& p = player();
    for (auto _ : state) {
        double cpu0 = p.CpuSeconds();
        auto t0 = Clock::now();
        QThread::sleep(5);
        double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        state.counters["cpu_percent"] = 100.0 * (p.CpuSeconds() - cpu0) / seconds;
    }
}
BENCHMARK(BM_ProcessorUseWhilePlaying)->Iterations(1)->Unit(benchmark::kSecond);

// `starts` processes started at once with no player running; each gets its own file. Counts the
// files the player that comes up keeps and the starts that ended with a failure.
void BM_BurstOfStarts(benchmark::State& state) {
    const int starts = static_cast<int>(state.range(0));
    for (auto _ : state) {
        testing_support::TempDir folder;
        qputenv("KESTO_PROGRAM_DIR", QByteArray::fromStdString(folder.path()));
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder.path()));
        qputenv("KESTO_REGISTRY", QByteArray::fromStdString(folder / "registry.reg"));
        qputenv("KESTO_AUDIO_SINK", "fakesink");
        qputenv("KESTO_VIDEO_SINK", "fakesink");
        std::string wav = testing_support::Wav(0.5);
        std::vector<std::unique_ptr<QProcess>> processes;
        auto begin = Clock::now();
        for (int i = 0; i < starts; ++i) {
            std::string file = folder / ("burst" + std::to_string(i) + ".wav");
            testing_support::WriteFile(file, wav);
            processes.push_back(std::make_unique<QProcess>());
            processes.back()->setProcessChannelMode(QProcess::ForwardedChannels);
            processes.back()->start(KESTO_EXE, {QString::fromStdString(file)});
        }
        for (auto& p : processes) p->waitForStarted(30000);
        // Every start but the one that became the player ends.
        auto running = [&] {
            return std::count_if(processes.begin(), processes.end(),
                                 [](const auto& p) { return p->state() != QProcess::NotRunning; });
        };
        for (auto until = Clock::now() + std::chrono::minutes(5);
             running() > 1 && Clock::now() < until;) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(20);
        }
        int failed = 0;
        for (auto& p : processes) {
            bool ended = p->state() == QProcess::NotRunning;
            failed += ended && (p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0);
        }
        state.counters["waiting"] = static_cast<double>(running() - 1);
        // The playlist takes what arrived at its next poll.
        size_t kept = 0;
        for (auto until = Clock::now() + std::chrono::seconds(5); Clock::now() < until;) {
            kept = testing_support::PlaylistTitles().size();
            if (kept == static_cast<size_t>(starts)) break;
            QThread::msleep(50);
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - begin).count());
        state.counters["kept"] = static_cast<double>(kept);
        state.counters["failed"] = failed;
        for (auto& p : processes) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished();
            }
        }
    }
}
BENCHMARK(BM_BurstOfStarts)->Arg(200)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
