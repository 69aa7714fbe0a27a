#!/usr/bin/env bash
# Builds Quorvex and starts it under Wine.
#
# With $DISPLAY set it opens there and this waits until it is closed. Without,
# it runs on a private Xvfb, saves a screenshot of the main window to
# build/screenshots/main.png and stops again.
set -euo pipefail
cd "$(dirname "$0")/.."
QV_PROG=run
. scripts/wine-env.sh

TITLE=Quorvex
WINDOW_TIMEOUT=${QUORVEX_WINDOW_TIMEOUT:-60}

bash scripts/setup.sh
qv_choose_arch

# The product is always the i686 build; where 32-bit Wine cannot run, the
# x86_64 build of the same sources is what gets shown.
qv_build_windows OFF
exe=$(qv_product_exe "$QV_E2E_BUILD")

WINEPREFIX=$QV_ROOT/build/wineprefix-$QUORVEX_WINE_ARCH
qv_wine_use "$QUORVEX_WINE_ARCH"
qv_install_cleanup

# Runs the exe from its own folder, as someone double-clicking it would.
start_program() {
  cd "${exe%/*}" && exec "$QV_ROOT/scripts/wine-exec" "./${exe##*/}"
}

if [ -n "${DISPLAY:-}" ]; then
  qv_prefix_prepare
  qv_server_start desktop
  rc=0
  (start_program) || rc=$?
  exit "$rc"
fi

# ---- headless: Xvfb, wait for the window, screenshot

qv_xvfb_start
qv_prefix_prepare
qv_server_start headless
# Xvfb starts with the pointer mid-screen, where it would hover over the
# window and raise a tooltip in the picture. (On a new Xvfb the pointer only
# moves once Wine has connected to it.)
xdotool mousemove 1023 767 >/dev/null 2>&1 || true

log=$QV_ROOT/build/run-wine.log
(start_program) >"$log" 2>&1 </dev/null &
prog=$!
QV_BG_PIDS+=("$prog")

# Prints the id of the mapped top-level window titled exactly $TITLE.
find_window() {
  local id
  for id in $(xwininfo -root -tree 2>/dev/null | awk -v t="\"$TITLE\":" 'index($0, " " t " ") { print $1 }'); do
    if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
      echo "$id"
      return 0
    fi
  done
  return 1
}

win=
deadline=$((SECONDS + WINDOW_TIMEOUT))
while [ $SECONDS -lt $deadline ]; do
  if win=$(find_window); then break; fi
  if ! kill -0 "$prog" 2>/dev/null; then
    rc=0; wait "$prog" || rc=$?
    qv_err "${exe#"$QV_ROOT"/} ended (exit code $rc) before its window appeared (log: $log)"
    exit 1
  fi
  sleep 0.2
done
if [ -z "$win" ]; then
  qv_err "no window titled \"$TITLE\" appeared within ${WINDOW_TIMEOUT} s (log: $log)"
  exit 1
fi

geometry() {
  xwininfo -id "$win" | awk '
    /Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
    /Width:/ { w = $NF } /Height:/ { h = $NF }
    END { printf "%dx%d+%d+%d\n", w, h, x, y }'
}

# It has painted once two captures a moment apart are the same.
prev='' settled=''
for _ in $(seq 40); do
  sleep 0.25
  cur=$(import -window root -crop "$(geometry)" rgb:- 2>/dev/null | md5sum)
  if [ "$cur" = "$prev" ]; then settled=1; break; fi
  prev=$cur
done
[ -n "$settled" ] || qv_say "the window kept changing for 10 s; taking the screenshot anyway"

shots=$QV_ROOT/build/screenshots
mkdir -p "$shots"
import -window root -crop "$(geometry)" +repage "$shots/main.png"
qv_say "screenshot: $shots/main.png"
