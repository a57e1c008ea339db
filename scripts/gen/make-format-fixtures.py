#!/usr/bin/python3
"""Documents with formatted runs for the Word engine's formatting, format-find and wildcard
tests, made with python-docx (shading by raw XML, which python-docx has no property for).
Run with the system python: /usr/bin/python3 scripts/gen/make-format-fixtures.py"""
import os

import docx
from docx.enum.style import WD_STYLE_TYPE
from docx.enum.text import WD_COLOR_INDEX, WD_UNDERLINE
from docx.oxml import OxmlElement
from docx.oxml.ns import qn
from docx.shared import Pt, RGBColor

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "fixtures", "docx")


def shade(run, fill):
    shd = OxmlElement("w:shd")
    shd.set(qn("w:val"), "clear")
    shd.set(qn("w:color"), "auto")
    shd.set(qn("w:fill"), fill)
    run._r.get_or_add_rPr().append(shd)


def formatting_fixture():
    d = docx.Document()
    # Paragraph 1: one run per attribute, plain runs between them.
    p = d.add_paragraph()
    p.add_run("plain ")
    p.add_run("bold").bold = True
    p.add_run(" ")
    p.add_run("italic").italic = True
    p.add_run(" ")
    p.add_run("under").underline = True
    p.add_run(" ")
    p.add_run("double").font.underline = WD_UNDERLINE.DOUBLE
    p.add_run(" ")
    p.add_run("big").font.size = Pt(16)
    p.add_run(" ")
    p.add_run("arial").font.name = "Arial"
    p.add_run(" ")
    p.add_run("red").font.color.rgb = RGBColor(0xFF, 0x00, 0x00)
    p.add_run(" ")
    p.add_run("marked").font.highlight_color = WD_COLOR_INDEX.YELLOW
    p.add_run(" ")
    shade(p.add_run("shaded"), "00FF00")
    p.add_run(" end")
    # Paragraph 2: formatting from the paragraph style (bold, 14 pt, theme heading font, colour).
    d.add_paragraph("Heading text", style="Heading 1")
    # Paragraph 3: a character style, and a run that turns the style's bold off directly.
    p = d.add_paragraph()
    p.add_run("strong", style="Strong")
    p.add_run(" and ")
    r = p.add_run("not", style="Strong")
    r.bold = False
    # Paragraph 4: the same word plain and bold; a bold stretch over several runs.
    p = d.add_paragraph()
    p.add_run("aaa ")
    p.add_run("aaa").bold = True
    p.add_run(" then ")
    p.add_run("one ").bold = True
    r = p.add_run("two")
    r.bold = True
    r.italic = True
    p.add_run(" three")
    # Paragraph 5: text for wildcard searches.
    d.add_paragraph("Order 123 and 4567 items; colour color Colour")
    # Paragraph 6: a style chain through basedOn (italic 9 pt from the base, bold of its own).
    base = d.styles.add_style("Base", WD_STYLE_TYPE.PARAGRAPH)
    base.font.italic = True
    base.font.size = Pt(9)
    derived = d.styles.add_style("Derived", WD_STYLE_TYPE.PARAGRAPH)
    derived.base_style = base
    derived.font.bold = True
    d.add_paragraph("Derived style", style="Derived")
    # Paragraph 7: styles based on each other in a loop; reading them must still end.
    loop_a = d.styles.add_style("LoopA", WD_STYLE_TYPE.PARAGRAPH)
    loop_b = d.styles.add_style("LoopB", WD_STYLE_TYPE.PARAGRAPH)
    loop_a.base_style = loop_b
    loop_b.base_style = loop_a
    loop_b.font.underline = True
    d.add_paragraph("Looping style", style="LoopA")
    d.save(os.path.join(OUT, "formatting.docx"))


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    formatting_fixture()
