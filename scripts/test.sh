#!/usr/bin/env bash
# Set up, build the sanitizer (debug) configuration and run every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset debug >/dev/null
cmake --build --preset debug -j "$(nproc)"
# The fuzz targets, a fixed number of runs each over their seed corpora.
./scripts/fuzz.sh check
ctest --preset debug -j "$(nproc)"
