#!/usr/bin/env bash
# Set up, build the release configuration and start the editor.
# Arguments are passed to the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release
exec ./build/release/app/kelvara "$@"
