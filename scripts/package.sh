#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package build/vornx_<version>_<arch>.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
cd build
cpack -G DEB
echo "install it with: sudo apt install ./build/$(ls vornx_*.deb | tail -n 1)"
