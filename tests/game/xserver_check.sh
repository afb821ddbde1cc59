#!/usr/bin/env bash
# The real program under a real X server: it starts in Xvfb in a scratch copy of the data folder, its window
# appears titled "Quillom 1.0", and EXIT, reached with the keys Escape, Down x 3 and Return sent once as soon as
# the window has the input focus, ends it with exit code 0. Skipped (exit code 77) when Xvfb or xdotool is not
# installed.
#   xserver_check.sh <quillom> <data folder> <scratch folder>
set -euo pipefail

source "$(dirname "$(realpath "$0")")/xserver_program.sh"
startProgram

window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Quillom 1\.0$' | head -n 1) || true
if [ -z "$window" ]; then
  echo "no window titled \"Quillom 1.0\" appeared"
  exit 1
fi
# The keys go to the window with the input focus: wait until that is the game's, then send them once. A key the
# program loses is a fault, not something to send again.
if ! awaitFocus "$window"; then
  echo "the window did not get the input focus"
  exit 1
fi
xdotool key --delay 100 Escape Down Down Down Return
if ! awaitEnd; then
  echo "the program still runs 30 s after Escape, Down x 3 and Return (EXIT)"
  exit 1
fi
if [ "$status" -ne 0 ]; then
  echo "exit code $status, expected 0"
  exit 1
fi
echo "the window appeared titled \"Quillom 1.0\" and EXIT ended the program with exit code 0"
