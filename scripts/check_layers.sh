#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file includes one from a higher floor (docs/ARCHITECTURE.md, "Layers"),
# or when anything outside a window built as a module of its own includes that window's files.
# Floors from the bottom: controls, platform, data, app, the modules, then src/*.cpp itself.
# The modules stand in one order too, each on a floor of its own, so that no two of them can
# include each other, whether directly or round a loop.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)/src"
declare -A floor=([controls]=0 [platform]=1 [data]=2 [app]=3
  [packs]=4 [lessons]=5 [children]=6 [arithmetic]=7 [writing]=8 [editors]=9 [review]=10
  [printing]=11 [records]=12 [top]=13)
# controls/ stands on Qt alone: it may include nothing of ours but itself.
# Modules loaded on demand, each a group of files: only the group's own files include them, or
# their code and libraries (Qt Charts for the learning record, QuaZip for the lesson packs) would be
# linked into start-up again. The packs are reached through packs/pack_code.h and pack_seam.cpp.
on_demand=("records/record_window" "printing/print_window"
  "packs/pack_export packs/pack_import packs/pack_manifest packs/pack_zip packs/pack_module packs/pack_course")
status=0
while IFS= read -r -d '' file; do
  rel=${file#"$src"/}
  from=top
  [[ $rel == */* ]] && from=${rel%%/*}
  [[ -n ${floor[$from]+x} ]] || { echo "$rel: folder $from has no floor" >&2; status=1; continue; }
  while IFS= read -r target; do
    if [[ $target == */* ]]; then to=${target%%/*}
    elif [[ -f $src/$target ]]; then to=top
    else continue  # a generated file beside the one that includes it
    fi
    for module in "${on_demand[@]}"; do
      if [[ " $module " == *" ${target%.*} "* && " $module " != *" ${rel%.*} "* ]]; then
        echo "$rel includes $target: that file is in a module loaded on demand" >&2
        status=1
      fi
    done
    [[ -n ${floor[$to]+x} ]] || continue
    if (( floor[$to] > floor[$from] )) || { [[ $from == controls && $to != controls ]]; }; then
      echo "$rel includes $target: $to/ is above $from/" >&2
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$src" \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)
[ $status -eq 0 ] && echo "layers: no include runs upward, none reaches into a module loaded on demand"
exit $status
