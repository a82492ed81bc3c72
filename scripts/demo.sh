#!/usr/bin/env bash
# Starts the demo: installs what is missing, builds the host shell with the
# module, and runs the shell on a demo hospital in ./demo (database, host
# configuration and host folder are created on first start).
#
#   scripts/demo.sh                      the shell on screen (Xvfb when there is no display)
#   scripts/demo.sh --action ACT_PY_MZPYXT --screenshot demo/shot.png --quit
#
# Every argument goes to the shell (see `shell --help`). MZPY_BUILD_DIR
# chooses the build folder (default: build/ in the repository).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${MZPY_BUILD_DIR:-$ROOT/build}"
DEMO="$PWD/demo"

bash "$ROOT/scripts/install-deps.sh"

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  GEN=()
  command -v ninja >/dev/null 2>&1 && GEN=(-G Ninja)
  cmake -S "$ROOT" -B "$BUILD" "${GEN[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$BUILD" --target shell -j"$(nproc)"

BIN="$BUILD/bin"
HOST="$DEMO/host"
mkdir -p "$HOST"
# The module loads the outside parties' libraries from the host folder.
for lib in "$BIN"/*.so "$BIN"/*.so.*; do
  [ -e "$lib" ] || continue
  ln -sf "$lib" "$HOST/$(basename "$lib")"
done

ARGS=(--db "$DEMO/hospital.db" --config "$DEMO/shell.ini" --host-dir "$HOST" "$@")

quit=0
for a in "$@"; do
  [ "$a" = "--quit" ] && quit=1
done

if [ "$quit" = 1 ]; then
  QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" exec "$BIN/shell" "${ARGS[@]}"
elif [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "demo: no display, running the shell under Xvfb (pass --screenshot FILE --quit to see it)"
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$BIN/shell" "${ARGS[@]}"
else
  exec "$BIN/shell" "${ARGS[@]}"
fi
