#!/usr/bin/env bash
# Builds the installed program and its Debian package:
# build/package/verbaro_<version>_<arch>.deb. Install it with
#   sudo apt-get install ./build/package/verbaro_*.deb
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/deps.sh
cmake --preset package >/dev/null
cmake --build --preset package -j "$(nproc)"
cpack --preset package
ls -1 "$root"/build/package/verbaro_*.deb
