#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages the build, the tests and the game
# need, but only those that are missing. Runs as root or through sudo.
#   tools/install-deps.sh         what `make play` and `make test` need
#   tools/install-deps.sh fuzz    also the clang toolchain for `make fuzz`
#   tools/install-deps.sh xserver also Xvfb and xdotool, for the test that runs the game under a real X server
set -euo pipefail

packages=(
  g++ cmake ninja-build make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libsdl2-mixer-dev timgm6mb-soundfont
  libx11-dev
  libfreetype-dev fonts-dejavu-core
  libpng-dev
)
fuzz_packages=(clang libclang-rt-dev)
xserver_packages=(xvfb xdotool)

[ "${1:-}" = fuzz ] && packages+=("${fuzz_packages[@]}")
[ "${1:-}" = xserver ] && packages+=("${xserver_packages[@]}")

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive

echo "Installing: ${missing[*]}"
# Refresh the package lists once, and only when one of the packages is unknown.
if ! apt-get install --dry-run -qq "${missing[@]}" >/dev/null 2>&1; then
  "${sudo[@]}" apt-get update -qq
fi
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
