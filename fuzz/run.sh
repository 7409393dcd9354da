#!/bin/sh
# Builds the fuzz targets with clang in build-fuzz/ and runs each for
# DURATION seconds (default 600), one after the other. Corpora grow in
# build-fuzz/corpus/<target>; a crash stops the script with the target's
# status and leaves its reproducer in build-fuzz/artifacts/<target>/.
#   fuzz/run.sh [DURATION] [TARGET...]
set -eu
cd "$(dirname "$0")/.."
DURATION=${1:-600}
[ $# -gt 0 ] && shift
BUILD=${FUZZ_BUILD_DIR:-build-fuzz}
TARGETS=${*:-"ini csv lcv formula results_page script_line filter_item archive stakes ratings tables reply"}
LAUNCHER=""
if command -v ccache >/dev/null 2>&1; then
  LAUNCHER="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
fi
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVEXA_BUILD_FUZZ=ON -DVEXA_BUILD_TESTS=OFF -DVEXA_BUILD_BENCH=OFF $LAUNCHER >/dev/null
for t in $TARGETS; do
  cmake --build "$BUILD" --target "${t}_fuzz" -j "${JOBS:-2}"
done
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
for t in $TARGETS; do
  corpus="$BUILD/corpus/$t"
  artifacts="$BUILD/artifacts/$t"
  mkdir -p "$corpus" "$artifacts"
  # Seeds: the repository's own examples of the format, when there are any.
  [ -d "fuzz/seeds/$t" ] && cp -n fuzz/seeds/"$t"/* "$corpus"/ 2>/dev/null || true
  echo "== $t: ${DURATION}s"
  "$BUILD/fuzz/${t}_fuzz" -max_total_time="$DURATION" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus"
done
