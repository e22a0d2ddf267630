#!/bin/sh
# Builds glyphgen and rewrites every picture in onpu/, then checks their
# geometry. Needs the lilypond-fonts package (Emmentaler) and
# python3-fonttools; set EMMENTALER_DIR to use fonts from somewhere else.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${GLYPHGEN_BUILD_DIR:-$repo/build-glyphgen}

fontdir=${EMMENTALER_DIR:-$(ls -d /usr/share/lilypond/*/fonts/otf 2>/dev/null | sort -V | tail -n 1)}
if [ -z "$fontdir" ] || [ ! -f "$fontdir/emmentaler-20.otf" ] || [ ! -f "$fontdir/emmentaler-brace.otf" ]; then
  echo "regenerate.sh: Emmentaler fonts not found; install lilypond-fonts or set EMMENTALER_DIR" >&2
  exit 1
fi

generator=
if command -v ninja >/dev/null 2>&1; then generator="-G Ninja"; fi
# shellcheck disable=SC2086
cmake -S "$here" -B "$build" $generator -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build"

"$build/glyphgen" --font "$fontdir/emmentaler-20.otf" \
  --brace-font "$fontdir/emmentaler-brace.otf" --out "$repo/onpu"

# The TrueType copies the printed pages embed (outlines.txt names them),
# renamed as the font's licence asks of modified versions.
python=${PYTHON:-/usr/bin/python3}
"$python" "$here/truetype.py" "$fontdir/emmentaler-20.otf" "$repo/onpu/kelvara-music.ttf" \
  "Kelvara Music"
"$python" "$here/truetype.py" "$fontdir/emmentaler-brace.otf" "$repo/onpu/kelvara-brace.ttf" \
  "Kelvara Brace"

if "$python" -c 'import numpy, PIL' 2>/dev/null; then
  "$python" "$here/check_pictures.py" "$repo/onpu"
else
  echo "regenerate.sh: python3 with numpy and PIL not found; geometry checks skipped" >&2
fi
