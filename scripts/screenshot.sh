#!/bin/sh
# Pictures of the main window under a virtual X server, for a look by eye:
#   scripts/screenshot.sh [BUILD_DIR] [OUT_DIR]
# Writes window-empty.png, window-data.png and window-domain.png.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
out=${2:-$build/screenshots}
mkdir -p "$out"
cmake --build "$build" --target window_screenshot >/dev/null
tool=$build/tests/app/window_screenshot

sample=$(mktemp -d)
trap 'rm -rf "$sample"' EXIT
# A small GBK list with a header line.
printf 'email,name\r\nalice@qq.com,\325\305\310\375\r\nbob@163.com,\300\356\313\304\r\ncarol@qq.com,x\r\nbad-address,y\r\nwebmaster@site.com,z\r\n' \
  > "$sample/list.csv"

run() { xvfb-run -a -s "-screen 0 1280x800x24" "$tool" "$@"; }
run "$out/window-empty.png"
run "$out/window-data.png" "$sample/list.csv"
run "$out/window-domain.png" "$sample/list.csv" domain
echo "written to $out"
