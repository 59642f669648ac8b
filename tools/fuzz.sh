#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while, starting from the seed
# corpus in tests/data/fuzz/<target>. Crash inputs are left in build-fuzz/crashes/.
#   tools/fuzz.sh [seconds per target] [target...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(settings document where soap export server)
if ! command -v clang++ >/dev/null || [ ! -d /usr/lib/llvm-14/lib/clang ]; then
    echo "Installing clang and its fuzzer runtime..."
    if [ "$(id -u)" -eq 0 ]; then apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
    else sudo apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev; fi
fi
build=$root/build-fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZORV_FUZZ=ON -DZORV_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j 2 --target $(printf 'fuzz_%s ' "${targets[@]}")
mkdir -p "$build/crashes"
export ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen
for target in "${targets[@]}"; do
    corpus=$build/corpus/$target
    mkdir -p "$corpus"
    cp -n "$root/tests/data/fuzz/$target"/* "$corpus"/ 2>/dev/null || true
    echo "== $target for $seconds s"
    "$build/fuzz/fuzz_$target" "$corpus" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/crashes/$target-" 2>"$build/$target.log" || {
        echo "$target found a problem: see $build/$target.log and $build/crashes/"
    }
    grep -E "^#[0-9]+.*(DONE|cov)" "$build/$target.log" | tail -1
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/$target.log" || true
done
