#!/usr/bin/env bash
# Fails when a C++ source of the repository does not match its .clang-format.
# Fix with: git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
command -v clang-format >/dev/null || { echo "check-format: clang-format is not installed" >&2; exit 1; }
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run -Werror "${sources[@]}"; then
  echo "check-format: the files above do not match .clang-format" >&2
  exit 1
fi
