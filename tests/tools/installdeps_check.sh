#!/usr/bin/env bash
# tools/install-deps.sh against stand-ins for id, dpkg-query, apt-get and sudo on a machine where nothing is
# installed: the packages a target asks for, each way sudo can be unusable, and package lists gone stale. Every
# case runs in a session of its own without a terminal, as from a desktop's launcher or a CI runner.
#   installdeps_check.sh <install-deps.sh> <scratch folder>
set -euo pipefail

script=$(realpath "$1")
folder=$2
rm -rf "$folder"
mkdir -p "$folder/bin"
trap 'rm -rf "$folder"' EXIT

# apt-get logs its updates and installs to $FAKE_LOG; an install fails with a 404 while $FAKE_LOG.stale exists,
# which an update removes unless FAKE_STALE is always. FAKE_SUDO: nopasswd, password (sudo needs one) or denied
# (the user has no rule).
cat >"$folder/bin/id" <<'EOF'
#!/bin/sh
echo "$FAKE_UID"
EOF
cat >"$folder/bin/dpkg-query" <<'EOF'
#!/bin/sh
exit 1
EOF
cat >"$folder/bin/apt-get" <<'EOF'
#!/bin/bash
case " $* " in
  *" --dry-run "*) ;;
  *" update "*) echo update >>"$FAKE_LOG"; [ "$FAKE_STALE" = always ] || rm -f "$FAKE_LOG.stale" ;;
  *" install "*)
    packages=()
    for word; do [[ $word == -* || $word == install ]] || packages+=("$word"); done
    echo "install ${packages[*]}" >>"$FAKE_LOG"
    if [ -e "$FAKE_LOG.stale" ]; then
      echo "E: Failed to fetch http://deb.example/pool/main/g++_1.0_amd64.deb  404  Not Found" >&2
      exit 100
    fi ;;
esac
EOF
cat >"$folder/bin/sudo" <<'EOF'
#!/bin/bash
if [ "$FAKE_SUDO" != nopasswd ]; then
  if [ "$1" = -n ] && [ "$2" = -v ] && [ "$FAKE_SUDO" = denied ]; then
    echo "Sorry, user player may not run sudo on host." >&2
  else
    echo "sudo: a password is required" >&2
  fi
  exit 1
fi
[ "$1" = -n ] && shift
FAKE_UID=0 exec "$@"
EOF
chmod +x "$folder/bin/"*
# Only the stand-ins and the tools the script uses are on the PATH; the second folder lacks sudo.
for tool in bash sh env grep sort rm true; do ln -s "$(type -P "$tool")" "$folder/bin/$tool"; done
mkdir "$folder/nosudo"
cp -P "$folder/bin/"* "$folder/nosudo/"
rm "$folder/nosudo/sudo"

failures=0
# check <name> <uid> <sudo: none|nopasswd|password|denied> <stale lists: no|once|always> <target> <exit code>
#       <patterns, one a line, that the apt-get calls or the output must match; ! before one: must not>
check() {
  local name=$1 uid=$2 sudo=$3 stale=$4 target=$5 expected=$6 patterns=$7
  local log="$folder/$name.log" path="$folder/bin" status=0
  [ "$sudo" = none ] && path="$folder/nosudo"
  : >"$log"
  [ "$stale" = no ] || : >"$log.stale"
  setsid -w env -i PATH="$path" FAKE_UID="$uid" FAKE_SUDO="$sudo" FAKE_STALE="$stale" FAKE_LOG="$log" \
    bash "$script" "$target" >"$folder/$name.out" 2>&1 </dev/null || status=$?
  local seen pattern
  seen=$(cat "$log" "$folder/$name.out")
  if [ "$status" -ne "$expected" ]; then
    echo "FAIL $name: exit code $status, expected $expected"$'\n'"$seen"
    failures=$((failures + 1))
    return
  fi
  while IFS= read -r pattern; do
    if [[ $pattern == !* ]]; then
      grep -qE -- "${pattern#!}" <<<"$seen" || continue
    elif grep -qE -- "$pattern" <<<"$seen"; then
      continue
    fi
    echo "FAIL $name: \"$pattern\" in"$'\n'"$seen"
    failures=$((failures + 1))
    return
  done <<<"$patterns"
}

# The game's packages, FluidSynth by name among them (some releases' SDL2_mixer merely recommends it).
game='^install .*libsdl2-mixer-dev
^install .*libfluidsynth3
^install .*timgm6mb-soundfont'
testLibraries='libgtest-dev|libgmock-dev|libbenchmark-dev|xvfb|xfonts-base|xdotool'
rootLine='^  apt-get install --no-install-recommends .*libfluidsynth3'

check play-installs-only-the-game 0 none no play 0 "$game
!$testLibraries"
check highscores-installs-only-the-game 0 none no highscores 0 "!$testLibraries"
check test-brings-the-test-libraries-and-the-x-server 0 none no test 0 "$game
libgtest-dev
libgmock-dev
xvfb
xfonts-base
xdotool"
check a-variable-alone-builds-everything 0 none no WERROR=ON 0 "libgtest-dev
!xvfb"
check stale-lists-are-refreshed-once 0 none once play 0 "^install
^update
Refreshing the package lists"
check lists-still-stale-show-apt-gets-lines 0 none always play 1 "^update
404  Not Found
apt-get could not install the packages"
check through-sudo-without-a-password 1000 nopasswd no play 0 "$game"
check no-sudo 1000 none no play 1 "there is no sudo here
$rootLine
!^install"
check sudo-needs-a-password-without-a-terminal 1000 password no play 1 "needs a password, but there is no terminal
$rootLine
!^install"
check user-may-not-use-sudo 1000 denied no play 1 "this user may not use sudo
$rootLine
!^install"

[ "$failures" -eq 0 ] || exit 1
echo "each case installs what it should, or says how to"
