#!/usr/bin/env bash
# The table copy of a large workbook against Debian's xlsx2csv on the same file.
#
#   bench/workbook_bench.sh --bench BUILD/bench/workbook-bench [--cli BUILD/tools/emailclean-cli/emailclean-cli]
#                           [--data DIR] [--rows N] [--repeat R]
#
# Writes DIR/list-<N>.xlsx once (workbook-bench make: header name,email,city,
# then N rows of a name, a distinct address and a city; shared strings, as a
# spreadsheet program writes them), then times R conversions of it by
# workbook-bench (best and median wall seconds, peak RSS) and R runs of
# xlsx2csv, and prints the ratio of the medians.  With --cli, the workbook is
# then opened and fully exported by emailclean-cli (--export-all over the
# address column), R times, beside the same run over its table copy saved as
# a CSV file: the difference is what the workbook costs the whole run.  The
# load average comes first: other work on the machine skews every figure.
set -euo pipefail
bench="" cli="" data="${TMPDIR:-/tmp}/workbook-bench" rows=1000000 repeat=3
while [ $# -gt 0 ]; do
  case "$1" in
    --bench) bench="$2"; shift 2 ;;
    --cli) cli="$2"; shift 2 ;;
    --data) data="$2"; shift 2 ;;
    --rows) rows="$2"; shift 2 ;;
    --repeat) repeat="$2"; shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done
[ -x "$bench" ] || { echo "--bench BUILD/bench/workbook-bench is required" >&2; exit 2; }
command -v xlsx2csv >/dev/null || { echo "xlsx2csv is not installed (scripts/install-deps.sh)" >&2; exit 2; }
mkdir -p "$data"
book="$data/list-$rows.xlsx"
[ -f "$book" ] || "$bench" make "$book" "$rows"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg); $(du -h "$book" | cut -f1) workbook, $rows rows"

echo "== workbook-bench convert"
"$bench" convert "$book" "$data/copy.csv" --repeat "$repeat" | tee "$data/ours.txt"
ours=$(sed -n 's/.*median \([0-9.]*\) s.*/\1/p' "$data/ours.txt")

echo "== xlsx2csv"
times=()
for _ in $(seq "$repeat"); do
  /usr/bin/time -f "%e %M" -o "$data/time.txt" xlsx2csv "$book" "$data/xlsx2csv.csv"
  read -r wall rss < "$data/time.txt"
  echo "run: $wall s, peak RSS $((rss / 1024)) MiB"
  times+=("$wall")
done
theirs=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (repeat + 1) / 2 ))p")
echo "median xlsx2csv $theirs s, workbook-bench $ours s: $(python3 -c "print(f'{$theirs / $ours:.1f}')") times faster"

if [ -n "$cli" ]; then
  # The same list as a CSV source: the table copy, as the tool binds it.
  mkdir -p "$data/book" "$data/text" "$data/cache"
  ln -f "$book" "$data/book/list.xlsx" 2>/dev/null || cp "$book" "$data/book/list.xlsx"
  mv "$data/copy.csv" "$data/text/list.csv"
  median() { sort -n | sed -n "$(( (repeat + 1) / 2 ))p"; }
  for kind in book text; do
    source="$data/$kind/list.xlsx"; [ "$kind" = text ] && source="$data/$kind/list.csv"
    echo "== emailclean-cli --export-all over $(basename "$source")"
    walls=()
    for _ in $(seq "$repeat"); do
      rm -f "$data/$kind"/list-*.csv
      XDG_CACHE_HOME="$data/cache" /usr/bin/time -f "%e %M" -o "$data/time.txt" \
        "$cli" --source "$source" --header --column email --export-all >/dev/null
      read -r wall rss < "$data/time.txt"
      echo "run: $wall s, peak RSS $((rss / 1024)) MiB"
      walls+=("$wall")
    done
    printf '%s\n' "${walls[@]}" | median > "$data/$kind.median"
  done
  cmp -s "$data/book/list-Export.csv" "$data/text/list-Export.csv" && same="the same" || same="DIFFERENT"
  echo "median export: workbook $(cat "$data/book.median") s, its CSV $(cat "$data/text.median") s;" \
       "the workbook costs $(python3 -c "print(f'{$(cat "$data/book.median") - $(cat "$data/text.median"):.2f}')") s more;" \
       "result files $same"
  rm -rf "$data/book" "$data/text" "$data/cache" "$data/book.median" "$data/text.median"
fi
rm -f "$data/copy.csv" "$data/xlsx2csv.csv" "$data/time.txt" "$data/ours.txt"
