#!/usr/bin/env bash
# The batch benchmark: tavimo against a python-docx baseline doing the same replacements, on
# the same generated corpus, in one run. Prints documents per second, the ratio and peak memory.
#
#   bench/batch/run.sh [small|large|both] [RUNS]     (default both, 1 run)
#     small: 1,000 documents of 3 pages, a table of 200 rows
#     large: 20 documents of 500 pages, the same table
#   With RUNS above 1 the two sides take turns on fresh copies and the median time of each is
#   reported (with the highest peak): on a shared machine one run can be a third off. The
#   median of the runs' own ratios is given too: each pair ran back to back, so a slow spell
#   of the machine weighs on both sides of it alike.
#   tavimo runs twice: one document at a time (as the plug-in does) and with --jobs N, N being
#   BENCH_JOBS or the number of cores, each against the same baseline run.
#   BENCH_COPIES=DIR puts the two sides' working copies there (default: beside the corpus), say
#   a RAM folder such as /dev/shm, to time the work without the disk: on ext4 without a journal
#   each new file costs a scan past the inodes freed in the last half minute, which grows over
#   a batch of safe saves (a new file renamed over each document) and not over the baseline's
#   writes into the same files.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$root/build/bench-batch
copies=${BENCH_COPIES:-$work}
tavimo=$root/build/native/cli/tavimo
which=${1:-both}
runs=${2:-1}
jobs=${BENCH_JOBS:-$(nproc)}
[ -x "$tavimo" ] || { echo "build first: scripts/build" >&2; exit 1; }

measure() { # name, command...: prints seconds and peak KiB
  local name=$1; shift
  /usr/bin/time -f "%e %M" -o "$work/time.$name" "$@" >"$work/out.$name" 2>&1 || true
  cat "$work/time.$name"
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

one() { # label count pages
  local label=$1 count=$2 pages=$3
  local corpus=$work/corpus-$label
  if [ ! -f "$corpus/.done" ]; then
    echo "generating $label corpus ($count documents of $pages pages)..."
    rm -rf "$corpus"
    /usr/bin/python3 "$root/bench/batch/make_corpus.py" "$corpus" "$count" "$pages"
    touch "$corpus/.done"
  fi
  local ours_times=() jobs_times=() base_times=() pair_ratios=() jobs_ratios=() ours_kb=0 jobs_kb=0 base_kb=0 t kb
  for ((run = 1; run <= runs; run++)); do
    for side in ours jobs base; do
      rm -rf "$copies/$side"
      mkdir -p "$copies/$side"
      cp "$corpus"/*.docx "$corpus"/table.txt "$copies/$side/"
    done
    read -r t kb < <(measure ours "$tavimo" --table "$copies/ours/table.txt" --in-place "$copies/ours/"*.docx)
    ours_times+=("$t"); ((kb > ours_kb)) && ours_kb=$kb
    read -r t kb < <(measure jobs "$tavimo" --jobs "$jobs" --table "$copies/jobs/table.txt" --in-place "$copies/jobs/"*.docx)
    jobs_times+=("$t"); ((kb > jobs_kb)) && jobs_kb=$kb
    read -r t kb < <(measure base /usr/bin/python3 "$root/bench/batch/baseline_docx.py" "$copies/base/table.txt" "$copies/base/"*.docx)
    base_times+=("$t"); ((kb > base_kb)) && base_kb=$kb
    pair_ratios+=("$(awk -v b="$t" -v o="${ours_times[-1]}" 'BEGIN { printf "%.3f", b / o }')")
    jobs_ratios+=("$(awk -v b="$t" -v o="${jobs_times[-1]}" 'BEGIN { printf "%.3f", b / o }')")
  done
  local ours_s jobs_s base_s
  ours_s=$(median "${ours_times[@]}")
  jobs_s=$(median "${jobs_times[@]}")
  base_s=$(median "${base_times[@]}")
  local paired jobs_paired
  paired=$(median "${pair_ratios[@]}")
  jobs_paired=$(median "${jobs_ratios[@]}")
  local failed
  failed=$(cat "$work/out.ours" "$work/out.jobs" | grep -c -E "failed(_[0-9]+)?$" || true)
  awk -v l="$label" -v r="$runs" -v n="$count" -v j="$jobs" -v os="$ours_s" -v ok="$ours_kb" -v js="$jobs_s" -v jk="$jobs_kb" -v bs="$base_s" -v bk="$base_kb" -v f="$failed" -v p="$paired" -v pr="${pair_ratios[*]}" -v jp="$jobs_paired" -v jr="${jobs_ratios[*]}" 'BEGIN {
    printf "%-6s tavimo           %8.2f s  %9.1f docs/s  peak %7.1f MiB\n", l, os, n / os, ok / 1024
    printf "%-6s tavimo --jobs %-2d %8.2f s  %9.1f docs/s  peak %7.1f MiB\n", l, j, js, n / js, jk / 1024
    printf "%-6s baseline         %8.2f s  %9.1f docs/s  peak %7.1f MiB\n", l, bs, n / bs, bk / 1024
    printf "%-6s ratio (tavimo throughput / baseline throughput): %.1fx, with --jobs %d: %.1fx   lines with failures: %s   (median of %d)\n", l, bs / os, j, bs / js, f, r
    if (r > 1) printf "%-6s median of per-run ratios: %.1fx, with --jobs %d: %.1fx   (runs: %s; %s)\n", l, p, j, jp, pr, jr
  }'
}

mkdir -p "$work" "$copies"
case $which in
  small) one small 1000 3 ;;
  large) one large 20 500 ;;
  *) one small 1000 3; one large 20 500 ;;
esac
# Copies in a folder of the caller's (RAM, most likely) are not left taking its room.
[ "$copies" = "$work" ] || rm -rf "$copies/ours" "$copies/jobs" "$copies/base"
