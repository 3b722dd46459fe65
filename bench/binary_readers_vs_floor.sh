#!/usr/bin/env bash
# Whole-process comparison of the JWS and ProcSpec readers with a plain fread of the same ~100 MB
# files, in paired runs: each round runs fread and the reader on the same file back to back (in
# alternating order), so both meet the same load of a shared machine. Reports the medians and the
# median of the per-round ratios (fread time / reader time: 1.0 reads as fast as fread).
#   bench/instrument_readers_vs_fread.sh [build folder, default build] [rounds, default 21]
set -euo pipefail
build=${1:-build}
rounds=${2:-21}
tool="$build/bin/bench_instruments_read_whole_file"
[ -x "$tool" ] || { echo "build $tool first (cmake --build $build --target bench_instruments_read_whole_file)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tool" make-jws "$work/compound512.jws"
"$tool" make-jws4096 "$work/compound4096.jws"
"$tool" make-jws-flat "$work/flat.jws"
"$tool" make-procspec "$work/large.procspec"

ns() {  # mode file: wall time of one process in ns
    local t0 t1
    t0=$(date +%s%N)
    "$tool" "$1" "$2" || { echo "$tool $1 $2 failed" >&2; exit 1; }
    t1=$(date +%s%N)
    echo $((t1 - t0))
}

paired() {  # label mode file
    local label=$1 mode=$2 file=$3 base=() ours=() ratios=()
    ns fread "$file" >/dev/null
    ns "$mode" "$file" >/dev/null  # warm the page cache and the code
    for ((i = 0; i < rounds; i++)); do
        local f r
        if ((i % 2 == 0)); then f=$(ns fread "$file"); r=$(ns "$mode" "$file")
        else r=$(ns "$mode" "$file"); f=$(ns fread "$file"); fi
        base+=("$f"); ours+=("$r")
        ratios+=("$(awk -v f="$f" -v r="$r" 'BEGIN { printf "%.4f", f / r }')")
    done
    local mb mf mr q
    mb=$(stat -c %s "$file")
    mf=$(printf '%s\n' "${base[@]}" | sort -n | sed -n "$(((rounds + 1) / 2))p")
    mr=$(printf '%s\n' "${ours[@]}" | sort -n | sed -n "$(((rounds + 1) / 2))p")
    q=$(printf '%s\n' "${ratios[@]}" | sort -g | awk '{ a[NR] = $1 } END { printf "%.2f (quartiles %.2f-%.2f)", a[int((NR + 1) / 2)], a[int((NR + 3) / 4)], a[int((3 * NR + 1) / 4)] }')
    awk -v l="$label" -v b="$mb" -v f="$mf" -v r="$mr" -v q="$q" 'BEGIN {
        printf "%-22s %6.1f MB  fread %6.1f ms  reader %6.1f ms  fread/reader %s\n", l, b / 1e6, f / 1e6, r / 1e6, q }'
}

paired "JWS compound, 512"  jws "$work/compound512.jws"
paired "JWS compound, 4096" jws "$work/compound4096.jws"
paired "JWS flat"           jws "$work/flat.jws"
paired "ProcSpec"           procspec "$work/large.procspec"
