#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (address and
# undefined-behaviour sanitizers) in build-fuzz/ and runs each for SECONDS
# (default 60), then prints executions, coverage and findings per target.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]      targets: sql table conditions ini like
#
# Each target starts from its seeds (tests/fuzz/corpus/TARGET) and the corpus
# it grew in earlier runs (build-fuzz/fuzz-corpus/TARGET).  A finding (crash,
# failed check, timeout, leak, out of memory) is kept as
# build-fuzz/fuzz-findings/TARGET/...; the log of the run beside it.  Run a
# finding again with: build-fuzz/tests/fuzz/TARGET_fuzz FILE
# Exit status: 0 when no target found anything, 1 otherwise, 2 when the
# tools are missing (scripts/install-deps.sh installs them).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(sql table conditions ini like)
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is missing; scripts/install-deps.sh installs it" >&2
  exit 2
fi

mkdir -p "$build"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DEMAILCLEAN_FUZZ=ON >"$build/configure.log" 2>&1 || { cat "$build/configure.log" >&2; exit 2; }
cmake --build "$build" -j2 --target fuzz_targets

printf '%-11s %10s %8s %9s %8s %9s  %s\n' target executions "exec/s" coverage features corpus findings
found=0
for target in "${targets[@]}"; do
  corpus="$build/fuzz-corpus/$target"
  findings="$build/fuzz-findings/$target"
  mkdir -p "$corpus" "$findings"
  log="$findings/last-run.log"
  before=$(find "$findings" -type f ! -name '*.log' | wc -l)
  dict=()
  [ -f "$root/tests/fuzz/$target.dict" ] && dict=(-dict="$root/tests/fuzz/$target.dict")
  status=0
  # -timeout: an input that takes 10 s is a finding too.
  "$build/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "${dict[@]}" \
    "$corpus" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  after=$(find "$findings" -type f ! -name '*.log' | wc -l)
  new=$((after - before))
  [ "$status" -ne 0 ] && [ "$new" -eq 0 ] && new=1  # stopped without saving an input
  executions=$(grep -a 'stat::number_of_executed_units' "$log" | awk '{print $2}' | tail -1)
  rate=$(grep -a 'stat::average_exec_per_sec' "$log" | awk '{print $2}' | tail -1)
  last=$(grep -a -E '^#[0-9]+' "$log" | tail -1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  units=$(find "$corpus" -type f | wc -l)
  printf '%-11s %10s %8s %9s %8s %9s  %s\n' "$target" "${executions:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" \
    "$units" "$new"
  if [ "$new" -gt 0 ]; then
    found=1
    grep -a -m1 -E '\*\*\* fuzz check failed|ERROR: (AddressSanitizer|UndefinedBehaviorSanitizer|libFuzzer|LeakSanitizer)|runtime error' \
      "$log" | sed 's/^/            /' || true
    echo "            see $log"
  fi
done
exit "$found"
