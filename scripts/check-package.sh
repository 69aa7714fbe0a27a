#!/usr/bin/env bash
# check-package.sh BUILD-DIR : makes the release zip there and checks that it holds exactly the exe,
# its two catalogues, the README and the licence notes.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
(cd "$dir" && cpack -G ZIP >cpack.log 2>&1) || { cat "$dir/cpack.log"; echo "check-package: cpack failed" >&2; exit 1; }
zip=$dir/Quorvex-1.0.0.zip
got=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
want="LICENCE.txt Quorvex.exe README.md errmsg.orv errmsg2.orv "
if [ "$got" != "$want" ]; then
  echo "check-package: $zip holds: $got; expected: $want" >&2
  exit 1
fi
echo "check-package: $zip: $want: pass"
