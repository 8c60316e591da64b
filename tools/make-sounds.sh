#!/usr/bin/env bash
# Regenerates the game's recordings in resources/sounds/: spoken calls made
# with espeak-ng, effects made with sox. Every file is 22050 Hz mono 16-bit
# PCM WAV, trimmed of silence and kept short so the whole set stays small.
# Both tools are deterministic here (sox with a fixed seed), so a run on the
# same Debian release reproduces the committed files byte for byte.
#
#   bash tools/make-sounds.sh [OUTPUT-FOLDER]
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/resources/sounds}"
bash "$root/tools/install-deps.sh" --authoring

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

fmt=(-r 22050 -c 1 -b 16 -e signed-integer)

# finish NAME INPUT: trims leading and trailing silence, softens the edges,
# levels the peak and writes NAME.wav.
finish() {
    sox -R "$2" "${fmt[@]}" "$work/$1.trim.wav" silence 1 0.01 0.4% reverse silence 1 0.01 0.4% reverse
    sox -R "$work/$1.trim.wav" "$out/$1.wav" fade q 0.004 -0 0.03 norm -2
}

# say NAME VOICE SPEED PITCH TEXT: a spoken call.
say() {
    espeak-ng -v "$2" -s "$3" -p "$4" -w "$work/$1.raw.wav" "$5"
    finish "$1" "$work/$1.raw.wav"
}

# effect NAME SOX-ARGS...: a synthesised effect from nothing.
effect() {
    local name="$1"
    shift
    sox -R -n "${fmt[@]}" "$work/$name.raw.wav" "$@"
    finish "$name" "$work/$name.raw.wav"
}

# piece FILE SOX-ARGS...: one part of an effect joined from several parts.
piece() {
    local file="$1"
    shift
    sox -R -n "${fmt[@]}" "$work/$file" "$@"
}

gap() { piece "$1" trim 0 "$2"; }

# joined NAME PART...: the parts one after another.
joined() {
    local name="$1"
    shift
    sox -R "${@/#/$work/}" "$work/$name.raw.wav"
    finish "$name" "$work/$name.raw.wav"
}

caller="en-us"
for n in 15 16 17 18 19 20; do
    words=(fifteen sixteen seventeen eighteen nineteen twenty)
    say "wav$n" "$caller" 230 45 "${words[$((n - 15))]}!"
done
say bull "$caller" 220 45 "Bull!"
say dbull "$caller" 230 45 "Double bull!"
say miss "$caller" 220 40 "Miss."
say turn "$caller" 220 45 "Your turn."
say entered "$caller" 240 50 "Player entered."
say winner "$caller" 230 60 "We have a winner!"

# The new turn call: a rising two-note chime, then a lighter voice.
piece chime1.wav synth 0.09 sine 880 fade q 0.004 0.09 0.06 gain -6
piece chime2.wav synth 0.14 sine 1320 fade q 0.004 0.14 0.11 gain -6
espeak-ng -v en-us+f3 -s 240 -p 60 -w "$work/turnnew.voice.wav" "Your turn!"
sox -R "$work/turnnew.voice.wav" "${fmt[@]}" "$work/voice.wav" \
    silence 1 0.01 0.4% reverse silence 1 0.01 0.4% reverse norm -4
joined turnnew chime1.wav chime2.wav voice.wav

# The dice landing: seven clicks with uneven gaps, each a little softer.
clicks=()
gains=(0 -1 -3 -2 -5 -7 -10)
gaps=(0.045 0.03 0.06 0.035 0.07 0.05 0)
for i in 0 1 2 3 4 5 6; do
    piece "click$i.wav" synth 0.028 whitenoise band 2600 1500 fade q 0.001 0.028 0.024 gain "${gains[$i]}"
    clicks+=("click$i.wav")
    if [ "${gaps[$i]}" != 0 ]; then
        gap "gap$i.wav" "${gaps[$i]}"
        clicks+=("gap$i.wav")
    fi
done
joined dice1 "${clicks[@]}"

say wave1 en-us+m3 170 35 "D'oh!"
# Cough: a hard burst, then a shorter, softer one.
piece cough1.wav synth 0.2 pinknoise band 650 500 overdrive 8 fade q 0.006 0.2 0.16
gap coughgap.wav 0.09
piece cough2.wav synth 0.14 pinknoise band 600 450 overdrive 8 fade q 0.006 0.14 0.11 gain -4
joined wave2 cough1.wav coughgap.wav cough2.wav
say wave3 "$caller" 220 55 "Hello!"
say wave4 "$caller" 230 50 "Thank you."
say wave5 "$caller" 260 50 "Where have you been?"
# Snoring: a rattling breath in, a quiet whistle out.
piece snore1.wav synth 0.5 brownnoise tremolo 38 70 lowpass 500 fade h 0.2 0.5 0.2
piece snore2.wav synth 0.25 pinknoise band 1800 300 fade h 0.08 0.25 0.15 gain -18
joined wave6 snore1.wav snore2.wav
say wave7 en-us+f2 260 70 "Ah-choo!"
say wave8 "$caller" 210 40 "Sorry."
say wave9 "$caller" 220 50 "Welcome!"
say wave10 en-us+m3 230 80 "Yee haa!"
say wave11 en-us+f3 230 85 "Yippee!"
say wave12 "$caller" 200 35 "Oh no!"
# Applause: bright noise broken up by two uneven flutters.
effect wave13 synth 0.55 whitenoise band 2200 1600 tremolo 11 80 tremolo 17 60 fade q 0.04 0.55 0.25
# Honk: two detuned square horns, slightly overdriven.
effect wave14 synth 0.4 square 330 square mix 415 gain -8 lowpass 2500 overdrive 6 fade q 0.01 0.4 0.06
say wave15 en-us+f3 170 60 "Ooooh!"
# Razzberry: a buzzing low sawtooth, fluttering lips.
effect wave16 synth 0.5 sawtooth 95 tremolo 29 85 gain -8 lowpass 1800 overdrive 12 fade q 0.02 0.5 0.12
say wave17 en-us+m3 220 70 "Hooray!"
say wave18 en-us+f3 280 90 "Ha ha ha!"
say wave19 en-us+m1 260 20 "Ha ha ha!"
# Crying: two falling wails with a sobbing tremble.
piece wail1.wav synth 0.35 sawtooth 620:430 tremolo 8 45 gain -8 lowpass 1400 fade h 0.05 0.35 0.12
gap wailgap.wav 0.05
piece wail2.wav synth 0.38 sawtooth 560:360 tremolo 7 50 gain -8 lowpass 1300 fade h 0.05 0.38 0.18
joined wave20 wail1.wav wailgap.wav wail2.wav

count=$(find "$out" -maxdepth 1 -name '*.wav' | wc -l)
total=$(du -cb "$out"/*.wav | tail -1 | cut -f1)
echo "make-sounds: $count recordings, $total bytes in $out"
