#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages that the make targets named need, but only those that are missing:
#   tools/install-deps.sh [target...]
# Every target needs the compiler, the build tools, the libraries, the fonts and the soundfont; these need more:
#   test*, xserver   Xvfb and xdotool, for the test that runs the game under a real X server
#   fuzz*            the clang toolchain
#   format           clang-format
# Other names, make's variables among them, add nothing. Installs as root, or through sudo; without sudo it names
# the command to run as root and stops.
set -euo pipefail

packages=(
  g++ cmake ninja-build make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libsdl2-mixer-dev timgm6mb-soundfont
  libx11-dev
  libfreetype-dev fonts-dejavu-core
  libpng-dev
)
for target in "$@"; do
  case $target in
    test* | xserver) packages+=(xvfb xdotool) ;;
    fuzz*) packages+=(clang libclang-rt-dev) ;;
    format) packages+=(clang-format) ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
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

asRoot=(env DEBIAN_FRONTEND=noninteractive)
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    line="apt-get install --no-install-recommends ${missing[*]}"
    $update && line="apt-get update && $line"
    echo "Quillom needs packages that are not installed, and there is no sudo here. Run as root:" >&2
    echo "  $line" >&2
    exit 1
  fi
  asRoot=(sudo "${asRoot[@]}")
fi

echo "Installing: ${missing[*]}"
if $update; then
  "${asRoot[@]}" apt-get update -qq
fi
"${asRoot[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
