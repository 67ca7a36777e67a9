#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Seeds for the parser fuzzers: every string literal the pages draw, in the input
format of each fuzzer. Usage: seed_corpus.py OUTDIR SOURCE..."""

import hashlib
import os
import re
import sys

LITERAL = re.compile(r'(?:u8|u|U|L)?"((?:[^"\\\n]|\\.)*)"')
CALL = re.compile(r'\b(\w+)\(\s*(?:[\d.]+\s*,\s*)?(?:QStringLiteral\(|q\()?(?:u8|u)?"((?:[^"\\\n]|\\.)*)"\)?'
                  r'(?:\s*,\s*(?:QStringLiteral\(|q\()?(?:u8|u)?"((?:[^"\\\n]|\\.)*)"\)?)?')

# Numbers the pages compute and draw at run time.
NUMBERS = ["1.6875", "-2.8617", "79.02", "-77.87", "1E-05", ".5", "-.25", "27/16", "1.5E+16"]


def unescape(s):
    return re.sub(r'\\(u[0-9a-fA-F]{4}|x[0-9a-fA-F]{2}|.)', lambda m: decode(m.group(1)), s)


def decode(e):
    if e[0] == 'u':
        return chr(int(e[1:], 16))
    if e[0] == 'x':
        return chr(int(e[1:], 16))
    return {'n': '\n', 't': '\t', '0': '\0'}.get(e, e)


def write(outdir, name, data):
    folder = os.path.join(outdir, name)
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, hashlib.sha1(data).hexdigest())
    if not os.path.exists(path):
        with open(path, 'wb') as f:
            f.write(data)


def main():
    outdir, sources = sys.argv[1], sys.argv[2:]
    strings, scripts, pairs, markup = set(NUMBERS), set(), set(), set()
    for src in sources:
        text = open(src, encoding='utf-8').read()
        strings.update(unescape(s) for s in LITERAL.findall(text))
        for name, a, b in CALL.findall(text):
            a, b = unescape(a), unescape(b)
            if name in ('sp', 'sf', 'sup', 'suf', 'sfAt'):
                scripts.add(a)
            elif name.startswith('FracMk') or name == 'SubOf':
                pairs.add((name == 'SubOf', a, b))
                markup.update((a, b))
            elif name in ('MarkupText', 'MarkupWidth', 'IntLim', 'SumK'):
                markup.update(s for s in (a, b) if s)
    strings = {s for s in strings if s and len(s.encode()) <= 200}

    # Text runs: selector = Bookman(0x80) | Times(0x40) | run(3 bits) << 3 | style, the
    # style's bits being full-width comma (1), no script names (2), letter gaps (4).
    calyx, tessera, sorrel = 0, 1, 7
    dsp, sup, suf = 0, 2, 4
    for s in strings:
        for sel in (dsp << 3 | calyx, sup << 3 | calyx, suf << 3 | calyx):
            write(outdir, 'TextRunsFuzz', bytes([sel]) + s.encode())
    for s in scripts:
        for sel in (sup << 3 | tessera, suf << 3 | tessera, sup << 3 | sorrel, 0x80 | suf << 3 | calyx):
            write(outdir, 'TextRunsFuzz', bytes([sel]) + s.encode())
    for s in strings:
        if '，' in s or ', ' in s:
            write(outdir, 'TextRunsFuzz', bytes([dsp << 3 | tessera]) + s.encode())

    # Markup: selector = Bookman(0x80) | scale(2 bits) << 2 | construct.
    for s in markup | scripts:
        for sel in (0, 1):
            write(outdir, 'MarkupFuzz', bytes([sel]) + s.encode())
    for sub_of, a, b in pairs:
        for scale in range(3):
            sel = 3 if sub_of else 2 | scale << 2
            write(outdir, 'MarkupFuzz', bytes([sel]) + a.encode() + b'\x1f' + b.encode())
    write_command_lines(outdir)


# Command lines as the tests and the documentation use them.
COMMAND_LINES = [
    [], ['--help'], ['-h'], ['--version'], ['-v'], ['--table'], ['--speed', '2.5'], ['--speed=40'],
    ['--speed', '0'], ['--speed', '-1'], ['--speed', 'nan'], ['--speed', '1e400'], ['--speed'],
    ['--export-pdf', 'out.pdf'], ['--export-png', 'pages'], ['--export-pdf', ''], ['--export-png'],
    ['--page', '3'], ['--page=2'], ['--page', '0'], ['--page', ' 2 '], ['--page', '99999999999'],
    ['--scale', '2', '--export-png', 'run.png'], ['--scale', '5'], ['--scale', '2'],
    ['--table', '--export-pdf', 'run.pdf'], ['--export-png', 'a.png', '--export-pdf', 'a.pdf'],
    ['-platform', 'offscreen'], ['-style', 'fusion', '--table'], ['-reverse'], ['--bogus'], ['extra'],
    ['--', '--help'], ['--table', '--', 'x'], ['-speed', '3'], ['--export-pdf=out.pdf', '--page=1'],
]


def write_command_lines(outdir):
    for args in COMMAND_LINES:
        body = b'\0'.join(a.encode() for a in args)
        for program in (0, 1):
            write(outdir, 'CommandLineFuzz', bytes([program]) + body)


if __name__ == '__main__':
    main()
