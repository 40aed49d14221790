#!/usr/bin/env bash
# Builds the receive-path fuzzer (libFuzzer with address and undefined-behaviour
# sanitizers) into build-fuzz/ and runs it for a bounded time.
#   fuzz/run.sh [seconds]     default 60; 0 only builds
# Findings are written to build-fuzz/ as crash-*/leak-*/timeout-* files.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
out=build-fuzz
cxx=${CXX_FUZZ:-clang++}

if ! command -v "$cxx" >/dev/null; then
    echo "fuzz: $cxx not found; skipping the fuzz run" >&2
    exit 0
fi
mkdir -p "$out/corpus"
probe="$out/probe.cpp"
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$probe"
if ! "$cxx" -fsanitize=fuzzer "$probe" -o "$out/probe" >/dev/null 2>&1; then
    echo "fuzz: $cxx has no libFuzzer (Debian: libclang-rt-14-dev); skipping the fuzz run" >&2
    exit 0
fi

"$cxx" -std=c++20 -g -O1 -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -Wall -Wextra -Werror -Isrc -Itests src/core/*.cpp fuzz/rx_fuzz.cpp -o "$out/rx_fuzz"

[ "$seconds" -gt 0 ] || exit 0
cd "$out"
./rx_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    corpus ../fuzz/seeds
