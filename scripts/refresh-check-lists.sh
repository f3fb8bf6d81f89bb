#!/usr/bin/env bash
# Refreshes the dated snapshots of the two public lists the address checks
# ship (data/), from their npm packages, with the machine's npm and node:
#   scripts/refresh-check-lists.sh [DISPOSABLE_VERSION [ROLE_VERSION]]
# Without versions it takes the latest of each.  The build and the tests never
# need the network: they read the snapshots in data/.  Review the diff (git
# diff --stat data/) before committing; the program's own lists
# (known-domains.txt, real-providers.txt, role-addresses-pinyin.txt) are not
# touched.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
today="$(date -u +%Y-%m-%d)"

fetch() {  # package version -> unpacked into $work/$package
  local wanted="$1${2:+@$2}"
  (cd "$work" && npm pack --silent "$wanted" >/dev/null)
  mkdir -p "$work/$1"
  tar xzf "$work"/"$1"-*.tgz -C "$work/$1"
}
published() {  # package version -> the day the registry published it
  npm view "$1@$2" "time[$2]" 2>/dev/null | cut -c1-10
}

# Disposable domains: disposable-email-domains-js, dist/dict/disposable_email_blocklist.json (CC0).
fetch disposable-email-domains-js "${1:-}"
pkg="$work/disposable-email-domains-js/package"
version="$(node -p "require('$pkg/package.json').version")"
{
  echo "# Disposable-mail domains: a snapshot of the npm package disposable-email-domains-js"
  echo "# $version (licence CC0-1.0), file dist/dict/disposable_email_blocklist.json,"
  echo "# published $(published disposable-email-domains-js "$version"), taken $today by scripts/refresh-check-lists.sh."
  echo "# Its data come from the disposable-email-domains project.  Do not edit: entries"
  echo "# flagged by mistake go to real-providers.txt, which always wins."
  node -e "for (const d of require('$pkg/dist/dict/disposable_email_blocklist.json')) console.log(d.trim().toLowerCase())" \
    | LC_ALL=C sort -u
} > "$work/disposable-domains.txt"

# Role local parts: role-based-email-addresses, src/index.js (MIT; its licence travels with the list).
fetch role-based-email-addresses "${2:-}"
pkg="$work/role-based-email-addresses/package"
version="$(node -p "require('$pkg/package.json').version")"
{
  echo "# Role mailboxes: a snapshot of the npm package role-based-email-addresses"
  echo "# $version, file src/index.js (the exported list),"
  echo "# published $(published role-based-email-addresses "$version"), taken $today by scripts/refresh-check-lists.sh."
  echo "# Do not edit: the pinyin roles are in role-addresses-pinyin.txt.  Its licence:"
  echo "#"
  sed 's/^/# /; s/ $//' "$pkg/LICENSE"
  echo
  node -e "for (const r of require('$pkg/src/index.js')) console.log(String(r).trim().toLowerCase())" \
    | LC_ALL=C sort -u
} > "$work/role-addresses.txt"

cp "$work/disposable-domains.txt" "$work/role-addresses.txt" "$root/data/"
echo "data/disposable-domains.txt: $(grep -vc '^#' "$root/data/disposable-domains.txt") domains"
echo "data/role-addresses.txt: $(grep -v '^#' "$root/data/role-addresses.txt" | grep -c .) local parts"
