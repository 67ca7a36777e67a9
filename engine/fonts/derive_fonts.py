#!/usr/bin/python3
"""Derive the two fonts the engine loads at start-up from installed Debian fonts.

* Course Symbol: the Symbol-compatible font with a Unicode character map instead of
  byte codes, so text drawn with it (α, ∫, ⎛ …) is real Unicode in a PDF.
* Course Sans JP (Regular, Bold): the Japanese body font without the character-map
  entries of the Kangxi radicals and CJK radical supplement. Those code points share
  glyphs with common ideographs, and a PDF's text map keeps the lower code point,
  so "方" would be extracted as the radical "⽅".

Usage: derive_fonts.py OUTDIR
"""
import sys
from pathlib import Path

from fontTools.ttLib import TTFont, TTCollection
from fontTools.agl import toUnicode

SYMBOL = "/usr/share/fonts/opentype/urw-base35/StandardSymbolsPS.otf"
NOTO = {
    "Regular": "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
    "Bold": "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc",
}

# Glyph names of the Symbol font that the Adobe glyph list does not map, or maps
# to the private-use area: the pieces of large operators and brackets.
SYMBOL_PIECES = {
    "integraltp": 0x2320, "integralbt": 0x2321, "integralex": 0x23AE,
    "parenlefttp": 0x239B, "parenleftex": 0x239C, "parenleftbt": 0x239D,
    "parenrighttp": 0x239E, "parenrightex": 0x239F, "parenrightbt": 0x23A0,
    "bracketlefttp": 0x23A1, "bracketleftex": 0x23A2, "bracketleftbt": 0x23A3,
    "bracketrighttp": 0x23A4, "bracketrightex": 0x23A5, "bracketrightbt": 0x23A6,
    "bracelefttp": 0x23A7, "braceleftmid": 0x23A8, "braceleftbt": 0x23A9,
    "braceex": 0x23AA, "bracerighttp": 0x23AB, "bracerightmid": 0x23AC,
    "bracerightbt": 0x23AD, "arrowvertex": 0x23D0, "arrowhorizex": 0x23AF,
    "radicalex": 0x203E,
}


def rename(font, family):
    name = font["name"]
    for rec in list(name.names):
        if rec.nameID in (1, 3, 4, 6, 16, 17, 21, 22):
            name.removeNames(nameID=rec.nameID)
    style = "Bold" if font["OS/2"].usWeightClass >= 600 else "Regular"
    ps = family.replace(" ", "") + "-" + style
    for nid, value in ((1, family), (2, style), (3, ps), (4, f"{family} {style}"), (6, ps)):
        name.setName(value, nid, 3, 1, 0x409)
        name.setName(value, nid, 1, 0, 0)


def derive_symbol(out):
    font = TTFont(SYMBOL)
    mapping = {}
    for code, glyph in font.getBestCmap().items():
        uni = SYMBOL_PIECES.get(glyph)
        if uni is None:
            text = toUnicode(glyph)
            uni = ord(text) if len(text) == 1 and not 0xF000 <= ord(text) < 0xF900 else None
        if uni is None:
            uni = 0xF000 + code          # keep unmapped glyphs reachable
        mapping.setdefault(uni, glyph)
    for table in font["cmap"].tables:
        if table.isUnicode():
            table.cmap = dict(mapping)
    font["cmap"].tables = [t for t in font["cmap"].tables if t.isUnicode()]
    font["OS/2"].ulCodePageRange1 = 1  # Latin-1 (no symbol code page)
    # Line metrics of the Symbol font the pages were laid out with (ascent 1.005 em,
    # descent 0.22 em): its glyphs sit that much lower below the top of the text cell
    # than in the stand-in, whose tight 0.75/0.25 em line would raise every Greek
    # letter, integral half and bracket piece by about a quarter em.
    upm = font["head"].unitsPerEm
    ascent, descent = round(1.005 * upm), round(0.22 * upm)
    os2, hhea = font["OS/2"], font["hhea"]
    os2.usWinAscent, os2.usWinDescent = ascent, descent
    os2.sTypoAscender, os2.sTypoDescender, os2.sTypoLineGap = ascent, -descent, 0
    hhea.ascent, hhea.descent, hhea.lineGap = ascent, -descent, 0
    rename(font, "Course Symbol")
    font.save(out / "CourseSymbol.otf")


def drop_localised_forms(font):
    """Removes the 'locl' substitutions. Shaping picks them for digits beside Latin
    letters ("1s"), and those alternate glyphs are missing from a PDF's text map, so
    the digit would vanish from copied text. The font's default forms are Japanese."""
    gsub = font["GSUB"].table
    locl = {i for i, rec in enumerate(gsub.FeatureList.FeatureRecord) if rec.FeatureTag == "locl"}
    for script in gsub.ScriptList.ScriptRecord:
        systems = [script.Script.DefaultLangSys] + [r.LangSys for r in script.Script.LangSysRecord]
        for ls in systems:
            if ls is not None:
                ls.FeatureIndex = [i for i in ls.FeatureIndex if i not in locl]
                ls.FeatureCount = len(ls.FeatureIndex)


def derive_sans(out):
    radicals = set(range(0x2E80, 0x2F00)) | set(range(0x2F00, 0x2FE0))
    # Rarely used code points that share a glyph with a character Japanese text uses
    # (ʻ/‘, em space/ideographic space, figure dash/en dash, ‧/・, ‵/｀, ∕/／, 〈〉).
    radicals |= {0x02BB, 0x2003, 0x2012, 0x2027, 0x2035, 0x2215, 0x2329, 0x232A}
    for style, path in NOTO.items():
        coll = TTCollection(path, lazy=True)
        font = next(f for f in coll.fonts
                    if "Noto Sans CJK JP" == f["name"].getDebugName(1))
        for table in font["cmap"].tables:
            for cp in radicals & set(table.cmap):
                del table.cmap[cp]
        drop_localised_forms(font)
        rename(font, "Course Sans JP")
        font.save(out / f"CourseSansJP-{style}.otf")


if __name__ == "__main__":
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    derive_symbol(out)
    derive_sans(out)
