# shellcheck shell=bash
# Wine, Xvfb and build helpers shared by run.sh, test.sh and wine-exec.
# Source it; it only defines functions and a few variables.
#
# The product is a 32-bit exe. Its 32-bit Wine loader needs a kernel that runs
# i386 code; where that is off, the same sources are built for x86_64 and run
# under wine64 instead, so that the program can still be exercised for real.

QV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QV_WINE_DIR=/usr/lib/wine
QV_PROG=${QV_PROG:-$(basename "$0" .sh)}

qv_say() { echo "$QV_PROG: $*"; }
qv_err() { echo "$QV_PROG: $*" >&2; }

# ---------------------------------------------------------------- building

# qv_build DIR CMAKE-ARGS... : configure and build quietly; show the log on failure.
qv_build() {
  local dir=$QV_ROOT/$1; shift
  mkdir -p "$dir"
  local log=$dir/quorvex-build.log
  if ! { cmake -S "$QV_ROOT" -B "$dir" "$@" && cmake --build "$dir" -j2; } >"$log" 2>&1; then
    qv_err "building ${dir#"$QV_ROOT"/} failed; the end of $log:"
    tail -n 80 "$log" >&2
    return 1
  fi
}

# qv_build_windows TESTING CMAKE-ARGS... : the Windows builds for
# QUORVEX_WINE_ARCH: the i686 product always and, where 32-bit programs cannot
# run, first the x86_64 build. The i686 build then cannot run its own
# catalogue generator either, so it takes the x86_64 build's catalogues.
# BUILD_TESTING=TESTING goes to the build that Wine runs. On failure
# QV_FAILED_BUILD names the build that failed.
# shellcheck disable=SC2034  # QV_FAILED_BUILD is for the scripts that source this
qv_build_windows() {
  local testing=$1; shift
  local exe64 i686=(-DCMAKE_TOOLCHAIN_FILE="$QV_ROOT/cmake/toolchain-i686-w64-mingw32.cmake"
                    -DCMAKE_BUILD_TYPE=Release "$@")
  QV_FAILED_BUILD=
  if [ "$QUORVEX_WINE_ARCH" = win64 ]; then
    if ! qv_build build/win64 -DCMAKE_TOOLCHAIN_FILE="$QV_ROOT/cmake/toolchain-x86_64-w64-mingw32.cmake" \
           -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING="$testing" "$@" ||
       ! exe64=$(qv_product_exe build/win64); then
      QV_FAILED_BUILD="x86_64 build"
      return 1
    fi
    i686+=(-DBUILD_TESTING=OFF "-DQUORVEX_CATALOGUES=${exe64%/*}")
  else
    i686+=(-DBUILD_TESTING="$testing" -DQUORVEX_CATALOGUES=)
  fi
  if ! qv_build build/win32 "${i686[@]}"; then
    QV_FAILED_BUILD="i686 build"
    return 1
  fi
}

# qv_product_exe DIR : the Quorvex.exe a build in DIR made (beside its
# catalogues in DIR, else where CMake puts targets of src/ by default).
qv_product_exe() {
  local c
  for c in "$QV_ROOT/$1/Quorvex.exe" "$QV_ROOT/$1/src/Quorvex.exe"; do
    if [ -f "$c" ]; then echo "$c"; return 0; fi
  done
  qv_err "the build made no Quorvex.exe in $1"
  return 1
}

# qv_ctest LABEL DIR [CTEST-ARGS...] : run a suite; print only its summary when it passes.
qv_ctest() {
  local label=$1 dir=$QV_ROOT/$2; shift 2
  local log=$dir/quorvex-ctest.log
  if ctest --test-dir "$dir" --output-on-failure --no-tests=error --timeout 300 "$@" >"$log" 2>&1; then
    echo "$label: $(grep -m1 'tests passed' "$log") ($(grep -m1 -o 'Total Test time.*' "$log" | tr -s ' '))"
  else
    cat "$log"
    qv_err "$label: tests failed (log: $log)"
    return 1
  fi
}

# ---------------------------------------------------------------- choosing Wine

# True when the 32-bit Wine loader can start here. Kernels built without
# IA-32 emulation refuse it with "Exec format error".
qv_can_run_i386() {
  if [ -z "${QUORVEX_I386:-}" ]; then
    if QUORVEX_I386_ERR=$("$QV_WINE_DIR/wine" --version 2>&1 >/dev/null); then
      QUORVEX_I386=yes
    else
      QUORVEX_I386=no
      QUORVEX_I386_ERR=${QUORVEX_I386_ERR##*: }
      : "${QUORVEX_I386_ERR:=it does not start}"
    fi
    export QUORVEX_I386 QUORVEX_I386_ERR
  fi
  [ "$QUORVEX_I386" = yes ]
}

# Sets and exports QUORVEX_WINE_ARCH (win32 or win64) and QV_E2E_BUILD, and
# says which one is used and why. QUORVEX_WINE_ARCH=win64 may be set to force
# the 64-bit path.
qv_choose_arch() {
  case ${QUORVEX_WINE_ARCH:-} in
    win64)
      qv_say "Wine: running build/win64 (x86_64 build) under $QV_WINE_DIR/wine64, because QUORVEX_WINE_ARCH=win64" ;;
    win32|'')
      if qv_can_run_i386; then
        QUORVEX_WINE_ARCH=win32
        qv_say "Wine: running the i686 product in build/win32 under $QV_WINE_DIR/wine, because this machine runs 32-bit code"
      elif [ "${QUORVEX_WINE_ARCH:-}" = win32 ]; then
        qv_err "QUORVEX_WINE_ARCH=win32, but $QV_WINE_DIR/wine cannot start here ($QUORVEX_I386_ERR)"
        return 1
      else
        QUORVEX_WINE_ARCH=win64
        qv_say "Wine: running build/win64 (the same sources built for x86_64) under $QV_WINE_DIR/wine64, because this machine cannot run 32-bit (i386) programs ($QV_WINE_DIR/wine: $QUORVEX_I386_ERR)"
      fi ;;
    *)
      qv_err "QUORVEX_WINE_ARCH must be win32 or win64, not '$QUORVEX_WINE_ARCH'"
      return 1 ;;
  esac
  export QUORVEX_WINE_ARCH
  # shellcheck disable=SC2034  # for the scripts that source this
  QV_E2E_BUILD=build/$QUORVEX_WINE_ARCH
}

# qv_pe_arch FILE : prints win32 or win64 from the PE header's machine field.
qv_pe_arch() {
  local f=$1 b off
  [ -f "$f" ] && [ -r "$f" ] || return 1
  # One read: MinGW puts the PE header at 0x80, well inside the first 1 KiB.
  read -r -a b < <(od -An -v -tx1 -N1024 "$f" | tr '\n' ' ') || true
  [ "${#b[@]}" -ge 64 ] && [ "${b[0]}${b[1]}" = 4d5a ] || return 1
  off=$((16#${b[63]}${b[62]}${b[61]}${b[60]}))
  [ $((off + 6)) -le "${#b[@]}" ] || return 1
  [ "${b[off]}${b[off + 1]}${b[off + 2]}${b[off + 3]}" = 50450000 ] || return 1
  case ${b[off + 5]}${b[off + 4]} in
    014c) echo win32 ;;
    8664) echo win64 ;;
    *) return 1 ;;
  esac
}

# qv_wine_use ARCH : loader, server, prefix and quiet settings for ARCH.
# WINEPREFIX is kept when the caller set it.
qv_wine_use() {
  local other
  case $1 in
    win32) WINELOADER=$QV_WINE_DIR/wine;   WINESERVER=$QV_WINE_DIR/wineserver32; other=$QV_WINE_DIR/wineserver64 ;;
    win64) WINELOADER=$QV_WINE_DIR/wine64; WINESERVER=$QV_WINE_DIR/wineserver64; other=$QV_WINE_DIR/wineserver32 ;;
    *) qv_err "unknown Wine arch '$1'"; return 1 ;;
  esac
  [ -x "$WINESERVER" ] || WINESERVER=$other
  WINEARCH=$1
  WINEPREFIX=${WINEPREFIX:-$QV_ROOT/build/wineprefix-$1}
  WINEDEBUG=${WINEDEBUG:--all}
  WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  export WINELOADER WINESERVER WINEARCH WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
}

qv_is_project_prefix() { [ "$WINEPREFIX" = "$QV_ROOT/build/wineprefix-$WINEARCH" ]; }

# ---------------------------------------------------------------- the prefix

# Boots the prefix once and keeps it; a prefix whose boot never finished is
# made again. Leaves no server running.
qv_prefix_prepare() {
  local marker=$WINEPREFIX/.quorvex-prefix
  [ -f "$marker" ] && [ -f "$WINEPREFIX/system.reg" ] && return 0
  QV_SERVER_STARTED=1   # from here on there may be Wine processes to end
  mkdir -p "$(dirname "$WINEPREFIX")"
  qv_server_stop
  rm -rf "$WINEPREFIX"
  local log=$WINEPREFIX.boot.log
  # Output to a file, never a pipe: the helpers started here outlive wineboot.
  if ! timeout 180 "$WINELOADER" wineboot --init >"$log" 2>&1 </dev/null; then
    qv_err "could not create the Wine prefix $WINEPREFIX (log: $log)"
    qv_server_stop
    return 1
  fi
  # Debian's Wine looks for its own fonts in "<datadir>\../fonts", which never
  # resolves, so Marlett (caption buttons), Tahoma and MS Sans Serif are missing
  # unless they are in the prefix's Fonts folder.
  local fonts=$WINEPREFIX/drive_c/windows/Fonts f
  if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ]; then
    for f in /usr/share/wine/fonts/*; do
      [ -e "$fonts/$(basename "$f")" ] || ln -s "$f" "$fonts/"
    done
  fi
  qv_server_stop   # also writes the registry out
  echo "$WINEARCH" >"$marker"
}

# qv_prefix_settings headless|desktop [DPI] : the registry values the program and
# its tests are run with; the screen's resolution is 96 dpi unless told. Needs a
# running server.
qv_prefix_settings() {
  local x11='HKCU\Software\Wine\X11 Driver' desk='HKCU\Control Panel\Desktop'
  if [ "$1" = headless ]; then
    # Without a window manager, Managed=N spares the 2 s wait on hiding each
    # window, and Decorated=N makes Wine draw captions and frames itself.
    "$WINELOADER" reg add "$x11" /v Managed /t REG_SZ /d N /f
    "$WINELOADER" reg add "$x11" /v Decorated /t REG_SZ /d N /f
  else
    # On a real desktop the window manager does both.
    "$WINELOADER" reg delete "$x11" /v Managed /f || true
    "$WINELOADER" reg delete "$x11" /v Decorated /f || true
  fi
  "$WINELOADER" reg add "$desk" /v FontSmoothing /t REG_SZ /d 0 /f
  "$WINELOADER" reg add "$desk" /v LogPixels /t REG_DWORD /d "${2:-96}" /f
} >/dev/null 2>&1 </dev/null

# ---------------------------------------------------------------- the server

# Kills the prefix's server and every Wine process of the prefix, including
# ones orphaned by a server that was itself killed.
qv_server_stop() {
  "$WINESERVER" -k >/dev/null 2>&1 </dev/null || true
  local f pid exe left=() i
  while read -r f; do
    pid=${f#/proc/}; pid=${pid%/environ}
    exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
    case $exe in "$QV_WINE_DIR"/*) kill -KILL "$pid" 2>/dev/null && left+=("$pid") ;; esac
  done < <(grep -lzxF "WINEPREFIX=$WINEPREFIX" /proc/[0-9]*/environ 2>/dev/null || true)
  # Wait until they are gone (or zombies, whose reaping is not ours to wait for).
  local st
  for ((i = 0; i < 40 && ${#left[@]} > 0; i++)); do
    for pid in "${!left[@]}"; do
      st=$(cut -d' ' -f3 "/proc/${left[$pid]}/stat" 2>/dev/null || echo gone)
      case $st in gone|Z) unset 'left[pid]' ;; esac
    done
    [ ${#left[@]} -eq 0 ] || sleep 0.05
  done
  return 0
}

# qv_server_start headless|desktop [DPI] : a fresh persistent server for the prefix,
# with the helper processes already running and all their output detached
# (otherwise they keep a caller's pipe, CTest's for one, open).
qv_server_start() {
  QV_SERVER_STARTED=1
  qv_server_stop
  if ! ( "$WINESERVER" -p && timeout 120 "$WINELOADER" wineboot ) >/dev/null 2>&1 </dev/null; then
    qv_err "could not start the Wine server for $WINEPREFIX"
    qv_server_stop
    return 1
  fi
  qv_prefix_settings "$@"
  export QUORVEX_WINESERVER_UP=$WINEPREFIX
}

# Used by wine-exec when nobody started a server for it (CTest run by hand, or
# gtest discovery during a build): prepares the project prefix and starts a
# detached server that ends by itself a while after its last program.
qv_server_ensure() {
  mkdir -p "$QV_ROOT/build"
  # Nothing started under the lock may inherit it (9>&-): the server and its
  # helpers would hold it until they exit.
  (
    flock 9
    if qv_is_project_prefix; then qv_prefix_prepare 9>&- || exit 1; fi
    rc=0
    "$WINESERVER" -p"${QUORVEX_WINESERVER_LINGER:-30}" >/dev/null 2>&1 </dev/null 9>&- || rc=$?
    case $rc in
      0) timeout 120 "$WINELOADER" wineboot >/dev/null 2>&1 </dev/null 9>&- || true
         if qv_is_project_prefix; then qv_prefix_settings headless 9>&-; fi ;;
      2) ;;   # one is running already
      *) qv_err "could not start the Wine server for $WINEPREFIX"; exit 1 ;;
    esac
  ) 9>"$QV_ROOT/build/.wine.lock"
}

# ---------------------------------------------------------------- Xvfb

# The virtual screen: large enough for the main window at 200 % (about 1060 pixels wide) and more.
QV_XVFB_SCREEN=${QV_XVFB_SCREEN:-1600x1200}

# Starts Xvfb on the first free display from :90 and exports DISPLAY.
qv_xvfb_start() {
  local n lock pid i log=$QV_ROOT/build/xvfb.log pidfile=$QV_ROOT/build/xvfb.pid
  mkdir -p "$QV_ROOT/build"
  # One left running by an earlier run that was killed outright.
  pid=$(cat "$pidfile" 2>/dev/null || true)
  if [ -n "$pid" ] && [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$(readlink -f "$(command -v Xvfb)")" ]; then
    kill "$pid" 2>/dev/null || true
  fi
  rm -f "$pidfile"
  for n in $(seq 90 140); do
    lock=/tmp/.X$n-lock
    if [ -e "$lock" ]; then
      pid=$(tr -dc 0-9 <"$lock" 2>/dev/null || true)
      if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then continue; fi
      rm -f "$lock" "/tmp/.X11-unix/X$n"   # left by a server that was killed
    fi
    if [ -S "/tmp/.X11-unix/X$n" ]; then
      if timeout 5 xdpyinfo -display ":$n" >/dev/null 2>&1; then continue; fi
      rm -f "/tmp/.X11-unix/X$n"
    fi
    Xvfb ":$n" -screen 0 "${QV_XVFB_SCREEN}x24" -nolisten tcp >"$log" 2>&1 </dev/null &
    QV_XVFB_PID=$!
    for ((i = 0; i < 100; i++)); do
      if ! kill -0 "$QV_XVFB_PID" 2>/dev/null; then break; fi
      if timeout 5 xdpyinfo -display ":$n" >/dev/null 2>&1; then
        export DISPLAY=:$n
        echo "$QV_XVFB_PID" >"$pidfile"
        return 0
      fi
      sleep 0.1
    done
    kill "$QV_XVFB_PID" 2>/dev/null || true
    wait "$QV_XVFB_PID" 2>/dev/null || true
    QV_XVFB_PID=
  done
  qv_err "could not start Xvfb (last log: $log)"
  return 1
}

# ---------------------------------------------------------------- cleaning up

QV_BG_PIDS=()

# Ends what this script started: the programs, the Wine server with all its
# processes, and Xvfb.
qv_cleanup() {
  local pid
  if [ -n "${QV_SERVER_STARTED:-}" ]; then
    qv_server_stop
    QV_SERVER_STARTED=
  fi
  for pid in "${QV_BG_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  QV_BG_PIDS=()
  if [ -n "${QV_XVFB_PID:-}" ]; then
    kill "$QV_XVFB_PID" 2>/dev/null || true
    wait "$QV_XVFB_PID" 2>/dev/null || true
    QV_XVFB_PID=
    rm -f "$QV_ROOT/build/xvfb.pid"
  fi
}

qv_install_cleanup() {
  trap qv_cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

# qv_headless_program TESTING PATH-IN-BUILD : for the commands that run one program of the Windows
# build on a private X server (bench, soak). Builds, then sets up Wine and Xvfb, and puts the
# program's full path in QV_PROGRAM; exits with a message when any step fails.
qv_headless_program() {
  bash "$QV_ROOT/scripts/setup.sh"
  qv_choose_arch
  if ! qv_build_windows "$1"; then
    qv_err "the $QV_FAILED_BUILD failed"
    exit 1
  fi
  QV_PROGRAM=$QV_ROOT/$QV_E2E_BUILD/$2
  [ -f "$QV_PROGRAM" ] || { qv_err "the build made no $QV_PROGRAM"; exit 1; }
  WINEPREFIX=$QV_ROOT/build/wineprefix-$QUORVEX_WINE_ARCH
  qv_wine_use "$QUORVEX_WINE_ARCH"
  qv_install_cleanup
  qv_xvfb_start
  qv_prefix_prepare
  qv_server_start headless
}
