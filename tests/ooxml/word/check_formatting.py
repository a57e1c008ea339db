#!/usr/bin/python3
"""Reads the documents the formatting tests saved with python-docx, an independent reader, and
checks each attribute the engine wrote. Usage: check_formatting.py FOLDER"""
import os
import sys

import docx
from docx.enum.dml import MSO_COLOR_TYPE
from docx.enum.text import WD_COLOR_INDEX, WD_UNDERLINE
from docx.oxml.ns import qn
from docx.shared import Pt, RGBColor


def runs(path, paragraph=0):
    return docx.Document(path).paragraphs[paragraph].runs


def by_text(path, text, paragraph=0):
    found = [r for r in runs(path, paragraph) if r.text == text]
    return found[0] if found else None


def shading(run):
    shd = run._r.rPr.find(qn("w:shd")) if run._r.rPr is not None else None
    return None if shd is None else shd.get(qn("w:fill"))


def main(folder):
    failures = []
    checks = []

    def expect(name, got, want):
        checks.append(name)
        if got != want:
            failures.append("%s:\n  got  %r\n  want %r" % (name, got, want))

    applied = os.path.join(folder, "format-applied.docx")
    expect("applied text", docx.Document(applied).paragraphs[0].text,
           "plain bold italic under double big arial red marked shaded end")
    expect("split runs", [r.text for r in runs(applied)][:3], ["p", "lai", "n "])
    r = by_text(applied, "lai")
    expect("bold", r.bold, True)
    expect("italic", r.italic, True)
    expect("size", r.font.size, Pt(13.5))
    expect("name", r.font.name, "Courier New")
    expect("color", r.font.color.rgb, RGBColor(0x00, 0x00, 0xFF))
    expect("underline", r.font.underline, WD_UNDERLINE.DOUBLE)
    expect("shading", shading(r), "FFFF00")
    expect("neighbours", (by_text(applied, "p").bold, by_text(applied, "n ").italic), (None, None))
    expect("highlight removed", by_text(applied, "marked").font.highlight_color, None)
    expect("bold off", by_text(applied, "marked").bold, False)
    expect("automatic colour", by_text(applied, "red").font.color.type, MSO_COLOR_TYPE.AUTO)
    expect("shading removed", shading(by_text(applied, "shaded")), None)
    expect("highlight set", by_text(applied, "end").font.highlight_color, WD_COLOR_INDEX.BRIGHT_GREEN)
    expect("bold off over a style", by_text(applied, "Heading", 1).bold, False)

    replaced = os.path.join(folder, "format-replaced.docx")
    r = by_text(replaced, "heavy text")
    expect("replaced text", r is not None, True)
    if r is not None:
        expect("replaced bold", r.bold, True)
        expect("replaced underline", r.underline, True)
        expect("replaced shading", shading(r), "FFFFFF")

    found = os.path.join(folder, "format-find-replaced.docx")
    expect("format find replaced", docx.Document(found).paragraphs[3].text, "aaa BBB then X three")
    wild = os.path.join(folder, "wildcard-replaced.docx")
    expect("wildcard replaced", docx.Document(wild).paragraphs[4].text, "Order # and # items; colour color Colour")

    for f in failures:
        print(f)
    print("%d passed, %d failed" % (len(checks) - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
