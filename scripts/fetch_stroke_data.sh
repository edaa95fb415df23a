#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fetches the stroke-order data (npm package hanzi-writer-data 2.0.1, Arphic Public License) into
# downloads/, once: the build converts it into the program's stroke file. Checks the package's
# published integrity and removes a tarball that does not match.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir="$top/downloads"
tarball="$dir/hanzi-writer-data-2.0.1.tgz"
integrity="nbQwM+MaryGoq7pBMIZLCd3lFq03nXuJuwku1+6UbjL58uU+9OULVcMkoNvNuJSoIV7f1bbPRfD4D/LQa5S7qg=="

matches() { [ "$(openssl dgst -sha512 -binary "$tarball" | base64 -w0)" = "$integrity" ]; }

if [ -f "$tarball" ] && matches; then exit 0; fi
if ! command -v npm >/dev/null; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends npm
fi
mkdir -p "$dir"
rm -f "$tarball"
(cd "$dir" && npm pack --silent hanzi-writer-data@2.0.1 >/dev/null)
if ! matches; then
  rm -f "$tarball"
  echo "hanzi-writer-data-2.0.1.tgz does not match its published integrity" >&2
  exit 1
fi
echo "stroke data fetched: $tarball"
