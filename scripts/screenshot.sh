#!/bin/sh
# Pictures of the main window and the standard dialogs under a virtual X
# server, for a look by eye:
#   scripts/screenshot.sh [BUILD_DIR] [OUT_DIR]
# Writes window-empty.png, window-data.png, window-domain.png,
# window-workbook.png, window-chart.png, window-chart-all.png (and -whole.png, the whole chart),
# window-check.png (the domain check page after a check),
# message.png, failure.png, file-dialog.png and folder-browser.png, and for
# long work window-progress.png (the progress dialog during a full export of
# a generated list) and window-summary.png (its completion message and summary).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
out=${2:-$build/screenshots}
mkdir -p "$out"
cmake --build "$build" --target window_screenshot dialog_screenshot long_work_screenshot >/dev/null
tool=$build/tests/app/window_screenshot

sample=$(mktemp -d)
trap 'rm -rf "$sample"' EXIT
# A small GBK list with a header line.
printf 'email,name\r\nalice@qq.com,\325\305\310\375\r\nbob@163.com,\300\356\313\304\r\ncarol@qq.com,x\r\nbad-address,y\r\nwebmaster@site.com,z\r\n' \
  > "$sample/list.csv"
# The same list in UTF-8 with a byte-order mark, as a spreadsheet saves "CSV UTF-8".
printf '\357\273\277email,name\r\nalice@qq.com,张三\r\nbob@163.com,李四\r\n' > "$sample/list-utf8.csv"
# A larger one for the chart: 40 domains, from 60 addresses down to 21.
awk 'BEGIN { printf "email\r\n"; for (d = 0; d < 40; d++) for (i = 0; i < 60 - d; i++) printf "u%d@mail%02d.com\r\n", i, d }' \
  > "$sample/domains.csv"

run() { xvfb-run -a -s "-screen 0 1280x800x24" "$tool" "$@"; }
run "$out/window-empty.png"
run "$out/window-data.png" "$sample/list.csv"
run "$out/window-utf8.png" "$sample/list-utf8.csv"
# A workbook of three worksheets (openpyxl), for the worksheet drop-down.
/usr/bin/python3 - "$sample/名单.xlsx" <<'PY'
import sys, openpyxl
book = openpyxl.Workbook()
book.active.title = "说明"
sheet = book.create_sheet("名单")
for row in [("email", "name", "phone"), ("alice@qq.com", "张三", 13800138000), ("bob@163.com", "李四", 13900139000),
            ("carol@qq.com", "王五", None), ("bad-address", "赵六", 42)]:
    sheet.append(row)
book.create_sheet("退订").append(["x@qq.com"])
book.save(sys.argv[1])
PY
run "$out/window-workbook.png" "$sample/名单.xlsx"
run "$out/window-domain.png" "$sample/list.csv" domain
run "$out/window-chart.png" "$sample/domains.csv" chart
run "$out/window-chart-all.png" "$sample/domains.csv" chart-all
# The domain check over a list with typo, disposable and role addresses.
printf 'email\r\nli@163.cm\r\nwang@163.cm\r\nzhang@qq.con\r\nwu@gmial.com\r\nadmin@example.com\r\nkefu@example.com\r\nfoo@mailinator.com\r\nok@126.com\r\n' \
  > "$sample/checks.csv"
run "$out/window-check.png" "$sample/checks.csv" check
xvfb-run -a -s "-screen 0 1280x800x24" "$build/tests/app/dialog_screenshot" "$out"
xvfb-run -a -s "-screen 0 1280x800x24" "$build/tests/app/long_work_screenshot" "$out"
echo "written to $out"
