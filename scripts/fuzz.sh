#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang and runs each one for FUZZ_SECONDS on a copy
# of its seed corpus in tests/fuzz/<target>. Prints one line of figures per target; fails
# when a target finds a crash, leaving the input that caused it in build-fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-25}
build=build-fuzz

cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

mkdir -p "$build/crashes"
failed=0
summary=()
for seeds in tests/fuzz/*/; do
    target=$(basename "$seeds")
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    cp -n "$seeds"* "$corpus"/ 2>/dev/null || true
    log="$build/$target.log"
    status=ok
    if ! "$build/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=1024 \
            -artifact_prefix="$build/crashes/$target-" -print_final_stats=1 "$corpus" >"$log" 2>&1; then
        status=CRASH
        failed=1
        grep -m1 -E 'ERROR|runtime error|deadly signal|timeout' "$log" || true
        grep -m1 'Test unit written to' "$log" || true
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    summary+=("$(printf '%-24s %-6s %12s executions in %ss, corpus %s inputs' \
        "$target" "$status" "${runs:-?}" "$seconds" "$(ls "$corpus" | wc -l)")")
done
echo "== fuzzing"
printf '%s\n' "${summary[@]}"
exit $failed
