#!/usr/bin/env bash
# scripts/render-clips.sh <out-dir>: renders the voice clip set of the read-outs.
# Words are spoken by espeak-ng's Japanese voice from kana; the signal tones are synthesised by
# sox. Every clip is trimmed of leading and trailing silence, faded in and out over 5 ms so that
# it starts and ends on zero, brought to a set loudness (EBU R128, measured by ffmpeg's
# loudnorm; the voice at one level, the tones a little below it, since they sound over it) and
# written as mono 16-bit 22050 Hz WAV. Rendering is reproducible byte for byte (no random
# dither: sox -R; the loudness is applied as a plain gain).
set -euo pipefail
out="$1"
for tool in espeak-ng sox ffmpeg; do
    command -v "$tool" >/dev/null 2>&1 ||
        { echo "render-clips: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

format=(-r 22050 -c 1 -b 16 -e signed-integer)
trim=(silence 1 0.005 0.5% reverse silence 1 0.005 0.5% reverse)
fades=(fade h 0.005 reverse fade h 0.005 reverse)
voice_lufs=-21
tone_lufs=-24

# loudness <wav>: its integrated loudness in LUFS. A clip is shorter than the measure's 400 ms
# blocks, so it is measured repeated.
loudness() {
    sox "$1" "$work/repeated.wav" repeat 40
    ffmpeg -hide_banner -nostats -i "$work/repeated.wav" -af loudnorm=print_format=json -f null - 2>&1 |
        sed -n 's/.*"input_i" : "\(.*\)".*/\1/p'
}
# level <wav> <LUFS> <out>: the clip at that loudness.
level() {
    local gain
    gain=$(awk -v want="$2" -v have="$(loudness "$1")" 'BEGIN { printf "%.2f", want - have }')
    sox -R "$1" "$3" vol "${gain}dB"
}

# name  text for espeak-ng: kana, or phonemes in [[...]] where its kana rules go wrong
# (っ before ぴゃ comes out as /h/; びょう, きゅう, じゅう need the long-vowel mark).
words=(
    "rei れい" "ichi いち" "ni に" "san さん" "yon よん" "go ご" "roku ろく" "nana なな"
    "hachi はち" "kyuu きゅー" "yo よ" "ku く" "jyuu じゅー" "hyaku ひゃく" "byaku びゃく"
    "roppyaku [[r\`opp_j'aku]]" "happyaku [[happ_j'aku]]" "sen せん" "zen ぜん"
    "hassen はっせん" "man まん" "oku おく" "jkan じかん" "ippun いっぷん" "roppun ろっぷん"
    "happun はっぷん" "jyuppun じゅっぷん" "fun ふん" "pun ぷん" "byo びょー" "lap らっぷ"
    "laptime らっぷたいむ" "total とーたる"
)
for entry in "${words[@]}"; do
    name="${entry%% *}"
    text="${entry#* }"
    espeak-ng -v ja -z -w "$work/spoken.wav" "$text"
    sox -R "$work/spoken.wav" "${format[@]}" "$work/$name.wav" "${trim[@]}" norm -1 "${fades[@]}"
    level "$work/$name.wav" "$voice_lufs" "$out/$name.wav"
done

# name  sox synth arguments: short tones of distinct pitch and length.
tones=(
    "pi 0.08 sine 2000"
    "pa 0.12 sine 1000"
    "po 0.15 sine 660"
    "goo 0.6 square 220"
)
for entry in "${tones[@]}"; do
    read -r name length shape pitch <<<"$entry"
    sox -R -n "${format[@]}" "$work/$name.wav" synth "$length" "$shape" "$pitch" \
        fade 0.005 "$length" 0.01 norm -3
    level "$work/$name.wav" "$tone_lufs" "$out/$name.wav"
done
# "pipi": two "pi" with a short gap between.
sox -R -n "${format[@]}" "$work/gap.wav" trim 0 0.06
sox -R "$work/pi.wav" "$work/gap.wav" "$work/pi.wav" "$work/pipi.wav"
level "$work/pipi.wav" "$tone_lufs" "$out/pipi.wav"
