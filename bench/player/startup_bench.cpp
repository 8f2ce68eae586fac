// Start-up, memory and processor figures of the real player under an X server with a window
// manager, for one or more builds of it, measured in interleaved rounds:
//
//   launch_ms          exec until the first window of the process maps (a map watch on the
//                      windows' _NET_WM_PID), started without a file
//   launch_file_ms     the same, started with a file to play
//   rss_idle_mib       resident memory 3 s after that map, started without a file
//   rss_playing_mib    resident memory after 20 s playing a 60 s WAV to a clocked null sink
//   cpu_playing_pct    processor time of all its threads over those 20 s, in % of one core
//   second_exit_ms     a second start with a file: exec until it exits
//   second_shown_ms    a second start with a file: exec until the first instance has it open
//
//   tests/support/xvfb.sh start /tmp/x
//   tests/support/xvfb.sh run /tmp/x build/bench/player/startup_bench [--runs 5] [--data data]
//       [--launch-only [--with-file]] <Kesto> [<another Kesto> ...]
//
// --launch-only measures launch_ms alone (with --with-file: started with the 60 s file).
//
// Every build gets its own program folder (a copy of the data folder), registry and run-time
// folder, warmed by one start that is not counted. The process runs without `nice`.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// A mono 16-bit PCM WAV of `seconds` of a quiet tone.
void WriteWav(const fs::path& path, int seconds) {
    const uint32_t rate = 22050, samples = rate * seconds, bytes = samples * 2;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    std::vector<int16_t> data(samples);
    for (uint32_t i = 0; i < samples; ++i) data[i] = static_cast<int16_t>((i % 50) * 40 - 1000);
    out.write(reinterpret_cast<const char*>(data.data()), bytes);
}

// Watches the X server for windows that map, by the process id they carry.
class MapWatch {
public:
    MapWatch() {
        c_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(c_)) {
            std::fprintf(stderr, "startup_bench: no X display (set DISPLAY)\n");
            std::exit(2);
        }
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
        auto* r = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, 11, "_NET_WM_PID"), nullptr);
        pidAtom_ = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(r);
        xcb_flush(c_);
    }
    ~MapWatch() { xcb_disconnect(c_); }

    // Drops the events seen so far.
    void Drain() {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) std::free(e);
    }

    // Waits until a window of `pid` maps; false after `timeoutMs`.
    bool WaitForMap(pid_t pid, int timeoutMs) {
        auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        int fd = xcb_get_file_descriptor(c_);
        while (Clock::now() < deadline) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) {
                bool mapped = Handle(e, pid);
                std::free(e);
                if (mapped) return true;
            }
            fd_set set;
            FD_ZERO(&set);
            FD_SET(fd, &set);
            timeval tv{0, 2000};
            select(fd + 1, &set, nullptr, nullptr, &tv);
        }
        return false;
    }

private:
    pid_t PidOf(xcb_window_t w) {
        auto* r = xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, w, pidAtom_, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        pid_t pid = 0;
        if (r && xcb_get_property_value_length(r) == 4) {
            pid = static_cast<pid_t>(*static_cast<uint32_t*>(xcb_get_property_value(r)));
        }
        std::free(r);
        return pid;
    }

    bool Handle(xcb_generic_event_t* e, pid_t pid) {
        switch (e->response_type & 0x7f) {
            case XCB_CREATE_NOTIFY: {
                xcb_window_t w = reinterpret_cast<xcb_create_notify_event_t*>(e)->window;
                uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
                xcb_change_window_attributes(c_, w, XCB_CW_EVENT_MASK, &mask);
                // It may have mapped before the selection took effect.
                auto* a =
                    xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, w), nullptr);
                bool mapped = a && a->map_state != XCB_MAP_STATE_UNMAPPED;
                std::free(a);
                return mapped && PidOf(w) == pid;
            }
            case XCB_MAP_NOTIFY: {
                xcb_window_t w = reinterpret_cast<xcb_map_notify_event_t*>(e)->window;
                return PidOf(w) == pid;
            }
            default:
                return false;
        }
    }

    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = XCB_ATOM_NONE;
};

struct Build {
    std::string exe;
    fs::path home;  // program folder, registry and run-time folder of this build
    std::map<std::string, std::vector<double>> figures;
};

pid_t Spawn(const Build& b, const std::vector<std::string>& args) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string s = *e;
        for (const char* drop : {"KESTO_", "XDG_RUNTIME_DIR=", "QT_QPA_PLATFORM="}) {
            if (s.rfind(drop, 0) == 0) s.clear();
        }
        if (!s.empty()) env.push_back(s);
    }
    env.push_back("KESTO_PROGRAM_DIR=" + (b.home / "program").string());
    env.push_back("KESTO_REGISTRY=" + (b.home / "registry.reg").string());
    env.push_back("XDG_RUNTIME_DIR=" + (b.home / "run").string());
    env.push_back("KESTO_AUDIO_SINK=fakesink");
    env.push_back("KESTO_VIDEO_SINK=fakesink");
    env.push_back("QT_QPA_PLATFORM=xcb");
    std::vector<char*> envp, argv;
    for (auto& s : env) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> all{b.exe};
    all.insert(all.end(), args.begin(), args.end());
    for (auto& s : all) argv.push_back(s.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, b.exe.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
        std::perror("posix_spawn");
        std::exit(2);
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

double RssMiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

// The processor time of every thread of the process, in seconds (nanosecond resolution).
double CpuSeconds(pid_t pid) {
    double total = 0;
    std::string dir = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& task : fs::directory_iterator(dir)) {
        std::ifstream in(task.path() / "schedstat");
        double ns = 0;
        if (in >> ns) total += ns / 1e9;
    }
    return total;
}

bool HasOpen(pid_t pid, const fs::path& file) {
    std::string dir = "/proc/" + std::to_string(pid) + "/fd";
    DIR* d = opendir(dir.c_str());
    if (!d) return false;
    bool found = false;
    char target[4096];
    while (dirent* e = readdir(d)) {
        std::string link = dir + "/" + e->d_name;
        ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
        if (n > 0 && file == std::string(target, static_cast<size_t>(n))) {
            found = true;
            break;
        }
    }
    closedir(d);
    return found;
}

void Prepare(Build& b, const fs::path& data, int index) {
    b.home = fs::temp_directory_path() /
             ("kesto-startup-bench-" + std::to_string(getpid()) + "-" + std::to_string(index));
    fs::remove_all(b.home);
    fs::create_directories(b.home / "program");
    fs::create_directories(b.home / "run");
    fs::permissions(b.home / "run", fs::perms::owner_all);
    fs::copy(data, b.home / "program", fs::copy_options::recursive);
    fs::remove(b.home / "program" / "README.md");
    WriteWav(b.home / "long.wav", 60);
    WriteWav(b.home / "handed.wav", 5);
}

void Round(Build& b, MapWatch& watch, bool warmUp, bool launchOnly, bool withFile) {
    auto record = [&](const char* name, double v) {
        if (!warmUp) b.figures[name].push_back(v);
    };
    // Idle: started without a file.
    watch.Drain();
    auto t0 = Clock::now();
    pid_t first = withFile ? Spawn(b, {(b.home / "long.wav").string()}) : Spawn(b, {});
    if (!watch.WaitForMap(first, 20000)) {
        std::fprintf(stderr, "startup_bench: %s mapped no window\n", b.exe.c_str());
        Stop(first);
        return;
    }
    record("launch_ms", Ms(t0, Clock::now()));
    if (launchOnly) {
        Stop(first);
        return;
    }
    std::this_thread::sleep_for(std::chrono::seconds(3));
    record("rss_idle_mib", RssMiB(first));
    Stop(first);

    // Playing: started with a 60 s file, every timer of the playing player running.
    watch.Drain();
    auto f0 = Clock::now();
    first = Spawn(b, {(b.home / "long.wav").string()});
    if (watch.WaitForMap(first, 20000)) record("launch_file_ms", Ms(f0, Clock::now()));
    double cpu0 = CpuSeconds(first);
    auto p0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(warmUp ? 2 : 20));
    double cpu = CpuSeconds(first) - cpu0;
    double wall = std::chrono::duration<double>(Clock::now() - p0).count();
    record("rss_playing_mib", RssMiB(first));
    record("cpu_playing_pct", 100.0 * cpu / wall);

    // A second start hands its file to the playing player.
    fs::path handed = b.home / "handed.wav";
    auto s0 = Clock::now();
    pid_t second = Spawn(b, {handed.string()});
    std::optional<double> exited, shown;
    while ((!exited || !shown) && Ms(s0, Clock::now()) < 15000) {
        if (!exited && waitpid(second, nullptr, WNOHANG) == second) exited = Ms(s0, Clock::now());
        if (!shown && HasOpen(first, handed)) shown = Ms(s0, Clock::now());
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    if (!exited) Stop(second);
    if (exited) record("second_exit_ms", *exited);
    if (shown) record("second_shown_ms", *shown);
    Stop(first);
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    bool launchOnly = false, withFile = false;
    fs::path data = KESTO_DATA_DIR;
    std::vector<Build> builds;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
        } else if (a == "--launch-only") {
            launchOnly = true;
        } else if (a == "--with-file") {
            withFile = true;
        } else if (a == "--data" && i + 1 < argc) {
            data = argv[++i];
        } else {
            builds.push_back(Build{fs::absolute(a).string(), {}, {}});
        }
    }
    if (builds.empty()) builds.push_back(Build{KESTO_EXE, {}, {}});
    MapWatch watch;
    for (size_t i = 0; i < builds.size(); ++i) {
        Prepare(builds[i], data, static_cast<int>(i));
        Round(builds[i], watch, true, launchOnly, withFile);
    }
    std::printf("load before: %s\n", LoadAverage().c_str());
    for (int r = 0; r < runs; ++r) {
        // Interleaved, and every other round in the opposite order.
        for (size_t k = 0; k < builds.size(); ++k) {
            size_t i = r % 2 ? builds.size() - 1 - k : k;
            Round(builds[i], watch, false, launchOnly, withFile);
        }
        std::fprintf(stderr, "round %d of %d done (load %s)\n", r + 1, runs, LoadAverage().c_str());
    }
    std::printf("load after: %s\n", LoadAverage().c_str());
    for (const Build& b : builds) {
        std::printf("%s\n", b.exe.c_str());
        for (const auto& [name, values] : b.figures) {
            std::printf("  %-16s median %8.2f   runs:", name.c_str(), Median(values));
            for (double v : values) std::printf(" %.2f", v);
            std::printf("\n");
        }
        fs::remove_all(b.home);
    }
    return 0;
}
