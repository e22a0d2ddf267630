#!/usr/bin/env python3
"""Every text the shell passes to tr() and the engine to uiText() has a finished English translation.

    check_translations.py LUPDATE TS_FILE INCLUDE_DIR SOURCE...

lupdate reads the sources into a copy of the committed translation file, as
the update_translations target would: a text added or changed in the code
shows up there as unfinished. Each translation must be finished, not empty,
and free of Japanese script; no vanished texts are left behind.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET


def japanese(text):
    return any(0x3040 <= ord(c) <= 0x30FF or 0x4E00 <= ord(c) <= 0x9FFF or
               0xFF01 <= ord(c) <= 0xFF60 for c in text)


def main():
    lupdate, ts_file, include_dir, *sources = sys.argv[1:]
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, os.path.basename(ts_file))
        shutil.copyfile(ts_file, copy)
        subprocess.run([lupdate, "-silent", "-locations", "none", "-source-language", "ja",
                        "-tr-function-alias", "translate+=uiText",
                        "-I", include_dir, *sources, "-ts", copy], check=True)
        root = ET.parse(copy).getroot()
        count = 0
        for context in root.iter("context"):
            name = context.findtext("name")
            for message in context.iter("message"):
                count += 1
                source = message.findtext("source")
                translation = message.find("translation")
                kind = translation.get("type")
                text = translation.text or ""
                where = f"{name}: {source!r}"
                if kind in ("vanished", "obsolete"):
                    problems.append(f"{where} is no longer in the code")
                elif kind == "unfinished" or not text.strip():
                    problems.append(f"{where} has no English translation")
                elif japanese(text):
                    problems.append(f"{where} is translated with Japanese: {text!r}")
    if count == 0:
        problems.append("no texts found: lupdate read nothing")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
