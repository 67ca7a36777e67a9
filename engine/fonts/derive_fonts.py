#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Derive the fonts the engine loads at start-up from installed Debian fonts.

* Course Symbol: the Symbol-compatible font with a Unicode character map instead of
  byte codes, so text drawn with it (α, ∫, ⎛ …) is real Unicode in a PDF. The map
  comes from SymbolCodes.txt beside this script, the table the engine translates
  Symbol runs with.
* Course Sans JP (Regular, Bold): the Japanese body font without the character-map
  entries of the Kangxi radicals and CJK radical supplement. Those code points share
  glyphs with common ideographs, and a PDF's text map keeps the lower code point,
  so "方" would be extracted as the radical "⽅". The font is cut down to what Japanese
  course text uses (kana, the JIS X 0208 kanji, Latin, Greek, punctuation and the
  common symbol blocks), a seventh of the source font's size.

Usage: derive_fonts.py OUTDIR
"""
import sys
from pathlib import Path

from fontTools.ttLib import TTFont, TTCollection
from fontTools import subset

SYMBOL = "/usr/share/fonts/opentype/urw-base35/StandardSymbolsPS.otf"
NOTO = {
    "Regular": "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
    "Bold": "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc",
}

CODE_TABLE = Path(__file__).with_name("SymbolCodes.txt")


def symbol_codes(path=CODE_TABLE):
    """The byte code → Unicode table: lines "code U+XXXX glyphname", # comments."""
    table = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        fields = line.split("#", 1)[0].split()
        if not fields:
            continue
        if len(fields) < 2 or not fields[1].startswith("U+"):
            raise SystemExit(f"{path}: bad line: {line!r}")
        table[int(fields[0])] = int(fields[1][2:], 16)
    return table


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
    codes = symbol_codes()
    mapping = {}
    for code, glyph in font.getBestCmap().items():
        if code not in codes:
            raise SystemExit(f"{CODE_TABLE}: no entry for the Symbol font's code {code}")
        mapping.setdefault(codes[code], glyph)
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


def jis_x_0208():
    """Every character of JIS X 0208 (row/cell 0x21..0x7E each, as EUC-JP bytes)."""
    chars = set()
    for row in range(0xA1, 0xFF):
        for cell in range(0xA1, 0xFF):
            try:
                chars.add(ord(bytes((row, cell)).decode("euc_jp")))
            except UnicodeDecodeError:
                pass
    return chars


# Blocks Japanese course text draws from besides JIS X 0208: Latin, Greek, general
# punctuation, super- and subscripts, letterlike symbols, number forms, arrows,
# mathematical operators, technical symbols, box drawing, geometric shapes, CJK
# punctuation, kana and the full- and half-width forms.
BLOCKS = [
    (0x0020, 0x007E), (0x00A0, 0x024F), (0x02B0, 0x02FF), (0x0370, 0x03FF),
    (0x1D00, 0x1DBF), (0x2000, 0x214F), (0x2150, 0x218F), (0x2190, 0x23FF),
    (0x2460, 0x24FF), (0x2500, 0x27BF), (0x3000, 0x30FF), (0x31F0, 0x31FF),
    (0xFF00, 0xFFEF),
]

# Code points dropped from the Japanese font's character map. The Kangxi radicals
# and the CJK radical supplement share glyphs with common ideographs; so do a few
# rarely used code points with a character Japanese text uses (ʻ/‘, em space/
# ideographic space, figure dash/en dash, ‧/・, ‵/｀, ∕/／, 〈〉).
DROPPED = (set(range(0x2E80, 0x2FE0)) |
           {0x02BB, 0x2003, 0x2012, 0x2027, 0x2035, 0x2215, 0x2329, 0x232A})


def sans_coverage():
    chars = jis_x_0208()
    for first, last in BLOCKS:
        chars.update(range(first, last + 1))
    return chars - DROPPED


def subset_sans(font, unicodes):
    options = subset.Options()
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.recalc_bounds = False      # keep the font's own line metrics and bounds
    options.drop_tables += ["vhea", "vmtx", "VORG"]  # no vertical text
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=unicodes)
    subsetter.subset(font)


def derive_sans(out):
    coverage = sans_coverage()
    for style, path in NOTO.items():
        coll = TTCollection(path, lazy=True)
        font = next(f for f in coll.fonts
                    if "Noto Sans CJK JP" == f["name"].getDebugName(1))
        drop_localised_forms(font)
        subset_sans(font, coverage & set(font.getBestCmap()))
        for table in font["cmap"].tables:
            for cp in DROPPED & set(table.cmap):
                del table.cmap[cp]
        rename(font, "Course Sans JP")
        font.save(out / f"CourseSansJP-{style}.otf")


if __name__ == "__main__":
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    derive_symbol(out)
    derive_sans(out)
