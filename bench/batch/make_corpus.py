#!/usr/bin/python3
"""Generates a batch corpus with python-docx: COUNT documents of PAGES pages each, and a
200-row translation table whose find texts occur in the documents.

usage: make_corpus.py OUTDIR COUNT PAGES"""
import os
import random
import sys

import docx

WORDS = ("alpha beta gamma delta epsilon zeta theta kappa lambda sigma omega river mountain "
         "valley forest ocean desert island harbour meadow canyon glacier prairie").split()
PARAGRAPHS_PER_PAGE = 6
WORDS_PER_PARAGRAPH = 70


def table_rows():
    rng = random.Random(7)
    rows = []
    for i in range(200):
        find = "term%03d" % i
        rows.append((find, "word%03d" % i))
    rng.shuffle(rows)
    return rows


def paragraph(rng, rows):
    words = [rng.choice(WORDS) for _ in range(WORDS_PER_PARAGRAPH)]
    for _ in range(3):  # a few table terms in every paragraph
        words[rng.randrange(len(words))] = rng.choice(rows)[0]
    return " ".join(words).capitalize() + "."


def main():
    out, count, pages = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    os.makedirs(out, exist_ok=True)
    rows = table_rows()
    with open(os.path.join(out, "table.txt"), "w", newline="") as f:
        for find, repl in rows:
            f.write("%s\t%s\r\n" % (find, repl))
    rng = random.Random(1)
    template = None
    for n in range(count):
        d = docx.Document()
        d.sections[0].header.paragraphs[0].text = "Header with " + rows[n % len(rows)][0]
        for _ in range(pages * PARAGRAPHS_PER_PAGE):
            d.add_paragraph(paragraph(rng, rows))
        d.save(os.path.join(out, "doc%04d.docx" % n))


if __name__ == "__main__":
    main()
