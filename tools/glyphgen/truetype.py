#!/usr/bin/env python3
"""Writes a TrueType copy of a music font for the printed pages.

    truetype.py SOURCE.otf TARGET.ttf FAMILY

PDF writers embed TrueType outlines, so a page names each glyph in a few
bytes instead of drawing its outline every time. The cubic outlines become
quadratic ones (within a thousandth of a staff space), the glyph order and
indexes stay as they are, and every glyph can be typed as U+E000 + its
index, the index the outline file names. The copy is a modified version
under the SIL Open Font License, which keeps the name "Emmentaler" for the
original: it is named FAMILY instead. Needs python3-fonttools.
"""
import sys

from fontTools.pens.cu2quPen import Cu2QuPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont, newTable
from fontTools.ttLib.tables._c_m_a_p import CmapSubtable

FIRST_CODE = 0xE000
LAST_CODE = 0xF8FF  # the end of the private use area


def rename(font, family):
    """Gives the font the family name `family` wherever a name is shown."""
    postscript = family.replace(' ', '')
    names = {1: family, 3: f'{postscript}-Regular', 4: family, 6: postscript, 16: family,
             17: 'Regular', 2: 'Regular'}
    table = font['name']
    table.names = [n for n in table.names if n.nameID not in names]
    for name_id, text in names.items():
        table.setName(text, name_id, 3, 1, 0x409)
        table.setName(text, name_id, 1, 0, 0)
    if 'CFF ' in font:
        font['CFF '].cff.fontNames = [postscript]


def convert(source, target, family):
    font = TTFont(source)
    if 'CFF ' not in font:
        raise SystemExit(f'{source}: no CFF outlines')
    order = font.getGlyphOrder()
    if len(order) > LAST_CODE - FIRST_CODE + 1:
        raise SystemExit(f'{source}: too many glyphs')
    glyphs = font.getGlyphSet()
    quadratic = {}
    for name in order:
        pen = TTGlyphPen(glyphs)
        glyphs[name].draw(Cu2QuPen(pen, 1.0, reverse_direction=True))
        quadratic[name] = pen.glyph()
    font['loca'] = newTable('loca')
    glyf = font['glyf'] = newTable('glyf')
    glyf.glyphOrder = order
    glyf.glyphs = quadratic
    del font['CFF ']
    if 'VORG' in font:
        del font['VORG']
    glyf.compile(font)
    hmtx = font['hmtx']
    for name, glyph in glyf.glyphs.items():
        if hasattr(glyph, 'xMin'):
            hmtx[name] = (hmtx[name][0], glyph.xMin)
    maxp = font['maxp'] = newTable('maxp')
    maxp.tableVersion = 0x00010000
    maxp.maxZones = 1
    for field in ('maxTwilightPoints', 'maxStorage', 'maxFunctionDefs', 'maxInstructionDefs',
                  'maxStackElements', 'maxSizeOfInstructions'):
        setattr(maxp, field, 0)
    maxp.maxComponentElements = max(
        (len(getattr(g, 'components', [])) for g in glyf.glyphs.values()), default=0)
    maxp.compile(font)
    post = font['post']
    post.formatType = 2.0
    post.extraNames = []
    post.mapping = {}
    post.glyphOrder = order
    # Every glyph by its index; nothing else is typed with this font.
    cmap = CmapSubtable.newSubtable(4)
    cmap.platformID, cmap.platEncID, cmap.language = 3, 1, 0
    cmap.cmap = {FIRST_CODE + i: name for i, name in enumerate(order) if i > 0}
    font['cmap'] = newTable('cmap')
    font['cmap'].tableVersion = 0
    font['cmap'].tables = [cmap]
    font['OS/2'].fsType = 0  # installable: the licence lets it go with documents
    rename(font, family)
    font.sfntVersion = '\0\1\0\0'
    font.save(target)


if __name__ == '__main__':
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    convert(sys.argv[1], sys.argv[2], sys.argv[3])
