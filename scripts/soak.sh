#!/usr/bin/env bash
# Builds the end-to-end build and runs the soak: the real program driven for a long while under
# Wine on a private X server, its object counts and memory printed along the way.
#
#   scripts/soak.sh [SCALE] [keys] [switches] [about]
#
# The arguments go to the soak program: "0.1" runs a tenth of everything, naming phases runs
# only those. Exits non-zero when the build fails or the program dies or stops answering.
set -euo pipefail
cd "$(dirname "$0")/.."
QV_PROG='soak'
. scripts/wine-env.sh

qv_headless_program ON tests/soak/quorvex_soak.exe

rc=0
"$WINELOADER" "$QV_PROGRAM" "$@" </dev/null || rc=$?
exit "$rc"
