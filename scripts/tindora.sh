#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Set up a Debian 12 machine for Tindora and build it, then either start the program or run the
# tests. Installs only the packages that are missing; quick when everything is in place.
#   scripts/tindora.sh run    build and start the program (embedded database, sample course)
#   scripts/tindora.sh test   build and run the whole test suite
#   scripts/tindora.sh package  build the Debian package build/tindora_<version>_<arch>.deb
set -euo pipefail
mode=${1:-run}
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build"

# libqt6opengl6-dev: Debian's qt6-charts-dev needs it for CMake but does not depend on it.
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-charts-dev libqt6opengl6-dev
  qt6-qpa-plugins qt6-translations-l10n libqt6sql6-odbc libqt6sql6-sqlite unixodbc unixodbc-dev libsqliteodbc
  odbc-postgresql libsdl2-dev fonts-noto-cjk libquazip1-qt6-dev libespeak-ng-dev libbz2-dev
  unicode-data)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# --- stroke-order data for the writing screen (npm package hanzi-writer-data), fetched once ---
"$top/scripts/fetch_stroke_data.sh"
strokes="$top/downloads/hanzi-writer-data-2.0.1.tgz"
# A build set up before the data was fetched looks for it again.
if [ -f "$build/build.ninja" ] && [ "$strokes" -nt "$build/CMakeCache.txt" ]; then
  cmake "$build" >/dev/null
fi
# --- end of the stroke-order data ---

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build"

case "$mode" in
  run)
    # The drill's sounds are looked up in the working folder, which holds them beside the program.
    cd "$build" && exec ./tindora
    ;;
  test)
    cd "$build" && ctest --output-on-failure -j"$(nproc)"
    ;;
  package)
    cd "$build" && rm -f tindora_*.deb && cpack -G DEB
    ;;
  *)
    echo "usage: $0 run|test|package" >&2
    exit 2
    ;;
esac
