#!/usr/bin/env bash
# Installs what is missing, builds with clang, AddressSanitizer and UBSan (and the
# fuzz targets), runs every test under Xvfb, runs the file-opens check on a Release
# build too, then runs each fuzz target briefly.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=${BUILD_DIR:-build-ci}
fuzz_seconds=${FUZZ_SECONDS:-30}
jobs=$(nproc)

cmake -S . -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DVYR_SANITIZE=ON -DVYR_FUZZ=ON -DVYR_BUILD_TESTS=ON
cmake --build "$build" -j "$jobs"

# Leaks are faults, in the tests and in the fuzzers; only what Qt and the system
# libraries keep until exit is suppressed, by the function that allocates it
# (scripts/lsan.supp; tests/leakcheck checks that a leak of ours still shows).
# intercept_tls_get_addr=0: as tests/CMakeLists.txt says, a dynamic TLS block
# unloaded under the checker crashes its scan.
export ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Mesa's software rasteriser draws on the calling thread: no worker threads of its own
# are still winding down while the leak checker stops the world at exit.
export LP_NUM_THREADS=0
xvfb-run -a -s "-screen 0 1920x1080x24" \
    ctest --test-dir "$build" --output-on-failure -j "$jobs"

# The file-opens check finds the same calls whatever the optimiser inlines: it runs on a
# Release build's objects too, of the library and the monitor (no suites built).
release=$build-release
cmake -S . -B "$release" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVYR_BUILD_TESTS=ON
cmake --build "$release" -j "$jobs" --target tarnex file_opens_planted
ctest --test-dir "$release" --output-on-failure -R '^file-opens'

status=0
# What a fuzz run leaves (crash-, slow-unit-, timeout-, leak-, oom- files) goes into the
# build folder, never into the tree.
artifacts=$(cd "$build" && pwd)/fuzz-artifacts
mkdir -p "$artifacts"
for target in "$build"/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus=tests/data/fuzz/${name#fuzz_}
    work=$(mktemp -d)
    [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
    # A style file reaches thousands of styles only with longer inputs.
    max_len=65536
    [ "$name" = fuzz_style_json ] && max_len=262144
    echo "== $name for ${fuzz_seconds}s"
    # The full unwinder names the fontconfig frames that lsan.supp suppresses; no
    # OpenGL here, whose JIT would deadlock it.
    if ! QT_QPA_PLATFORM=offscreen QT_QPA_OFFSCREEN_NO_GLX=1 \
            LSAN_OPTIONS=$LSAN_OPTIONS:fast_unwind_on_malloc=0 "$target" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 \
            -max_len="$max_len" -print_final_stats=0 -artifact_prefix="$artifacts/$name-" "$work" > "$work.log" 2>&1; then
        tail -50 "$work.log"
        echo "$name: FAILED"
        status=1
    fi
    rm -rf "$work" "$work.log"
done
exit $status
