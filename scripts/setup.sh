#!/usr/bin/env bash
# setup.sh - installs what building and testing velmora needs, then builds
# and installs the velmora_native module. Safe to run again: it installs only
# what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

debian_packages=(g++ cmake ninja-build zlib1g-dev libssl-dev nlohmann-json3-dev libgtest-dev)
missing=()
for pkg in "${debian_packages[@]}"; do
  dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

python3 -m pip install -q --disable-pip-version-check --root-user-action=ignore "scikit-build-core>=0.10" pytest python-pptx lxml
# Built in build/ (kept between runs, so rebuilds are incremental).
python3 -m pip install -q --disable-pip-version-check --root-user-action=ignore --no-build-isolation \
  -Cbuild-dir=build/python -Ccmake.define.VELMORA_WERROR="${VELMORA_WERROR:-OFF}" .
