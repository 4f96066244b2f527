#!/usr/bin/env bash
# Installs the packages the build and the tests need (Debian). Runs as root,
# or through sudo when available; does nothing for packages already present.
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev python3 python3-dbf python3-dbfread
          firebird3.0-server-core libfbclient2 firebird-dev firebird3.0-utils
          qt6-base-dev libgl-dev xvfb xauth)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q "${missing[@]}"
