#!/bin/sh
# Builds the fuzz targets with clang in build-fuzz and runs each for a short,
# fixed number of inputs over its corpus and regression inputs, new inputs
# going to a scratch directory (the committed corpus is left as it is).
# Exits non-zero when a target fails; the failing input is kept and named.
#
# Needs packages: clang and libclang-rt-<version>-dev for that clang (on
# Debian 12: clang-14 libclang-rt-14-dev), plus cmake and make.
#
# Environment: LUM_FUZZ_RUNS (inputs per target, default 5000),
# LUM_FUZZ_SECONDS (time cap per target, default 30), LUM_FUZZ_JOBS (build
# jobs, default 2).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
runs=${LUM_FUZZ_RUNS:-5000}
seconds=${LUM_FUZZ_SECONDS:-30}
jobs=${LUM_FUZZ_JOBS:-2}

echo "fuzz: needs packages clang (clang-14 here) and libclang-rt-14-dev (or the libclang-rt-N-dev of the clang present), cmake, make"
if command -v clang++-14 >/dev/null 2>&1; then
    cc=clang-14 cxx=clang++-14
elif command -v clang++ >/dev/null 2>&1; then
    cc=clang cxx=clang++
else
    echo "fuzz: no clang found; install clang and its libclang-rt-N-dev" >&2
    exit 2
fi

CC=$cc CXX=$cxx cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DLUM_BUILD_FUZZERS=ON \
    -DLUM_BUILD_TESTS=OFF -DLUM_BUILD_TOOL=OFF -DLUM_BUILD_EXAMPLES=OFF >/dev/null
cmake --build "$build" --target lum_fuzzers -j"$jobs"

work=$(mktemp -d "${TMPDIR:-/tmp}/lum-fuzz-short.XXXXXX")
status=0
# target, dictionary, longest input
for entry in parse_model:model:65536 name_binding:model:65536 load_model:load_model:131072 \
            path_map:path_map:4096 value_codecs:value_codecs:4096 read_ahead:model:16384 \
            outputs:outputs:65536; do
    target=${entry%%:*}
    rest=${entry#*:}
    dict=${rest%%:*}
    max_len=${rest#*:}
    mkdir -p "$work/$target"
    set -- "$work/$target" "$root/fuzz/corpus/$target"
    [ -d "$root/fuzz/regressions/$target" ] && set -- "$@" "$root/fuzz/regressions/$target"
    start=$(date +%s)
    if "$build/fuzz/fuzz_$target" -runs="$runs" -max_total_time="$seconds" -max_len="$max_len" \
            -timeout=20 -rss_limit_mb=2048 -dict="$root/fuzz/dict/$dict.dict" \
            -artifact_prefix="$work/$target-" "$@" >"$work/$target.log" 2>&1; then
        echo "fuzz: $target passed ($(grep -o 'Done [0-9]* runs' "$work/$target.log" || echo 'time cap'), $(( $(date +%s) - start )) s)"
    else
        status=1
        tail -n 40 "$work/$target.log"
        echo "fuzz: $target FAILED; input kept in $work (log $work/$target.log)" >&2
    fi
done
[ "$status" -eq 0 ] && rm -rf "$work"
exit "$status"
