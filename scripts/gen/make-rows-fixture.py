#!/usr/bin/python3
"""Writes tests/fixtures/docx/rows.docx with python-docx: the texts the row tests over our Word
need, an external hyperlink with an anchor, and a title property."""
import os

import docx
from docx.opc.constants import RELATIONSHIP_TYPE as RT
from docx.oxml import OxmlElement
from docx.oxml.ns import qn

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "fixtures", "docx", "rows.docx")

d = docx.Document()
d.core_properties.title = "x title"
d.add_paragraph("x y x")
d.add_paragraph("Term term terms")
d.add_paragraph("before JOIN after")
d.add_paragraph("remove this word")
p = d.add_paragraph("Link: ")
rid = d.part.relate_to("a.htm", RT.HYPERLINK, is_external=True)
link = OxmlElement("w:hyperlink")
link.set(qn("r:id"), rid)
link.set(qn("w:anchor"), "top")
run = OxmlElement("w:r")
text = OxmlElement("w:t")
text.text = "the page"
run.append(text)
link.append(run)
p._p.append(link)
d.save(OUT)
