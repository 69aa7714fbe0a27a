#!/usr/bin/env bash
# Builds Quorvex and starts it under Wine.
#
# With $DISPLAY set it opens there and this waits until it is closed. Without,
# it runs on a private Xvfb, saves screenshots of the main window and of the
# about window to build/screenshots/main.png and about.png and stops again.
#
# QUORVEX_DPI=144 (any resolution from 96 to 480) runs it on a screen of that
# resolution; the screenshots are then main-144dpi.png and about-144dpi.png.
set -euo pipefail
cd "$(dirname "$0")/.."
QV_PROG=run
. scripts/wine-env.sh

WINDOW_TIMEOUT=${QUORVEX_WINDOW_TIMEOUT:-60}
DPI=${QUORVEX_DPI:-96}
if ! [[ $DPI =~ ^[0-9]+$ ]] || [ "$DPI" -lt 96 ] || [ "$DPI" -gt 480 ]; then
  qv_err "QUORVEX_DPI must be a whole number from 96 to 480, not '$DPI'"
  exit 2
fi

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
  qv_server_start desktop "$DPI"
  rc=0
  (start_program) || rc=$?
  exit "$rc"
fi

# ---- headless: Xvfb, wait for each window, screenshot

qv_xvfb_start
qv_prefix_prepare
qv_server_start headless "$DPI"
# Xvfb starts with the pointer mid-screen, where it would hover over a window
# and raise a tooltip in the picture: put it in the corner. (On a new Xvfb the
# pointer only moves once Wine has connected to it.)
park_pointer() {
  local w h
  read -r w h < <(xdotool getdisplaygeometry 2>/dev/null) || return 0
  xdotool mousemove $((w - 1)) $((h - 1)) >/dev/null 2>&1 || true
}
park_pointer

log=$QV_ROOT/build/run-wine.log
(start_program) >"$log" 2>&1 </dev/null &
prog=$!
QV_BG_PIDS+=("$prog")

# Prints the id of the mapped top-level window titled exactly $1.
find_window() {
  local id
  for id in $(xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\":" 'index($0, " " t " ") { print $1 }'); do
    if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
      echo "$id"
      return 0
    fi
  done
  return 1
}

# wait_for_window TITLE : the window's id, once it shows; exits when it never does.
wait_for_window() {
  local deadline=$((SECONDS + WINDOW_TIMEOUT)) id rc
  while [ $SECONDS -lt $deadline ]; do
    if id=$(find_window "$1"); then echo "$id"; return 0; fi
    if ! kill -0 "$prog" 2>/dev/null; then
      rc=0; wait "$prog" || rc=$?
      qv_err "${exe#"$QV_ROOT"/} ended (exit code $rc) before its window \"$1\" appeared (log: $log)"
      exit 1
    fi
    sleep 0.2
  done
  qv_err "no window titled \"$1\" appeared within ${WINDOW_TIMEOUT} s (log: $log)"
  exit 1
}

geometry() {
  xwininfo -id "$1" | awk '
    /Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
    /Width:/ { w = $NF } /Height:/ { h = $NF }
    END { printf "%dx%d+%d+%d\n", w, h, x, y }'
}

shots=$QV_ROOT/build/screenshots
mkdir -p "$shots"
suffix=
[ -z "${QUORVEX_DPI:-}" ] || suffix=-${DPI}dpi

# shoot WINDOW-ID NAME : saves the window once it has painted, that is once two
# captures a moment apart are the same.
shoot() {
  local prev='' cur settled=''
  for _ in $(seq 40); do
    sleep 0.25
    cur=$(import -window root -crop "$(geometry "$1")" rgb:- 2>/dev/null | md5sum)
    if [ "$cur" = "$prev" ]; then settled=1; break; fi
    prev=$cur
  done
  [ -n "$settled" ] || qv_say "the $2 window kept changing for 10 s; taking the screenshot anyway"
  import -window root -crop "$(geometry "$1")" +repage "$shots/$2$suffix.png"
  qv_say "screenshot: $shots/$2$suffix.png"
}

shoot "$(wait_for_window Quorvex)" main
# Alt+A in the main window, whose input box has the focus, shows the about window over it.
xdotool key alt+a
shoot "$(wait_for_window "About Quorvex")" about
