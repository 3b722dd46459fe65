#!/bin/sh
# CPU time of the Gauss band-group fit alone against cfityk's fit of the same data from the same start
# values, at 10,001 and 100,001 points (bench_gauss):
#   bench/gauss_compare.sh [build dir] [repetitions]
# The repetitions of the four measurements run interleaved in random order, so that ours and the
# peer's meet the same load on a shared machine. The table gives the medians, the ratio of the medians
# (cfityk's time over ours: above 1 ours is faster) and the lowest and highest ratio of the
# repetitions taken pairwise; the machine's load and its transparent huge page settings are printed
# with it. Needs cfityk (bench/install-peers).
set -eu
build=${1:-build}
reps=${2:-9}
bench="$build/bin/bench_gauss"
[ -x "$bench" ] || { echo "build $bench first (cmake --build $build --target bench_gauss)" >&2; exit 2; }
[ -x /usr/bin/cfityk ] || { echo "the peer is cfityk: run bench/install-peers (Debian's fityk)" >&2; exit 2; }
echo "load before: $(uptime)"
for f in enabled defrag; do
  echo "transparent_hugepage/$f: $(cat /sys/kernel/mm/transparent_hugepage/$f 2>/dev/null || echo unknown)"
done
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$bench" --benchmark_filter='^BM_(GaussFitIterate|CfitykFit)/' --benchmark_repetitions="$reps" \
  --benchmark_enable_random_interleaving=true --benchmark_min_time=0.5 \
  --benchmark_out="$out" --benchmark_out_format=json >/dev/null 2>&1
echo "load after:  $(uptime)"
python3 - "$out" <<'PYEOF'
import json, statistics, sys

runs = {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("run_type") != "iteration":
        continue
    name, points = b["run_name"].split("/")[:2]
    if b.get("error_occurred"):
        sys.exit("%s/%s: %s" % (name, points, b.get("error_message")))
    runs.setdefault((name, int(points)), []).append(b)

print("%8s  %12s  %12s  %9s  %15s  %s" % ("points", "ours ms", "cfityk ms", "ratio", "pairs low-high",
                                          "position ours / cfityk"))
for points in sorted({p for _, p in runs}):
    ours = runs.get(("BM_GaussFitIterate", points), [])
    peer = runs.get(("BM_CfitykFit", points), [])
    if not ours or not peer:
        continue
    t_ours = [r["real_time"] for r in ours]
    t_peer = [r["real_time"] for r in peer]
    pairs = [p / o for o, p in zip(t_ours, t_peer)]
    print("%8d  %12.3f  %12.3f  %9.2f  %7.2f-%-7.2f  %.6f / %.6f" % (
        points, statistics.median(t_ours), statistics.median(t_peer),
        statistics.median(t_peer) / statistics.median(t_ours), min(pairs), max(pairs),
        ours[-1]["position"], peer[-1]["position"]))
PYEOF
