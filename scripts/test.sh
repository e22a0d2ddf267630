#!/usr/bin/env bash
# Set up, build the sanitizer (debug) configuration and run every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset debug >/dev/null
cmake --build --preset debug
ctest --preset debug
# The fuzz targets, a fixed number of runs each over their seed corpora.
./scripts/fuzz.sh check
