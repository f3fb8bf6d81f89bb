#!/bin/sh
# `cmake --install` into a temporary prefix lays out exactly the programs,
# the desktop entry, the icons and the AppStream metainfo, and the two
# desktop files pass their validators (when these are installed):
#   check_install.sh BUILD_DIR APP_ID
set -eu
build=$1
id=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

(cd "$prefix" && find . -type f | sed 's|^\./||' | sort) > "$work/installed"
sed "s/ID/$id/" "$here/expected_files.txt" | sort > "$work/expected"
diff -u "$work/expected" "$work/installed" || fail "installed files differ from the expected list"

for program in emailclean emailclean-cli textsql; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done

icons=$prefix/share/icons/hicolor
file "$icons/48x48/apps/$id.png" | grep -q "PNG image data, 48 x 48" || fail "48 pixel icon"
file "$icons/256x256/apps/$id.png" | grep -q "PNG image data, 256 x 256" || fail "256 pixel icon"
grep -q "<svg" "$icons/scalable/apps/$id.svg" || fail "scalable icon is not SVG"

entry=$prefix/share/applications/$id.desktop
for line in "Name=Email地址清理" "Exec=emailclean %f" "Icon=$id" "Categories=Office;Utility;" \
            "MimeType=text/csv;text/plain;application/vnd.openxmlformats-officedocument.spreadsheetml.sheet;application/vnd.ms-excel;" "Terminal=false" "Type=Application"; do
  grep -qxF "$line" "$entry" || fail "desktop entry lacks: $line"
done
grep -q "^Comment=" "$entry" && grep -q "^Comment\[zh_CN\]=" "$entry" || fail "desktop entry lacks a comment in both languages"

metainfo=$prefix/share/metainfo/$id.metainfo.xml
grep -qF "<id>$id</id>" "$metainfo" || fail "metainfo id"
grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "metainfo launchable"

checked=0
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "desktop-file-validate"
  checked=$((checked + 1))
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
  checked=$((checked + 1))
fi
echo "install layout as expected; $checked of 2 validators ran"
