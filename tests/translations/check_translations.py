#!/usr/bin/env python3
"""Every text the shell passes to tr() and the engine to uiText() has a finished English translation.

    check_translations.py LUPDATE TS_FILE INCLUDE_DIR SOURCE...

lupdate reads the sources into a copy of the committed translation file, as
the update_translations target would: a text added or changed in the code
shows up there as unfinished. Each translation must be finished, not empty,
and free of Japanese script; no vanished texts are left behind.

A Japanese string in the sources that lupdate did not read would reach the
English interface untranslated: each one is a text for tr() or uiText(),
unless it is one of the few below that stay Japanese in every interface.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

# Texts that stay Japanese whatever the interface's language, by file.
KEPT_JAPANESE = {
    # Part names as the score files, MusicXML and printed pages carry them.
    "score/editor_state.cpp": {"パーカッション", "10パート", "パート",
                               # the octave label; the shell translates its key word
                               "[↓キ－]　←", "→ [↑キ－]"},
    # The language list names each language in its own words.
    "dialogs/credit_dialog.cpp": {"日本語"},
    # The command line's modes run without the interface's translations.
    "app/main.cpp": {": メモリが足りません (out of memory)\\n"},
    "files/convert_command.cpp": {"ファイル ", " を作成できません（音声の書き出しがありません）"},
    # A test double's port errors.
    "sound/fake_midi_input.h": {"使用中です", "ありません"},
}


def japanese(text):
    return any(0x3000 <= ord(c) <= 0x30FF or 0x4E00 <= ord(c) <= 0x9FFF or
               0xFF01 <= ord(c) <= 0xFF60 for c in text)


LITERAL = re.compile(r'"((?:\\.|[^"\\\n])*)"')
COMMENT = re.compile(r'//[^\n]*|/\*.*?\*/', re.S)


def string_literals(code):
    """The string literals of C++ code, adjacent ones joined, comments left out.
    Character literals are dropped first, so '"' opens no string."""
    code = re.sub(r"'(?:\\.|[^'\\\n])'", "' '", code)
    pieces, texts = [], []
    at = 0
    while True:
        comment = COMMENT.search(code, at)
        literal = LITERAL.search(code, at)
        if literal is None:
            break
        if comment is not None and comment.start() < literal.start():
            at = comment.end()
            continue
        between = code[pieces[-1][1]:literal.start()] if pieces else None
        if between is not None and between.strip() == "":
            pieces[-1] = (pieces[-1][0] + literal.group(1), literal.end())
        else:
            if pieces:
                texts.append(pieces[-1][0])
            pieces.append((literal.group(1), literal.end()))
        at = literal.end()
    if pieces:
        texts.append(pieces[-1][0])
    return texts


def unescape(text):
    return re.sub(r'\\(.)', lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), text)


def untranslated_literals(sources, include_dir, read_texts):
    problems = []
    for source in sources:
        name = os.path.relpath(source, include_dir)
        kept = KEPT_JAPANESE.get(name, set())
        with open(source, encoding="utf-8") as f:
            for text in string_literals(f.read()):
                if japanese(text) and text not in kept and unescape(text) not in read_texts:
                    problems.append(f"{name}: {text!r} reaches the interface untranslated "
                                    "(give it to uiText() or tr())")
    return problems


def main():
    lupdate, ts_file, include_dir, *sources = sys.argv[1:]
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, os.path.basename(ts_file))
        shutil.copyfile(ts_file, copy)
        subprocess.run([lupdate, "-silent", "-locations", "none", "-source-language", "ja",
                        "-tr-function-alias", "translate+=uiText,QT_TRANSLATE_NOOP+=uiTextMark",
                        "-I", include_dir, *sources, "-ts", copy], check=True)
        root = ET.parse(copy).getroot()
        count = 0
        read_texts = set()
        for context in root.iter("context"):
            name = context.findtext("name")
            for message in context.iter("message"):
                count += 1
                source = message.findtext("source")
                read_texts.update({source, message.findtext("comment")})
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
    problems += untranslated_literals(sources, include_dir, read_texts)
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
