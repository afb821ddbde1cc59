# What the checks of the real program under a real X server share; sourced by them, with the program, the data
# folder and a scratch folder as $1 to $3. It skips the check (exit code 77) when Xvfb or xdotool is not
# installed, makes the scratch folder a copy of the data folder (links to its files, the high-score table
# copied), starts Xvfb on a free display (DISPLAY), and gives startProgram, awaitFocus and awaitEnd. On exit it ends the
# program and Xvfb and removes the scratch folder.

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

# Starts the program in the scratch folder; game is its process.
startProgram() {
  unset SDL_VIDEODRIVER
  export SDL_AUDIODRIVER=dummy
  export LSAN_OPTIONS="suppressions='$(dirname "$(realpath "${BASH_SOURCE[0]}")")/program.supp':print_suppressions=0"
  (cd "$folder" && exec "$program") &
  game=$!
}

# Waits up to 10 s for the window given to have the input focus; fails if it has not.
awaitFocus() {
  for _ in $(seq 100); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

# Waits up to 30 s for the program to end: a generous bound, for a build with sanitizers on a busy machine; a
# program that exits ends the wait at once. Fails while it still runs; otherwise status is its exit code.
awaitEnd() {
  for _ in $(seq 300); do
    kill -0 "$game" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$game" 2>/dev/null; then
    return 1
  fi
  status=0
  wait "$game" || status=$?
  game=
}
