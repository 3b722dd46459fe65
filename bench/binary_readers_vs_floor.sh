#!/usr/bin/env bash
# Whole-process comparison of every binary reader with its floor (bench/reader_floors.h: the fread of
# the file and the one pass that turns its values into the doubles the records hold) on files of about
# 100 MB, in paired runs: each round runs fread, the floor in plain memory (floor), the floor in memory
# advised to 2 MiB pages as the readers advise theirs (floor2m) and the reader on the same file back to
# back (in rotating order), so all meet the same load of a shared machine. Reports the median times
# (ms, CPU time unless VX_BENCH_CLOCK=wall), and the medians (quartiles) of the per-round ratios floor time / reader time (1.0: the reader
# does no more than the floor), with the machine's load and huge-page settings, which move the figures.
#   bench/binary_readers_vs_floor.sh [build folder, default build] [rounds, default 11] [format...]
# Formats: rvx spc sp-old sp-block scn jws jws4096 jws-flat procspec spe (default all).
set -euo pipefail
build=${1:-build}
rounds=${2:-11}
shift $(($# < 2 ? $# : 2))
wanted=("$@")
[ ${#wanted[@]} -gt 0 ] || wanted=(rvx spc sp-old sp-block scn jws jws4096 jws-flat procspec spe)
instruments="$build/bin/bench_instruments_read_whole_file"
exchange="$build/bin/bench_read_whole_file"
for t in "$instruments" "$exchange"; do
    [ -x "$t" ] || { echo "build $t first (cmake --build $build --target $(basename "$t"))" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VAROLUX32_REGISTRY_DIR="$work/registry"  # the SPC library is registered once, as on a user's machine

settings() {
    echo "clock: ${VX_BENCH_CLOCK:-cpu}  load: $(cut -d' ' -f1-3 /proc/loadavg)  THP enabled: $(cat /sys/kernel/mm/transparent_hugepage/enabled)" \
         " defrag: $(cat /sys/kernel/mm/transparent_hugepage/defrag)"
}

# The time of one process in ns: its CPU time (user + system) by default, as the machine is shared and
# a process that waits for a core would count the waiting; VX_BENCH_CLOCK=wall takes the wall time.
ns() {  # tool mode file
    local TIMEFORMAT='%R %U %S' t
    t=$({ time "$1" "$2" "$3" >/dev/null || { echo "$1 $2 $3 failed" >&2; exit 1; }; } 2>&1) || exit 1
    if [ "${VX_BENCH_CLOCK:-cpu}" = wall ]; then awk -v t="$t" 'BEGIN { split(t, a, " "); printf "%.0f", a[1] * 1e9 }'
    else awk -v t="$t" 'BEGIN { split(t, a, " "); printf "%.0f", (a[2] + a[3]) * 1e9 }'; fi
}

median() { sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

ratio() {  # per-round ratios: median (quartiles)
    sort -g | awk '{ a[NR] = $1 } END {
        printf "%.2f (%.2f-%.2f)", a[int((NR + 1) / 2)], a[int((NR + 3) / 4)], a[int((3 * NR + 1) / 4)] }'
}

paired() {  # tool format file
    local tool=$1 format=$2 file=$3 reads=() floors=() floors2m=() ours=() r1=() r2=()
    ns "$tool" "floor-$format" "$file" >/dev/null
    ns "$tool" "$format" "$file" >/dev/null  # warm the page cache and the code
    for ((i = 0; i < rounds; i++)); do
        local b f g r
        b=$(ns "$tool" fread "$file")
        case $((i % 3)) in
        0) f=$(ns "$tool" "floor-$format" "$file"); g=$(ns "$tool" "floor2m-$format" "$file"); r=$(ns "$tool" "$format" "$file") ;;
        1) r=$(ns "$tool" "$format" "$file"); f=$(ns "$tool" "floor-$format" "$file"); g=$(ns "$tool" "floor2m-$format" "$file") ;;
        *) g=$(ns "$tool" "floor2m-$format" "$file"); r=$(ns "$tool" "$format" "$file"); f=$(ns "$tool" "floor-$format" "$file") ;;
        esac
        reads+=("$b"); floors+=("$f"); floors2m+=("$g"); ours+=("$r")
        r1+=("$(awk -v f="$f" -v r="$r" 'BEGIN { printf "%.4f", f / r }')")
        r2+=("$(awk -v f="$g" -v r="$r" 'BEGIN { printf "%.4f", f / r }')")
    done
    awk -v l="$format" -v b="$(stat -c %s "$file")" -v t="$(printf '%s\n' "${reads[@]}" | median)" \
        -v f="$(printf '%s\n' "${floors[@]}" | median)" -v g="$(printf '%s\n' "${floors2m[@]}" | median)" \
        -v r="$(printf '%s\n' "${ours[@]}" | median)" -v q1="$(printf '%s\n' "${r1[@]}" | ratio)" \
        -v q2="$(printf '%s\n' "${r2[@]}" | ratio)" 'BEGIN {
        printf "%-9s %6.1f MB  fread %6.1f  floor %6.1f  floor2m %6.1f  reader %6.1f ms  floor/reader %s  floor2m/reader %s\n",
               l, b / 1e6, t / 1e6, f / 1e6, g / 1e6, r / 1e6, q1, q2 }'
}

settings
for format in "${wanted[@]}"; do
    case $format in
    rvx | spc) tool=$exchange; "$tool" "make-$format" "$work/sample.$format" ;;
    *) tool=$instruments; "$tool" "make-$format" "$work/sample.$format" ;;
    esac
    paired "$tool" "$format" "$work/sample.$format"
    rm -f "$work/sample.$format"
done
settings
