#!/usr/bin/env bash
# check-pe.sh EXE : passes when EXE is what we ship: a PE32 Windows GUI
# program for Intel 80386 that needs none of MinGW's runtime DLLs beside it.
set -euo pipefail
exe=${1:?usage: check-pe.sh EXE}
objdump=i686-w64-mingw32-objdump

fail() { echo "check-pe: $exe: FAIL: $*"; exit 1; }

[ -f "$exe" ] || fail "no such file"
head=$("$objdump" -f "$exe" 2>&1) || fail "not an object file ($(tail -n1 <<<"$head"))"
format=$(grep -o 'file format .*' <<<"$head" || true)
[ "$format" = "file format pei-i386" ] || fail "expected file format pei-i386, got '$format'"
grep -q '^architecture: i386,' <<<"$head" || fail "expected architecture i386: $(grep '^architecture' <<<"$head")"
grep -q 'EXEC_P' <<<"$head" || fail "not an executable"

info=$("$objdump" -p "$exe")
grep -Eq '^Magic[[:space:]]+010b' <<<"$info" || fail "optional header is not PE32: $(grep -m1 '^Magic' <<<"$info")"
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$info" ||
  fail "expected subsystem 00000002 (Windows GUI), got: $(grep -m1 '^Subsystem' <<<"$info" | tr -s '\t ' ' ')"
grep -Eq '^[[:space:]]+DLL$' <<<"$info" && fail "it is a DLL"
runtime=$(grep -Eio 'DLL Name: (libstdc\+\+|libgcc|libwinpthread)[^ ]*' <<<"$info" | sed 's/DLL Name: //' | tr '\n' ' ' || true)
[ -z "$runtime" ] || fail "needs MinGW runtime DLLs: $runtime"

echo "check-pe: $exe: PE32 (GUI) Intel 80386, no MinGW runtime DLLs: pass"
