#!/usr/bin/env bash
# The error box under a real X server without a window manager: the program starts in Xvfb in a scratch copy of
# the data folder that lacks the high-score table, so that its start-up fails with its window full screen; the
# box titled "Quillom unrecoverable error" must take the keyboard, and Return, sent once, end the program with
# exit code 1. Skipped (exit code 77) when Xvfb or xdotool is not installed.
#   errorbox_xserver_check.sh <quillom> <data folder> <scratch folder>
set -euo pipefail

source "$(dirname "$(realpath "$0")")/xserver_program.sh"
rm "$folder/highscores.txt"
startProgram 2>"$folder/stderr"

# SDL's box has no window class, and a name that xdotool's search cannot read (its WM_NAME is typed "UTF-8"): it
# is the visible window without a class that getwindowname names so.
findBox() {
  for candidate in $(xdotool search --onlyvisible --maxdepth 1 --class '^$' 2>/dev/null); do
    if [ "$(xdotool getwindowname "$candidate" 2>/dev/null)" = "Quillom unrecoverable error" ]; then
      echo "$candidate"
      return 0
    fi
  done
  return 1
}
box=
for _ in $(seq 300); do
  box=$(findBox) && break
  kill -0 "$game" 2>/dev/null || break
  sleep 0.1
done
# Where SDL can show no box (its own draws with the X server's core fonts, xfonts-base; zenity is the other),
# the program ends at once after writing the error to stderr.
if [ -z "$box" ] && awaitEnd && [ "$status" -eq 1 ] && grep -qx "Quillom unrecoverable error" "$folder/stderr"; then
  echo "SKIP: SDL could show no message box on Xvfb (xfonts-base gives its own box the fonts it needs)"
  exit 77
fi
if [ -z "$box" ]; then
  cat "$folder/stderr"
  echo "no error box titled \"Quillom unrecoverable error\" appeared"
  exit 1
fi
# Return goes to the window with the input focus, which should come to the box at once; sent once either way.
awaitFocus "$box" || echo "the box did not get the input focus; $(xdotool getwindowfocus getwindowname) has it"
xdotool key Return
if ! awaitEnd; then
  echo "the program still runs 30 s after Return in its error box"
  exit 1
fi
if [ "$status" -ne 1 ]; then
  echo "exit code $status, expected 1"
  exit 1
fi
echo "the error box took Return and the program ended with exit code 1"
