#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when missing (the
# PostgreSQL server only for the tests: they start a throwaway cluster of their own).
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config git
      qt6-base-dev qt6-base-dev-tools libgl-dev libfontconfig-dev
      libsqlite3-dev libpq-dev postgresql
      libgtest-dev libgmock-dev googletest libbenchmark-dev libzint-dev libzbar-dev
      qt6-svg-dev libwmf-dev libemf2svg-dev fonts-urw-base35
      clang libclang-rt-14-dev
      xvfb xauth fonts-dejavu-core fonts-liberation2
      desktop-file-utils appstream man-db)
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
