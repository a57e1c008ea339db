#!/usr/bin/python3
"""Writes examples/: British-English documents made with python-docx, and a translation table
to American English in both formats (TAB-separated text, and a workbook written with the
standard library). Deterministic apart from python-docx's own core-properties dates."""
import os
import sys

import docx

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "..", "examples")
sys.path.insert(0, HERE)
import make_xlsx_fixtures as x  # noqa: E402

ROWS = [("colour", "color", ""), ("grey", "gray", ""), ("centre", "center", ""),
        ("organise", "organize", ""), ("behaviour", "behavior", ""), ("favourite", "favorite", ""),
        ("travelled", "traveled", "w"), ("catalogue", "catalog", "")]


def documents():
    d = docx.Document()
    section = d.sections[0]
    section.header.paragraphs[0].text = "Colour Guide: the centre of attention"
    section.footer.paragraphs[0].text = "Printed on grey paper"
    d.core_properties.title = "A colour guide"
    d.core_properties.subject = "Grey and other colours"
    d.add_heading("Colour and behaviour", 1)
    d.add_paragraph("Our favourite colour is grey. We travelled to the centre of town "
                    "to organise the catalogue.")
    p = d.add_paragraph("Split ")
    p.add_run("col").bold = True
    p.add_run("our runs are found too.")
    t = d.add_table(rows=2, cols=2)
    t.cell(0, 0).text = "Colour"
    t.cell(0, 1).text = "Behaviour"
    t.cell(1, 0).text = "grey"
    t.cell(1, 1).text = "organised"
    d.save(os.path.join(OUT, "documents", "guide.docx"))

    d = docx.Document()
    d.add_paragraph("Nothing to change here: plain American text.")
    d.save(os.path.join(OUT, "documents", "plain.docx"))

    with open(os.path.join(OUT, "documents", "notes.txt"), "w") as f:
        f.write("Not a document: the batch reports it as not supported.\n")


def tables():
    with open(os.path.join(OUT, "table.txt"), "w", newline="") as f:
        for find, repl, opts in ROWS:
            f.write("\t".join([find, repl] + ([opts] if opts else [])) + "\r\n")
    x.OUT = OUT
    shared = []
    rows = []
    for i, (find, repl, opts) in enumerate(ROWS, start=1):
        cells = [x.cell("A%d" % i, ("s", len(shared))), x.cell("B%d" % i, ("s", len(shared) + 1))]
        shared += [x.t(find), x.t(repl)]
        if opts:
            cells.append(x.cell("C%d" % i, ("s", len(shared))))
            shared.append(x.t(opts))
        rows.append((i, cells))
    x.write("table.xlsx", [("Table", x.sheet(rows, True))], shared, x.styles([x.font()], [], [(0, 0, 0)]))


if __name__ == "__main__":
    os.makedirs(os.path.join(OUT, "documents"), exist_ok=True)
    documents()
    tables()
