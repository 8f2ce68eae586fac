#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts the player on its program folder
# build/player (the folder of the executable), which the first run fills with the bundled data
# files of data/ (skins, cursors, sounds, the demo track). Without an argument the player starts
# with the demo track; an argument is the media file to play.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}
program=$build/player
for exe in Kesto kesto-player; do
  if [ ! -x "$program/$exe" ]; then
    echo "run: the build did not make $program/$exe" >&2
    exit 1
  fi
done
# The data files are copied once: from then on the folder is the player's own (it renames skin
# pictures and writes its settings and playlists there). Remove the marker to copy them again.
if [ -d "$root/data" ] && [ ! -e "$program/.data-copied" ]; then
  cp -R "$root/data/." "$program/"
  rm -f "$program/README.md"
  touch "$program/.data-copied"
fi
unset KESTO_PROGRAM_DIR
if [ $# -eq 0 ] && [ -f "$program/demo/Kesto Demo.wav" ]; then
  set -- "$program/demo/Kesto Demo.wav"
fi
exec "$program/Kesto" "$@"
