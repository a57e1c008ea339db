#!/usr/bin/python3
"""Prints what python-docx (an independent reader) sees in documents: body paragraphs, table
cells, headers and footers, and the title and subject."""
import sys

import docx

for path in sys.argv[1:]:
    d = docx.Document(path)
    print("== %s" % path)
    print("   title: %r, subject: %r" % (d.core_properties.title, d.core_properties.subject))
    for s in d.sections:
        for p in s.header.paragraphs:
            if p.text:
                print("   header: %s" % p.text)
        for p in s.footer.paragraphs:
            if p.text:
                print("   footer: %s" % p.text)
    for p in d.paragraphs:
        if p.text:
            print("   %s" % p.text)
    for t in d.tables:
        for row in t.rows:
            print("   | " + " | ".join(c.text for c in row.cells) + " |")
