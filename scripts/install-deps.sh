#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, only those missing.
set -euo pipefail
# The window: Qt Widgets and Charts, Qt's Chinese standard texts, the CJK font,
# rsvg-convert for the icon.  The desktop files' validators and the Debian
# package's tools (dpkg-shlibdeps, file) for the install tests.  Workbooks:
# libzip, libxml2 and FreeXL read them; libxlsxwriter and Python's openpyxl and
# xlwt write the tests' workbooks; xlsx2csv is the benchmark's comparison.
# The address checks: libidn2 (internationalised domains), c-ares (DNS
# lookups), and dnsmasq, the DNS server the tests start on 127.0.0.1.
# clang with its sanitizer and libFuzzer runtimes for the fuzz targets
# (scripts/fuzz.sh, run by scripts/test.sh).
packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev
          qt6-base-dev qt6-charts-dev qt6-translations-l10n libgl-dev fonts-noto-cjk librsvg2-bin
          desktop-file-utils appstream dpkg-dev file
          libzip-dev libxml2-dev libfreexl-dev libxlsxwriter-dev python3-openpyxl python3-xlwt xlsx2csv
          libidn2-dev libc-ares-dev dnsmasq-base
          xvfb xauth python3 clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
