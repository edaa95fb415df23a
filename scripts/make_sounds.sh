#!/usr/bin/env bash
# Regenerates every recording of the sample course and the drill sounds with espeak-ng and sox.
# Output: mono, 16-bit, 22050 Hz WAV, leading and trailing silence trimmed.
#   assets/media/字语音库/<character>.wav   character, then its first example word (Mandarin)
#   assets/media/诗语音库/<title>.wav       title, author and the poem's lines (Mandarin)
#   assets/media/英语语音库/<NAME>.wav      the English word (file name: the word in upper case,
#                                           spaces turned into "_"; the course JSON uses the same)
#   assets/media/S1.wav … S10.wav, ja.wav, jIAN.wav, dy.wav, cuo.wav, CM.wav   drill sounds
#   assets/media/default.wav                 the chime played in place of a name that names no
#                                           playable WAV (built into the program)
# Needs: espeak-ng, sox, python3 (apt-get install espeak-ng sox).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
media="$root/assets/media"
course="$root/assets/sample_course.json"

for tool in espeak-ng sox python3; do
  command -v "$tool" >/dev/null || { echo "make_sounds: $tool is missing" >&2; exit 1; }
done

# The plain "cmn" voice reads characters missing from its dictionary as pinyin with English tone
# numbers ("jing four"); the pinyin variant reads them as Mandarin.
zh=cmn-latn-pinyin

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# say VOICE OUT TEXT [espeak options...]: speak TEXT into OUT, trimmed and normalised.
say() {
  local voice="$1" out="$2" text="$3"
  shift 3
  if espeak-ng -v "$voice" "$@" -q -x -- "$text" | grep -q '(en)'; then
    echo "make_sounds: $voice falls back to English for: $text" >&2
  fi
  espeak-ng -v "$voice" "$@" -w "$tmp/raw.wav" -- "$text"
  # Trim silence at both ends (sox trims the front; reversing trims the back) and shorten pauses
  # inside to a quarter second, which keeps the files small; keep a short tail
  # so the last syllable does not end in a click, and bring every file to the same loudness.
  sox "$tmp/raw.wav" "$tmp/trim.wav" silence -l 1 0.01 0.3% -1 0.25 0.3% reverse silence 1 0.01 0.3% reverse
  sox "$tmp/trim.wav" -r 22050 -c 1 -b 16 "$out" norm -3 fade t 0.005 -0 0.02 pad 0 0.03
}

mkdir -p "$media/字语音库" "$media/诗语音库" "$media/英语语音库"

# One line per item: kind<TAB>sound file<TAB>what to say.
python3 - "$course" >"$tmp/items.tsv" <<'EOF'
import json, sys
course = json.load(open(sys.argv[1], encoding="utf-8"))
for item in course["character"]["items"]:
    words = item["text"].split()
    first_word = words[1] if len(words) > 1 else ""
    print("character", item["sound"], "，".join(w for w in (item["name"], first_word) if w), sep="\t")
for item in course["poem"]["items"]:
    lines = [l.rstrip("。，！？") for l in item["text"].replace("·", "，").split("\n")]
    print("poem", item["sound"], "。".join([item["name"]] + lines) + "。", sep="\t")
for item in course["english"]["items"]:
    print("english", item["sound"], item["name"], sep="\t")
EOF

while IFS=$'\t' read -r kind file text; do
  case "$kind" in
    character) say $zh "$media/字语音库/$file" "$text" -s 150 ;;
    poem) say $zh "$media/诗语音库/$file" "$text" -s 175 ;;
    english) say en-us "$media/英语语音库/$file" "$text" -s 140 ;;
  esac
done <"$tmp/items.tsv"

numbers=(一 二 三 四 五 六 七 八 九 十)
for i in "${!numbers[@]}"; do
  say $zh "$media/S$((i + 1)).wav" "${numbers[$i]}" -s 150
done
say $zh "$media/ja.wav" "加" -s 150
say $zh "$media/jIAN.wav" "减" -s 150
say $zh "$media/dy.wav" "等于" -s 150
# A gentle "not quite": lower pitch, quieter than the praise.
say $zh "$media/cuo.wav" "不对" -s 140 -p 35
sox "$media/cuo.wav" "$tmp/cuo.wav" vol 0.6 && mv "$tmp/cuo.wav" "$media/cuo.wav"
say $zh "$media/CM.wav" "真棒！" -s 150 -p 70

# The default sound: a soft two-note chime, short enough not to pass for a recording.
default_sound() {
  sox -n -r 22050 -c 1 -b 16 "$tmp/d1.wav" synth 0.14 sine 1175 fade q 0.004 0.14 0.09
  sox -n -r 22050 -c 1 -b 16 "$tmp/d2.wav" synth 0.26 sine 880 fade q 0.004 0.26 0.2
  sox "$tmp/d1.wav" "$tmp/d2.wav" "$media/default.wav" norm -6
}
default_sound

echo "make_sounds: $(find "$media" -name '*.wav' | wc -l) files, $(du -sh "$media" | cut -f1) in $media"
