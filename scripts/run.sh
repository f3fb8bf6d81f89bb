#!/usr/bin/env bash
# Set-up, build, then start the program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
exec "$root/build/app/emailclean" "$@"
