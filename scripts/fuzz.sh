#!/usr/bin/env bash
# Fuzzes the catalogue reader, the registry-value decoding and the reading of a pasted code with
# libFuzzer, each for the given number of seconds (default 600), under AddressSanitizer and
# UndefinedBehaviorSanitizer.
#   bash scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
bash scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DQUORVEX_FUZZ=ON -DBUILD_TESTING=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >build/fuzz-configure.log 2>&1 || { cat build/fuzz-configure.log; exit 1; }
cmake --build build/fuzz -j2 --target fuzz_catalogue fuzz_registry fuzz_code >build/fuzz-build.log 2>&1 || { cat build/fuzz-build.log; exit 1; }
for target in catalogue registry code; do
  corpus=build/fuzz/corpus-$target
  mkdir -p "$corpus" build/fuzz/findings
  cp -n tests/fuzz/corpus/$target/* "$corpus"/ 2>/dev/null || true
  echo "fuzz: $target for ${seconds}s"
  build/fuzz/tests/fuzz/fuzz_$target -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix=build/fuzz/findings/$target- "$corpus" 2>build/fuzz/$target.log || {
      tail -n 40 build/fuzz/$target.log; echo "fuzz: $target found a failure (see build/fuzz/findings)"; exit 1; }
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' build/fuzz/$target.log | sed "s/^/fuzz: $target: /"
done
