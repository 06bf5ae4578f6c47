#!/usr/bin/env bash
# Installs the Debian packages that are missing. Usage: scripts/deps.sh run|test|package
set -euo pipefail

run_packages=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n
  libgl-dev libicu-dev libgsf-1-dev
  fonts-liberation fonts-dejavu-core fonts-urw-base35
  xvfb xauth
)
test_packages=(
  libgtest-dev libgmock-dev
  python3 python3-dbfread python3-xlrd python3-olefile
  poppler-utils gnumeric locales
)
# Making the Debian package and checking it (scripts/package).
package_packages=(
  dpkg-dev file xz-utils lintian desktop-file-utils appstream man-db
)

wanted=("${run_packages[@]}")
if [[ "${1:-run}" == test ]]; then
  wanted+=("${test_packages[@]}")
fi
if [[ "${1:-run}" == package ]]; then
  wanted+=("${package_packages[@]}")
fi

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
