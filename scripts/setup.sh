#!/usr/bin/env bash
# Installs what building, running and testing Quorvex needs on Debian 12.
# Idempotent and quiet: does nothing when everything is present.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

for p in cmake make g++ libgtest-dev libgmock-dev \
         g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev \
         g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev \
         wine wine64 wine32:i386 fonts-wine \
         xvfb xauth x11-utils xdotool imagemagick \
         clang libclang-rt-14-dev zip unzip python3-impacket; do
  have "$p" || need+=("$p")
done

if [ ${#need[@]} -gt 0 ]; then
  [ "$(id -u)" = 0 ] || { echo "setup: run as root to install: ${need[*]}" >&2; exit 1; }
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  echo "setup: installing ${need[*]}" >&2
  log=$(mktemp)
  if ! { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${need[@]}"; } >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "setup: installing packages failed" >&2
    exit 1
  fi
  rm -f "$log"
fi
