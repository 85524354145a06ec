#!/usr/bin/env bash
# scripts/render-clips.sh <out-dir>: renders the voice clip set of the read-outs.
# Words are spoken by espeak-ng's Japanese voice from kana; the signal tones are synthesised by
# sox. Every clip is trimmed of leading and trailing silence, normalised and written as mono
# 16-bit 22050 Hz WAV. Rendering is reproducible byte for byte (no random dither: sox -R).
set -euo pipefail
out="$1"
for tool in espeak-ng sox; do
    command -v "$tool" >/dev/null 2>&1 ||
        { echo "render-clips: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

format=(-r 22050 -c 1 -b 16 -e signed-integer)
trim=(silence 1 0.005 0.5% reverse silence 1 0.005 0.5% reverse)

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
    espeak-ng -v ja -z -w "$work/$name.wav" "$text"
    sox -R "$work/$name.wav" "${format[@]}" "$out/$name.wav" "${trim[@]}" norm -1
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
    sox -R -n "${format[@]}" "$out/$name.wav" synth "$length" "$shape" "$pitch" \
        fade 0.005 "$length" 0.01 norm -3
done
# "pipi": two "pi" with a short gap between.
sox -R -n "${format[@]}" "$work/gap.wav" trim 0 0.06
sox -R "$out/pi.wav" "$work/gap.wav" "$out/pi.wav" "$out/pipi.wav"
