#!/usr/bin/env bash
# Configures and builds the project into ${MZPY_BUILD_DIR:-build}.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${MZPY_BUILD_DIR:-build}"
GEN=()
command -v ninja >/dev/null 2>&1 && GEN=(-G Ninja)
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" "${GEN[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$BUILD_DIR" -j"$(nproc)"
