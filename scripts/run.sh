#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts the player.
# Arguments are handed to the player (a media file to play).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}
if [ ! -x "$build/player/Kesto" ]; then
  echo "run: everything is built, but the player is not built yet."
  exit 0
fi
export KESTO_PROGRAM_DIR=${KESTO_PROGRAM_DIR:-$build/player}
exec "$build/player/Kesto" "$@"
