#!/usr/bin/env bash
# The real program under a real X server: it starts in Xvfb in a scratch copy of the data folder, its window
# appears titled "Quillom 1.0", and EXIT, reached with the keys Escape, Down x 3 and Return sent once as soon as
# the window has the input focus, ends it with exit code 0. Skipped (exit code 77) when Xvfb or xdotool is not
# installed.
#   xserver_check.sh <quillom> <data folder> <scratch folder>
set -euo pipefail

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (tools/install-deps.sh xserver installs it)"
    exit 77
  fi
done

program=$(realpath "$1")
data=$(realpath "$2")
folder=$3

xvfb=
game=
cleanUp() {
  [ -n "$game" ] && kill "$game" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$folder"
}
trap cleanUp EXIT

rm -rf "$folder"
mkdir -p "$folder"
for file in "$data"/*; do
  ln -s "$file" "$folder/"
done
rm "$folder/highscores.txt"
cp "$data/highscores.txt" "$folder/"

# Tests run in parallel: Xvfb picks a free display and writes its number once it accepts clients.
displayFile="$folder/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayFile" 2>"$folder/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$displayFile" ] && break
  kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb did not start:"; cat "$folder/xvfb.log"; exit 1; }
  sleep 0.1
done
[ -s "$displayFile" ] || { echo "Xvfb gave no display"; exit 1; }
export DISPLAY=":$(head -n 1 "$displayFile")"

unset SDL_VIDEODRIVER
export SDL_AUDIODRIVER=dummy
export LSAN_OPTIONS="suppressions='$(dirname "$(realpath "$0")")/program.supp':print_suppressions=0"
(cd "$folder" && exec "$program") &
game=$!

window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Quillom 1\.0$' | head -n 1) || true
if [ -z "$window" ]; then
  echo "no window titled \"Quillom 1.0\" appeared"
  exit 1
fi
# The keys go to the window with the input focus: wait until that is the game's, then send them once. A key the
# program loses is a fault, not something to send again.
for _ in $(seq 100); do
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$window" ] && break
  sleep 0.1
done
if [ "$(xdotool getwindowfocus 2>/dev/null)" != "$window" ]; then
  echo "the window did not get the input focus"
  exit 1
fi
xdotool key --delay 100 Escape Down Down Down Return
# A generous bound, for a build with sanitizers on a busy machine; a program that exits ends the wait at once.
for _ in $(seq 300); do
  kill -0 "$game" 2>/dev/null || break
  sleep 0.1
done

if kill -0 "$game" 2>/dev/null; then
  echo "the program still runs 30 s after Escape, Down x 3 and Return (EXIT)"
  exit 1
fi
status=0
wait "$game" || status=$?
game=
if [ "$status" -ne 0 ]; then
  echo "exit code $status, expected 0"
  exit 1
fi
echo "the window appeared titled \"Quillom 1.0\" and EXIT ended the program with exit code 0"
