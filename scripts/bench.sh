#!/usr/bin/env bash
# Builds the keystroke benchmark and runs it under Wine on a private X server: the main window's own
# code, timed in-process on generated catalogues, beside the floor of a bare list fill and scan.
#
#   bash scripts/bench.sh [ENTRIES] [REPETITIONS]      (32767 and 50 unless told)
set -euo pipefail
cd "$(dirname "$0")/.."
QV_PROG='bench'
. scripts/wine-env.sh

bash scripts/setup.sh
qv_choose_arch
if ! qv_build_windows OFF; then
  qv_err "the $QV_FAILED_BUILD failed"
  exit 1
fi
bench=$QV_ROOT/$QV_E2E_BUILD/bench/quorvex_bench.exe
[ -f "$bench" ] || { qv_err "the build made no $bench"; exit 1; }
# It writes its catalogues beside itself: give it a folder of its own.
run=$QV_ROOT/build/bench
mkdir -p "$run"
cp "$bench" "$run/"

WINEPREFIX=$QV_ROOT/build/wineprefix-$QUORVEX_WINE_ARCH
qv_wine_use "$QUORVEX_WINE_ARCH"
qv_install_cleanup
qv_xvfb_start
qv_prefix_prepare
qv_server_start headless

qv_say "$(nproc) cores, $(uname -m), Wine $("$WINELOADER" --version 2>/dev/null), $QUORVEX_WINE_ARCH build, load $(cut -d' ' -f1-3 /proc/loadavg)"
rc=0
(cd "$run" && "$WINELOADER" ./quorvex_bench.exe "$@" </dev/null) || rc=$?
exit "$rc"
