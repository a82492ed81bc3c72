#!/usr/bin/env bash
# Installs the Debian packages the project needs; does nothing when all are present.
set -euo pipefail
PKGS=(build-essential cmake ninja-build ccache qt6-base-dev qt6-base-dev-tools libqt6svg6 libsqlite3-dev sqlite3
      libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth fonts-wqy-microhei
      qt6-httpserver-dev qt6-websockets-dev)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "deps: all packages present"
  exit 0
fi
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
