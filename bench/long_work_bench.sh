#!/usr/bin/env bash
# The cost of long work over the reference list: the full export ("all" case
# of cli_bench.sh) through the window offscreen (its worker thread, progress
# and dialog) and through the operations core called directly, and, given an
# earlier build, the same window before the worker thread existed; then how
# long a cancel request takes to stop the export, at several moments.
# The machine may be shared: every figure is the median of --runs runs (wall
# time and the process's CPU time, which a loaded machine skews less), the
# variants taken in turn so that a load change hits them alike.
#
# usage: bench/long_work_bench.sh [--build DIR] [--base-build DIR] [--data DIR]
#                                 [--size 10M] [--runs 5] [--cancel "1 3 6 9 12"]
#   --base-build  a build of the earlier version with long-work-bench in it
#                 (its window runs the export on the window's own thread)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$here/../build
base=
data=./bench-data
size=10M
runs=5
cancel="1 3 6 9 12"
while [[ $# -gt 0 ]]; do
  case $1 in
    --build) build=$2; shift 2 ;;
    --base-build) base=$2; shift 2 ;;
    --data) data=$2; shift 2 ;;
    --size) size=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --cancel) cancel=$2; shift 2 ;;
    -h|--help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "long_work_bench.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

tool=$build/bench/long-work-bench
[[ -x $tool ]] || { echo "long_work_bench.sh: build the target long-work-bench first ($tool)" >&2; exit 1; }
[[ -z $base || -x $base/bench/long-work-bench ]] || { echo "long_work_bench.sh: no $base/bench/long-work-bench" >&2; exit 1; }
list=$data/emails-$size.csv
[[ -f $list && -f $data/excl-$size.csv ]] || { echo "long_work_bench.sh: make $list and excl-$size.csv first (bench/README.md)" >&2; exit 1; }
out=$(mktemp -d "$data/long-work-out.XXXXXX")
trap 'rm -rf "$out"' EXIT

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

declare -A times cpus
variants="core window"
[[ -n $base ]] && variants="base-window $variants"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((i = 1; i <= runs; i++)); do
  for v in $variants; do
    rm -rf "${out:?}"/*
    cat "$list" > /dev/null
    case $v in
      base-window) line=$("$base/bench/long-work-bench" window "$list" "$out" "excl-$size.csv") ;;
      *) line=$("$tool" "$v" "$list" "$out" "excl-$size.csv") ;;
    esac
    times[$v]+="$(awk '{ print $2 }' <<< "$line") "
    cpus[$v]+="$(awk '{ print $3 }' <<< "$line") "
    echo "run $i $v: $line"
  done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| variant | median wall s | median cpu s | wall s of each run | cpu s of each run |"
echo "|---|---|---|---|---|"
for v in $variants; do
  echo "| $v | $(tr ' ' '\n' <<< "${times[$v]}" | grep . | median) | $(tr ' ' '\n' <<< "${cpus[$v]}" | grep . | median) | ${times[$v]}| ${cpus[$v]}|"
done

echo
for mode in cancel-core cancel-window; do
  rm -rf "${out:?}"/*
  # shellcheck disable=SC2086
  "$tool" "$mode" "$list" "$out" "excl-$size.csv" $cancel
done
