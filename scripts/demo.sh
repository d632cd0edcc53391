#!/usr/bin/env bash
# demo.sh - sets up, then inspects the bundled sample deck and prints its parts.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
python3 scripts/demo.py "${1:-samples/sample.pptx}"
