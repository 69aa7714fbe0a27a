#!/usr/bin/env bash
# Builds the keystroke benchmark and runs it under Wine on a private X server: the main window's own
# code, timed in-process on a generated catalogue and on the shipped one, beside the floor of a
# bare list fill and scan; then the time the program takes to draw its pictures at each display
# scale other than 96 dpi.
#
#   bash scripts/bench.sh [ENTRIES] [REPETITIONS]      (32767 and 50 unless told)
set -euo pipefail
cd "$(dirname "$0")/.."
QV_PROG='bench'
. scripts/wine-env.sh

qv_headless_program OFF bench/quorvex_bench.exe
# It writes its catalogues beside itself: give it a folder of its own.
run=$QV_ROOT/build/bench
mkdir -p "$run"
cp "$QV_PROGRAM" "$run/"
# The typical keystrokes run on the shipped catalogues that the build generated.
rm -f "$run/shipped.orv" "$run/shipped2.orv"
for name in errmsg errmsg2; do
  shipped=$QV_ROOT/$QV_E2E_BUILD/src/$name.orv
  if [ -s "$shipped" ]; then
    cp "$shipped" "$run/shipped${name#errmsg}.orv"
  else
    qv_say "no shipped catalogue at $shipped"
  fi
done

qv_say "$(nproc) cores, $(uname -m), Wine $("$WINELOADER" --version 2>/dev/null), $QUORVEX_WINE_ARCH build, load $(cut -d' ' -f1-3 /proc/loadavg)"
rc=0
(cd "$run" && "$WINELOADER" ./quorvex_bench.exe "$@" </dev/null) || rc=$?
echo
"$WINELOADER" "$QV_ROOT/$QV_E2E_BUILD/bench/quorvex_art_bench.exe" </dev/null || rc=$?
exit "$rc"
