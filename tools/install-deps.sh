#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages that the make targets named need, but only those that are missing:
#   tools/install-deps.sh [target...]
# Every target needs the compiler, the build tools, the libraries, the fonts, the soundfont and FluidSynth (which
# SDL2_mixer opens only to play MIDI, so some releases merely recommend it); the others need more:
#   play, highscores   nothing more: the program and its data files
#   bench              the benchmark library
#   fuzz*              the clang toolchain
#   format             clang-format
#   test*, xserver     the test libraries, and Xvfb, its core fonts (SDL's X11 message box draws with them) and
#                      xdotool for the tests that run the game under a real X server
#   others, or none    the test libraries: the whole build
# make's variables and options add nothing. Installs as root, or through sudo; where sudo cannot be used (there
# is none, the user may not use it, or it needs a password and there is no terminal) it names the command to run
# as root and stops.
set -euo pipefail

packages=(
  g++ cmake ninja-build make pkg-config
  libsdl2-dev libsdl2-mixer-dev libfluidsynth3 timgm6mb-soundfont
  libx11-dev
  libfreetype-dev fonts-dejavu-core
  libpng-dev
)
testPackages=(libgtest-dev libgmock-dev libbenchmark-dev)
# make builds its first target, `all`, when none is named.
goals=()
for word in "$@"; do
  case $word in
    *=* | -*) ;;
    *) goals+=("$word") ;;
  esac
done
[ ${#goals[@]} -eq 0 ] && goals=(all)
for target in "${goals[@]}"; do
  case $target in
    play | highscores) ;;
    bench) packages+=(libbenchmark-dev) ;;
    fuzz*) packages+=(clang libclang-rt-dev) ;;
    format) packages+=(clang-format) ;;
    test* | xserver) packages+=("${testPackages[@]}" xvfb xfonts-base xdotool) ;;
    *) packages+=("${testPackages[@]}") ;;
  esac
done

missing=()
for package in $(printf '%s\n' "${packages[@]}" | sort -u); do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if ! command -v apt-get >/dev/null; then
  echo "There is no apt-get here to install what Quillom needs; these are the packages by their Debian names:" >&2
  echo "  ${missing[*]}" >&2
  echo "Install your distribution's packages of the same, then run make with -o deps (e.g. make -o deps play)." >&2
  exit 1
fi

# A fresh machine may have no package lists yet: refresh them only when one of the packages is unknown.
update=false
apt-get install --dry-run -qq "${missing[@]}" >/dev/null 2>&1 || update=true

# Where sudo cannot install them, the line to run as root instead.
cannotInstall() {
  local line="apt-get install --no-install-recommends ${missing[*]}"
  $update && line="apt-get update && $line"
  echo "Quillom needs packages that are not installed, and $1. Run as root:" >&2
  echo "  $line" >&2
  exit 1
}

asRoot=(env DEBIAN_FRONTEND=noninteractive)
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || cannotInstall "there is no sudo here"
  if ! sudo -n true 2>/dev/null; then
    # Validating tells a user without any rule so before asking for a password; its text is the only sign.
    answer=$(LC_ALL=C sudo -n -v 2>&1) || true
    [[ $answer == *"may not run sudo"* ]] && cannotInstall "this user may not use sudo"
    { : </dev/tty; } 2>/dev/null || cannotInstall "sudo needs a password, but there is no terminal to type it in"
    sudo -v || cannotInstall "sudo did not accept the password"
  fi
  asRoot=(sudo "${asRoot[@]}")
fi

refreshed=false
refresh() {
  "${asRoot[@]}" apt-get update -qq
  refreshed=true
}
install() {
  "${asRoot[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

echo "Installing: ${missing[*]}"
$update && refresh
if ! install; then
  # Lists older than the archive name versions it no longer has (404): refresh them once and try again.
  if ! $refreshed; then
    echo "Refreshing the package lists and trying again."
    refresh
    install && exit 0
  fi
  echo "apt-get could not install the packages; its messages are above." >&2
  exit 1
fi
