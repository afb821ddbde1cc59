#!/usr/bin/env bash
# The real program under a real X server: it starts in Xvfb in a scratch copy of the data folder, its window
# appears titled "Quillom 1.0", and EXIT, reached with the keys Escape, Down x 3 and Return, ends it with exit
# code 0. Skipped (exit code 77) when Xvfb or xdotool is not installed.
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
export LSAN_OPTIONS="suppressions=$(dirname "$(realpath "$0")")/program.supp:print_suppressions=0"
(cd "$folder" && exec "$program") &
game=$!

if ! timeout 30 xdotool search --sync --name '^Quillom 1\.0$' >/dev/null; then
  echo "no window titled \"Quillom 1.0\" appeared"
  exit 1
fi

# The keys go to the focused window. Start-up may make the window anew, and keys sent before the main loop
# runs can be lost: the sequence is sent again while the program still runs.
for _ in 1 2 3; do
  sleep 2
  kill -0 "$game" 2>/dev/null || break
  xdotool key --delay 100 Escape Down Down Down Return
  for _ in $(seq 50); do
    kill -0 "$game" 2>/dev/null || break
    sleep 0.1
  done
done

if kill -0 "$game" 2>/dev/null; then
  echo "the program still runs after EXIT"
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
