#!/usr/bin/env bash
# Set up, build the editor (release, nothing else: no tests, no benchmarks)
# and start it. Arguments are passed to the editor. Running it again builds
# only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target kelvara -j "$(nproc)"
exec ./build/release/app/kelvara "$@"
