#!/usr/bin/env bash
# Configures and builds the project into build/ (or $BUILD_DIR).
# BUILD_TYPE may be Release, Debug, RelWithDebInfo, Asan (address + undefined) or Tsan (thread).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
type=${BUILD_TYPE:-RelWithDebInfo}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$type" >/dev/null
cmake --build "$build" -j "${JOBS:-$(nproc)}"
