#!/bin/sh
# The Debian package built from the already built tree: its name, version,
# Depends from the shared libraries, Recommends, and the files it holds:
#   check_package.sh BUILD_DIR APP_ID VERSION
set -eu
build=$1
id=$2
version=$3
here=$(cd "$(dirname "$0")" && pwd)
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack -G DEB -B "$out" --config "$build/CPackConfig.cmake" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; fail "cpack"; }
deb=$(ls "$out"/emailclean_*.deb)
[ "$(basename "$deb")" = "emailclean_${version}_$(dpkg --print-architecture).deb" ] || fail "package file name $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = emailclean ] || fail "Package"
[ "$(field Version)" = "$version" ] || fail "Version"
[ "$(field Recommends)" = "fonts-noto-cjk, qt6-translations-l10n, xdg-utils" ] || fail "Recommends: $(field Recommends)"
depends=$(field Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6charts6; do
  echo "$depends" | grep -q "$library" || fail "Depends lacks $library: $depends"
done

# The files, as dpkg-deb lists them: the installed layout under /usr.
dpkg-deb -c "$deb" > "$out/contents"
awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' "$out/contents" | sort > "$out/listed"
sed "s/ID/$id/; s|^|usr/|" "$here/expected_files.txt" | sort > "$out/expected"
diff -u "$out/expected" "$out/listed" || fail "package files differ from the expected list"
grep -q "^-rwxr-xr-x .* ./usr/bin/emailclean$" "$out/contents" || fail "usr/bin/emailclean is not executable"
echo "package $(basename "$deb") as expected; Depends: $depends"
