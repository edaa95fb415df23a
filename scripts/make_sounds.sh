#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerates every recording of the sample course and the drill sounds with tindora_speak, which
# speaks exactly as the item editor's "合成" does (espeak-ng in process, same voices, speeds and
# tidying). Output: mono, 16-bit, 22050 Hz WAV, leading and trailing silence trimmed.
#   assets/media/字语音库/<character>.wav   the pinyin (else the character), then its first example word
#   assets/media/诗语音库/<title>.wav       title, author and the poem's lines
#   assets/media/英语语音库/<NAME>.wav      the English word (file name: the word in upper case,
#                                           spaces turned into "_"; the course JSON uses the same)
#   assets/media/S1.wav … S10.wav, ja.wav, jIAN.wav, dy.wav, cuo.wav, CM.wav   drill sounds
#   assets/media/default.wav                 the chime played in place of a name that names no
#                                           playable WAV (built into the program)
# Builds tindora_speak in build/ (or $TINDORA_BUILD) first; the chime needs sox.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
media="$root/assets/media"
build="${TINDORA_BUILD:-$root/build}"

[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target tindora_speak
speak="$build/tindora_speak"

mkdir -p "$media/字语音库" "$media/诗语音库" "$media/英语语音库"
"$speak" --course "$root/assets/sample_course.json" --media "$media"

# say OUT TEXT [options...]: a drill sound, spoken as a character item.
say() {
  local out="$1" text="$2"
  shift 2
  "$speak" --kind character --name "$text" "$@" "$out"
}
numbers=(一 二 三 四 五 六 七 八 九 十)
for i in "${!numbers[@]}"; do
  say "$media/S$((i + 1)).wav" "${numbers[$i]}"
done
say "$media/ja.wav" "加"
say "$media/jIAN.wav" "减"
say "$media/dy.wav" "等于"
# A gentle "not quite": slower, lower pitch, quieter than the praise.
say "$media/cuo.wav" "不对" --rate 140 --pitch 35 --volume 0.6
say "$media/CM.wav" "真棒！" --pitch 70

# The default sound: a soft two-note chime, short enough not to pass for a recording.
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
sox -n -r 22050 -c 1 -b 16 "$tmp/d1.wav" synth 0.14 sine 1175 fade q 0.004 0.14 0.09
sox -n -r 22050 -c 1 -b 16 "$tmp/d2.wav" synth 0.26 sine 880 fade q 0.004 0.26 0.2
sox "$tmp/d1.wav" "$tmp/d2.wav" "$media/default.wav" norm -6

echo "make_sounds: $(find "$media" -name '*.wav' | wc -l) files, $(du -sh "$media" | cut -f1) in $media"
