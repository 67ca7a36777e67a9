#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks the message catalogs against the sources, as lupdate sees them.

Each catalog is refreshed by lupdate in a temporary folder, from the same sources and
with the same options as the build's update_translations. The check fails when
  - a message is unfinished (new in the sources, or marked so) or has an empty
    translation or plural form,
  - the committed catalog differs from the refreshed one (messages added or gone:
    run `cmake --build build --target update_translations`),
  - a translation lacks a placeholder (%1, %2, %n) of its source, or adds one.

usage: check_catalogs.py LUPDATE SOURCES_LIST INCLUDE_DIRS CATALOG[:OPTIONS] ...
  SOURCES_LIST  a file naming one source file per line
  INCLUDE_DIRS  include folders joined by ';'
  OPTIONS       lupdate options of that catalog joined by ',' (-pluralonly)
"""
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

PLACEHOLDER = re.compile(r"%(?:\d+|n)")


def messages(ts):
    """{(context, source): (translation texts, unfinished)} of a .ts file."""
    found = {}
    for context in ET.parse(ts).getroot().iter("context"):
        name = context.findtext("name")
        for m in context.iter("message"):
            t = m.find("translation")
            forms = [f.text or "" for f in t.iter("numerusform")] if m.get("numerus") == "yes" else [t.text or ""]
            found[(name, m.findtext("source"))] = (forms, t.get("type") in ("unfinished", "vanished", "obsolete"))
    return found


def check(lupdate, sources, includes, catalog, options):
    problems = []
    with tempfile.TemporaryDirectory() as tmp:
        fresh = Path(tmp) / catalog.name
        shutil.copy(catalog, fresh)
        command = [lupdate, "-locations", "none", "-no-obsolete", "-silent", *options]
        command += [f"-I{d}" for d in includes]
        command += [f"@{sources}", "-ts", str(fresh)]
        run = subprocess.run(command, capture_output=True, text=True)
        if run.returncode != 0:
            return [f"lupdate failed: {run.stderr.strip()}"]
        committed, refreshed = messages(catalog), messages(fresh)
    for key in sorted(refreshed.keys() - committed.keys()):
        problems.append(f"new in the sources, not in the catalog: {key[0]}: {key[1]!r}")
    for key in sorted(committed.keys() - refreshed.keys()):
        problems.append(f"in the catalog, gone from the sources: {key[0]}: {key[1]!r}")
    for (context, source), (forms, unfinished) in sorted(refreshed.items()):
        where = f"{context}: {source!r}"
        if unfinished:
            problems.append(f"unfinished: {where}")
            continue
        wanted = sorted(set(PLACEHOLDER.findall(source)))
        for form in forms:
            if not form.strip():
                problems.append(f"empty translation: {where}")
            elif sorted(set(PLACEHOLDER.findall(form))) != wanted:
                problems.append(f"placeholders {wanted} not kept in {form!r}: {where}")
    return problems


def main(argv):
    lupdate, sources, includes, *catalogs = argv[1:]
    failed = False
    for entry in catalogs:
        path, _, options = entry.partition(":")
        catalog = Path(path)
        problems = check(lupdate, sources, [d for d in includes.split(";") if d], catalog,
                         [o for o in options.split(",") if o])
        for p in problems:
            print(f"{catalog.name}: {p}")
        if problems:
            failed = True
        else:
            print(f"{catalog.name}: {len(messages(catalog))} messages, all translated")
    if failed:
        print("Refresh the catalogs with `cmake --build build --target update_translations`, then "
              "translate what is unfinished (Qt Linguist, or in the .ts file).")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
