#!/usr/bin/python3
"""Reads the documents the engine's tests saved with python-docx, an independent reader, and
checks the text it sees. Usage: check_saved.py FOLDER"""
import os
import sys

import docx
from docx.oxml.ns import qn


def paragraphs(path):
    return [p.text for p in docx.Document(path).paragraphs]


def all_text(path):
    """Every w:t of the body in order, by paragraph: what python-docx's XML layer holds, including
    text inside hyperlinks, content controls and field results (not the fallback of
    AlternateContent)."""
    body = docx.Document(path).element.body
    out = []
    for p in body.iter(qn("w:p")):
        texts = [t for t in p.iter(qn("w:t"))
                 if not any(a.tag == "{http://schemas.openxmlformats.org/markup-compatibility/2006}Fallback"
                            for a in t.iterancestors())]
        out.append("".join(t.text or "" for t in texts))
    return out


def main(folder):
    failures = []

    def expect(name, got, want):
        if got != want:
            failures.append("%s:\n  got  %r\n  want %r" % (name, got, want))

    f = lambda n: os.path.join(folder, n)
    expect("replace-runs", paragraphs(f("replace-runs.docx"))[0], "Goodbye Earth and a tab\there")
    bold = [r.bold for r in docx.Document(f("replace-runs.docx")).paragraphs[0].runs if r.text == "Goodbye Earth"]
    expect("replace-runs bold", bold, [True])
    expect("replace-marks", paragraphs(f("replace-marks.docx")),
           ["Hello World and a tab\there", "The slow", "brown fox jumps over the very", "lazy", "old dog",
            "After the table"])
    specials = docx.Document(f("replace-specials.docx")).paragraphs
    expect("replace-specials", [specials[1].text, specials[2].text],
           ["The quick a\tb\nc\nd\nefg", "h fox"])
    doc = docx.Document(f("replace-specials.docx"))
    expect("replace-specials table", doc.tables[0].cell(0, 1).text, "cell 01")
    expect("replace-structures", all_text(f("replace-structures.docx")),
           ["Visit Sample Place today.", "Year 2025 page 7", "Kept added end", "Control Rome",
            "abcdefgX", "one", "two", "delta", "Last paragraph"])
    cells = docx.Document(f("replace-cells.docx")).tables[0].rows[0].cells
    expect("replace-cells", [c.text for c in cells], ["alX\nY", "ta\ngamma"])
    expect("identical", paragraphs(f("identical.docx"))[1], "The quick brown cat")
    writer = docx.Document(f("writer-stories.docx"))
    pages = writer.sections[0]
    expect("writer-stories headers",
           [pages.header.paragraphs[0].text, pages.first_page_header.paragraphs[0].text,
            pages.even_page_header.paragraphs[0].text, pages.footer.paragraphs[0].text],
           ["Right header pear", "First header pear", "Left header pear", "Footer pear"])
    expect("writer-stories", all_text(f("writer-stories.docx"))[1],
           "Control pear control, pear inserted, ref pear one, pear link.")
    if failures:
        print("\n".join(failures))
        return 1
    print("python-docx read every saved document as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
