#!/usr/bin/env bash
# Builds the Debian package from the build folder (scripts/build.sh first):
#   scripts/package.sh        writes build/emailclean_VERSION_ARCH.deb
# Install it with: sudo apt install ./build/emailclean_*.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root/build"
cpack -G DEB
ls -1 "$root"/build/emailclean_*.deb
