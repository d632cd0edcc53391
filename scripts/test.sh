#!/usr/bin/env bash
# test.sh - sets up, then runs every test: the C++ unit tests (GoogleTest),
# a replay of the fuzz seeds, and the Python suite against the installed module.
# Warnings are errors here, as in CI.
set -euo pipefail
cd "$(dirname "$0")/.."
export VELMORA_WERROR=ON
scripts/setup.sh

cmake -S . -B build/cpp -G Ninja -DVELMORA_BUILD_MODULE=OFF -DVELMORA_BUILD_TESTS=ON \
  -DVELMORA_BUILD_FUZZERS=ON -DVELMORA_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/cpp
ctest --test-dir build/cpp --output-on-failure -j2
# Each fuzz target replays the seeds of its reader: zip_*_fuzz the files in
# fuzz/corpus/zip/, xml_*_fuzz those in fuzz/corpus/xml/, and so on.
for target in build/cpp/fuzz/*_fuzz; do
  seeds="fuzz/corpus/$(basename "$target" | cut -d_ -f1)"
  if [ -d "$seeds" ]; then find "$seeds" -type f -print0 | xargs -0 -r "$target" >/dev/null; fi
done

python3 -m pytest -q tests/python "$@"
