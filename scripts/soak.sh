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

bash scripts/setup.sh
qv_choose_arch
if ! qv_build_windows ON; then
  qv_err "the $QV_FAILED_BUILD failed"
  exit 1
fi
soak=$QV_ROOT/$QV_E2E_BUILD/tests/soak/quorvex_soak.exe
[ -f "$soak" ] || { qv_err "the build made no $soak"; exit 1; }

WINEPREFIX=$QV_ROOT/build/wineprefix-$QUORVEX_WINE_ARCH
qv_wine_use "$QUORVEX_WINE_ARCH"
qv_install_cleanup
qv_xvfb_start
qv_prefix_prepare
qv_server_start headless

rc=0
"$WINELOADER" "$soak" "$@" </dev/null || rc=$?
exit "$rc"
