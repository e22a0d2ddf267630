#!/usr/bin/env bash
# Installs the Debian packages Kelvara needs to build, run and test.
# Idempotent: packages already present are left alone and apt is not touched
# when nothing is missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev
  libfluidsynth-dev librtmidi-dev libasound2-dev
  libjpeg62-turbo-dev libfreetype-dev libpng-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  timgm6mb-soundfont fluid-soundfont-gm
  fonts-ipafont-gothic
  midicsv python3-mido poppler-utils
  libzip-dev libxml2-dev
  libxml2-utils
  xvfb xauth xdotool openbox x11-xserver-utils
)

# MusicXML exports are checked by an independent reader: MuseScore 3 (about
# 40 seconds and 100 MB to install).
packages+=(musescore3)

# Translations: Qt's linguist tools build the English interface; Qt's own
# Japanese texts for its dialogs.
packages+=(qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools qt6-translations-l10n)

# The install tree's checks: the desktop entry, AppStream and man page
# validators, the file type database and the desktop's file type queries.
packages+=(desktop-file-utils appstream shared-mime-info xdg-utils libglib2.0-bin groff-base)

# The fuzz targets (scripts/fuzz.sh): clang and its libFuzzer runtime.
packages+=(clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
  else
    echo "setup: these packages are missing and sudo is not available: ${missing[*]}" >&2
    exit 1
  fi
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
