#!/usr/bin/python3
"""The baseline: the same replacements done with python-docx, run by run (all rows at once
through one regular expression), body, tables and headers and footers, saved in place.

usage: baseline_docx.py TABLE DOC..."""
import re
import sys

import docx


def load(table):
    rows = []
    with open(table, encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\r\n").split("\t")
            if len(parts) >= 2 and parts[0]:
                rows.append((parts[0], parts[1]))
    mapping = dict(rows)
    pattern = re.compile("|".join(re.escape(k) for k in sorted(mapping, key=len, reverse=True)))
    return mapping, pattern


def paragraphs(d):
    yield from d.paragraphs
    for t in d.tables:
        for row in t.rows:
            for cell in row.cells:
                yield from cell.paragraphs
    for s in d.sections:
        yield from s.header.paragraphs
        yield from s.footer.paragraphs


def main():
    mapping, pattern = load(sys.argv[1])
    total = 0
    for path in sys.argv[2:]:
        d = docx.Document(path)
        count = 0
        for p in paragraphs(d):
            for r in p.runs:
                text, n = pattern.subn(lambda m: mapping[m.group(0)], r.text)
                if n:
                    r.text = text
                    count += n
        if count:
            d.save(path)
        total += count
    print("baseline replacements: %d" % total)


if __name__ == "__main__":
    main()
