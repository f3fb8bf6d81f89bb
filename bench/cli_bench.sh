#!/usr/bin/env bash
# Times the headless command line over the reference lists:
#   --export-all with an exclusion file and --split-rows 50000,
#   --export-domain in top-50 mode and with 20 custom domain groups.
# Wall time, CPU time and peak memory come from /usr/bin/time.
#
# usage: bench/cli_bench.sh [--cli PATH] [--data DIR] [--out DIR] [--sizes "1M 10M"]
#                           [--cases "all top50 custom20"] [--keep]
#
#   --cli    the emailclean-cli executable (default: $EMAILCLEAN_CLI, then
#            emailclean-cli on PATH, then build*/tools/emailclean-cli)
#   --data   directory of emails-<size>.csv and excl-<size>.csv; missing
#            lists are generated there with bench/gen_emails.py (default ./bench-data)
#   --out    scratch output directory, emptied before each case (default DATA/cli-bench-out)
#   --sizes  which lists (default "1M 10M"; any N with K/M suffix works)
#   --cases  which cases (default "all top50 custom20")
#   --keep   leave the output of the last case in place
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
cli=${EMAILCLEAN_CLI:-}
data=./bench-data
out=
sizes="1M 10M"
cases="all top50 custom20"
keep=0
while [[ $# -gt 0 ]]; do
  case $1 in
    --cli) cli=$2; shift 2 ;;
    --data) data=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --sizes) sizes=$2; shift 2 ;;
    --cases) cases=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    -h|--help) sed -n '2,19p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "cli_bench.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

if [[ -z $cli ]]; then
  cli=$(command -v emailclean-cli || true)
fi
if [[ -z $cli ]]; then
  cli=$(ls -t "$here"/../build*/tools/emailclean-cli 2>/dev/null | head -n 1 || true)
fi
if [[ -z $cli || ! -x $cli ]]; then
  echo "cli_bench.sh: no emailclean-cli found; build it or pass --cli PATH" >&2
  exit 1
fi
if [[ ! -x /usr/bin/time ]]; then
  echo "cli_bench.sh: /usr/bin/time is missing (Debian package 'time')" >&2
  exit 1
fi

mkdir -p "$data"
data=$(cd "$data" && pwd)
out=${out:-$data/cli-bench-out}

rows_of() {   # 1M -> 1000000, 50K -> 50000
  local n=${1%[KkMm]}
  case $1 in
    *[Kk]) echo $((n * 1000)) ;;
    *[Mm]) echo $((n * 1000000)) ;;
    *) echo "$n" ;;
  esac
}

# The reference lists, byte-identical to those the published figures used.
ensure_lists() {
  local size=$1 rows
  rows=$(rows_of "$size")
  if [[ ! -f $data/emails-$size.csv ]]; then
    echo "generating $data/emails-$size.csv ..." >&2
    python3 "$here/gen_emails.py" "$rows" "$data/emails-$size.csv"
  fi
  if [[ ! -f $data/excl-$size.csv ]]; then
    echo "generating $data/excl-$size.csv ..." >&2
    python3 "$here/gen_emails.py" $((rows / 10)) "$data/excl-$size.csv" --single-column --seed 2 \
      --draw-from "$data/emails-$size.csv" --draw-share 0.5
  fi
}

settings_dir=$(mktemp -d)
trap 'rm -rf "$settings_dir"' EXIT

# Top-N mode, 50 domains.
printf '[SetupOption]\r\nSelected=0\r\n[SetupTop]\r\nTop=50\r\n' > "$settings_dir/top50.ini"

# Custom mode, 20 groups of real domains: the big ones alone or paired,
# then twelve groups of five tail domains each.
{
  mapfile -t doms < <(python3 "$here/gen_emails.py" --list-domains 70)
  printf '[SetupOption]\r\nSelected=1\r\n[SetupTop]\r\nTop=10\r\n[SetupCustom]\r\n'
  printf 'qq=qq.com\r\nnetease=163.com,126.com\r\ngoogle=gmail.com\r\nsina=sina.com\r\n'
  printf 'microsoft=hotmail.com,outlook.com\r\nyahoo=yahoo.com\r\nsohu=sohu.com\r\nfoxmail=foxmail.com\r\n'
  for g in $(seq 0 11); do
    first=$((10 + g * 5))
    list=$(IFS=,; echo "${doms[*]:first:5}")
    printf 'tail%02d=%s\r\n' $((g + 1)) "$list"
  done
} > "$settings_dir/custom20.ini"

results=()
run_case() {   # case size
  local kind=$1 size=$2 src=$data/emails-$2.csv
  local args=(--source "$src" --delimiter semicolon --header --column email --output-dir "$out")
  case $kind in
    all) args+=(--exclude-file "excl-$size.csv" --split-rows 50000 --export-all) ;;
    top50) args+=(--export-domain --settings "$settings_dir/top50.ini") ;;
    custom20) args+=(--export-domain --settings "$settings_dir/custom20.ini") ;;
    *) echo "cli_bench.sh: unknown case $kind" >&2; exit 2 ;;
  esac
  rm -rf "$out"
  mkdir -p "$out"
  cat "$src" > /dev/null   # same warm page cache for every case
  echo "== $kind on $size: $cli ${args[*]}" >&2
  local rc=0
  /usr/bin/time -f '%e %U %S %M' -o "$settings_dir/time" "$cli" "${args[@]}" \
    > "$settings_dir/stdout" 2> "$settings_dir/stderr" || rc=$?
  local wall user sys rss
  read -r wall user sys rss < <(tail -n 1 "$settings_dir/time")
  if [[ $rc -ne 0 ]]; then
    echo "   exit $rc; standard error:" >&2
    tail -n 5 "$settings_dir/stderr" >&2
  fi
  local base=emails-$size files lines mb detail
  files=$(find "$out" -maxdepth 1 -name "$base-*.csv" | wc -l)
  mb=$(du -cm "$out"/"$base"-*.csv 2>/dev/null | tail -n 1 | cut -f1 || true)
  case $kind in
    all)
      lines=$(awk 'END { print NR }' "$out/$base-Export.csv" 2>/dev/null || echo 0)
      local parts
      parts=$(find "$out" -maxdepth 1 -name "$base-Export-[0-9]*.csv" | wc -l)
      detail="export lines $lines, $parts parts"
      ;;
    *)
      local groups
      groups=$(find "$out" -maxdepth 1 -name "$base-Export-*.csv" | wc -l)
      detail="$groups group files"
      ;;
  esac
  local src_bytes
  src_bytes=$(stat -c %s "$src")
  results+=("$(awk -v k="$kind" -v z="$size" -v rc="$rc" -v w="$wall" -v u="$user" -v s="$sys" \
    -v r="$rss" -v b="$src_bytes" -v f="$files" -v m="${mb:-0}" -v d="$detail" 'BEGIN {
      printf "| %-8s | %-4s | %4d | %8.2f | %8.2f | %7.1f | %11.1f | %5d | %5d | %-28s |", \
        k, z, rc, w, u + s, (w > 0 ? b / 1e6 / w : 0), r / 1024, f, m, d }')")
}

for size in $sizes; do
  ensure_lists "$size"
  for kind in $cases; do
    run_case "$kind" "$size"
  done
done
[[ $keep -eq 1 ]] || rm -rf "$out"

echo
echo "emailclean-cli: $cli"
echo "| case     | list | exit |   wall s |    cpu s |    MB/s | peak RSS MB | files |    MB | output                       |"
echo "|----------|------|------|----------|----------|---------|-------------|-------|-------|------------------------------|"
printf '%s\n' "${results[@]}"
echo
echo "all: --exclude-file excl-<list>.csv --split-rows 50000 --export-all; top50 / custom20: --export-domain"
echo "with a settings file in top-50 mode / with 20 custom groups. MB/s = source size / wall time;"
echo "cpu s = user + system; files and MB: every output file of the run."
