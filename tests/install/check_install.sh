#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the tree as a desktop
# sees it: the launcher entry, the description and the man page pass their
# validators, the file types are known, and a score opens with the editor,
# from the desktop as well.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

id=org.kelvara.Kelvara
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

for file in bin/kelvara share/kelvara/onpu/tohe.bmp share/kelvara/onpu/2x/tohe.png \
    share/kelvara/onpu/4x/tohe.png \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/mime/packages/$id.xml share/icons/hicolor/scalable/apps/$id.svg \
    share/man/man1/kelvara.1 share/doc/kelvara/README.md \
    share/doc/kelvara/LICENSE-Emmentaler.txt \
    share/kelvara/translations/kelvara_en.qm; do
  [ -s "$prefix/$file" ] || fail "not installed: $file"
done
for size in 16 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x$size/apps/$id.png
  # The PNG's width is the 4 bytes at offset 16, big-endian.
  width=$(od -An -tu1 -j16 -N4 "$png" 2>/dev/null | awk '{print $1*16777216+$2*65536+$3*256+$4}')
  [ "$width" = "$size" ] || fail "icon $size is ${width:-missing} pixels wide"
done

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --explain "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate"
warnings=$(groff -man -ww -z "$prefix/share/man/man1/kelvara.1" 2>&1)
[ -z "$warnings" ] || fail "man page: $warnings"
"$prefix/bin/kelvara" --version | grep -q '^kelvara ' || fail "the installed program does not run"

# The file types, as a desktop's file manager asks for them.
export XDG_DATA_DIRS=$prefix/share:/usr/share XDG_DATA_HOME=$prefix/home-data
export HOME=$prefix XDG_CONFIG_HOME=$prefix/config XDG_CURRENT_DESKTOP=GNOME
printf '\x07\x00\x04\x04\x78\x00\x00' > "$prefix/song.zqf3"
printf 'MThd\x00\x00\x00\x06\x00\x01\x00\x01\x03\xc0' > "$prefix/song.zqf2"
cp "$prefix/song.zqf2" "$prefix/part.zqf"
check_type() {
  local got
  got=$(xdg-mime query filetype "$prefix/$1")
  [ "$got" = "$2" ] || fail "$1 is $got, not $2"
}
check_type song.zqf3 application/x-kelvara-score
check_type song.zqf2 application/x-kelvara-tracks
check_type part.zqf application/x-kelvara-track
for type in application/x-kelvara-score application/x-kelvara-tracks application/x-kelvara-track; do
  got=$(xdg-mime query default "$type")
  [ "$got" = "$id.desktop" ] || fail "$type opens with '$got'"
done

# Opened as a file manager opens it, the score starts the editor on itself:
# a window whose caption names the file. Needs an X server (Xvfb).
if command -v Xvfb >/dev/null && command -v gio >/dev/null && command -v xdotool >/dev/null; then
  Xvfb -displayfd 3 -nolisten tcp -auth "$prefix/no-auth" 3>"$prefix/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do [ -s "$prefix/display" ] && break; sleep 0.1; done
  if [ -s "$prefix/display" ]; then
    # The editor goes to this X server, whatever platform the tests chose.
    unset QT_QPA_PLATFORM
    export DISPLAY=:$(cat "$prefix/display") PATH=$prefix/bin:$PATH
    gio open "$prefix/song.zqf3" || fail "gio open song.zqf3"
    window=
    for _ in $(seq 300); do
      window=$(xdotool search --name 'song\.zqf3' 2>/dev/null | head -1) && [ -n "$window" ] && break
      sleep 0.1
    done
    [ -n "$window" ] || fail "opening song.zqf3 shows no editor window with its name"
    for pid in $(pgrep -f "kelvara $prefix/song.zqf3"); do
      kill "$pid"
      for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      kill -0 "$pid" 2>/dev/null && { fail "the editor does not end on SIGTERM"; kill -9 "$pid"; }
    done
  else
    echo "no X server: opening a score from the desktop is not checked" >&2
  fi
  kill "$xvfb"
  wait "$xvfb" 2>/dev/null || true
fi
exit $failed
