#!/usr/bin/env bash
# Installs the Debian packages vorgrd needs to build, test, benchmark, fuzz and take
# screenshots. Idempotent: asks dpkg first and only calls apt-get for what is missing,
# so a machine that has everything returns in well under a second.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libsqlite3-dev qt6-tools-dev qt6-tools-dev-tools
  qt6-tools-private-dev
  qt6-base-private-dev
  libgl-dev libglx-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  xvfb xauth fonts-dejavu-core
  designer-qt6 libqt6opengl6-dev binutils
  xclip
  libxlsxwriter-dev libzip-dev
)

# Named packages instead of the list above (the interoperability installer uses this).
[ $# -gt 0 ] && packages=("$@")

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "$(basename "$0"): installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
