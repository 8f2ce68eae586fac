// The registry store: reading (and parsing) a large store, and a call on a store that has not
// changed since it was read.
//
//   build/bench/platform/registry_bench
// Target: a store of 100,000 keys read in under 200 ms.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <string>

#include "platform/registry/registry.h"
#include "tests/support/test_support.h"

namespace {

// A store of `keys` keys under HKEY_CURRENT_USER\Software\Bench, each with one text value of
// `valueBytes` characters.
std::string StoreText(int keys, int valueBytes) {
    std::string text;
    std::string value(static_cast<size_t>(valueBytes), 'x');
    for (int i = 0; i < keys; ++i) {
        text += "[HKEY_CURRENT_USER\\Software\\Bench\\K" + std::to_string(i) + "]\n";
        text += "\"Value\"=sz:\"" + value + "\"\n\n";
    }
    return text;
}

bool ReadOne(int key) {
    HKEY h;
    std::string path = "Software\\Bench\\K" + std::to_string(key);
    if (RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), &h) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    bool ok = RegQueryValueExA(h, "Value", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
    RegCloseKey(h);
    return ok;
}

// Every iteration reads a store this process has not read yet: two copies are used in turn.
void ReadStore(benchmark::State& state, int keys, int valueBytes) {
    testing_support::TempDir dir;
    std::string text = StoreText(keys, valueBytes);
    testing_support::WriteFile(dir / "a.reg", text);
    testing_support::WriteFile(dir / "b.reg", text);
    bool second = false;
    for (auto _ : state) {
        ::setenv("KESTO_REGISTRY", (dir / (second ? "b.reg" : "a.reg")).c_str(), 1);
        second = !second;
        if (!ReadOne(keys - 1)) state.SkipWithError("the store cannot be read");
    }
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}

void BM_Read100000Keys(benchmark::State& state) {
    ReadStore(state, 100000, 8);
}
BENCHMARK(BM_Read100000Keys)->Unit(benchmark::kMillisecond)->Iterations(6);

void BM_Read50MegabyteStore(benchmark::State& state) {
    ReadStore(state, 100000, 480);
}
BENCHMARK(BM_Read50MegabyteStore)->Unit(benchmark::kMillisecond)->Iterations(4);

void BM_CallOnAnUnchangedStore(benchmark::State& state) {
    testing_support::TempDir dir;
    testing_support::WriteFile(dir / "a.reg", StoreText(100000, 8));
    ::setenv("KESTO_REGISTRY", (dir / "a.reg").c_str(), 1);
    ReadOne(0);
    int key = 0;
    for (auto _ : state) {
        if (!ReadOne(key)) state.SkipWithError("the store cannot be read");
        key = (key + 7919) % 100000;
    }
}
BENCHMARK(BM_CallOnAnUnchangedStore)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
