#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the scheduler's reference again with ts-fsrs 5.4.2 (MIT, fetched from npm and checked
# against its published digest; used only here) and fails when it differs from the committed
# tests/review/fsrs_reference.tsv that test_fsrs compares our scheduler with.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v node >/dev/null; then
  # Only when no Node.js is there: Debian's packages would conflict with one installed otherwise.
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends nodejs
fi
"$top/scripts/fetch_npm_data.sh" ts-fsrs 5.4.2 \
  cf8aa8a78a734dcc93cee279eba77d11a5ffe1b659ce161f79a3c899f56bfb17184fae5ce680601438a3521084fc3f82efc79aa251c884a459d38fd1c05fafda \
  "$top/downloads"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tar -xzf "$top/downloads/ts-fsrs-5.4.2.tgz" -C "$work"
node "$top/tests/review/make_fsrs_reference.cjs" "$work/package" >"$work/reference.tsv"
diff -u "$top/tests/review/fsrs_reference.tsv" "$work/reference.tsv" >"$work/diff" || {
  head -40 "$work/diff"
  echo "ts-fsrs now schedules differently from tests/review/fsrs_reference.tsv" >&2
  exit 1
}
echo "fsrs reference: ts-fsrs 5.4.2 gives the committed results"
