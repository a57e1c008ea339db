#!/usr/bin/python3
"""Reads what engine_real_word_tests saved with python-docx. Usage: check_engine_real_word.py FOLDER"""
import os
import sys
import zipfile

import docx
from docx.oxml.ns import qn


def main(folder):
    failures = []

    def expect(name, got, want):
        if got != want:
            failures.append("%s:\n  got  %r\n  want %r" % (name, got, want))

    f = lambda n: os.path.join(folder, n)

    d = docx.Document(f("sections.docx"))
    s1, s2 = d.sections
    expect("headers and footers", [p.paragraphs[0].text for p in (
        s1.header, s1.first_page_header, s1.even_page_header, s1.footer, s1.first_page_footer, s1.even_page_footer)],
        ["Primary [head] header", "First page [head] header", "Even page [head] header", "Primary [head] footer",
         "First page [head] footer", "Even page [head] footer"])
    expect("second section linked", [s2.header.is_linked_to_previous, s2.footer.is_linked_to_previous], [True, True])
    # python-docx ends a section with an empty paragraph of its own.
    expect("body", [p.text for p in d.paragraphs], ["First section [head] text", "", "Second section [head] text"])

    d = docx.Document(f("stories.docx"))
    s1, s2 = d.sections
    expect("stories headers", [s1.header.paragraphs[0].text, s1.first_page_header.paragraphs[0].text,
                               s1.even_page_footer.paragraphs[0].text, s2.footer.paragraphs[0].text],
           ["Primary header [head]", "First header [head]", "Even footer [head]", "Second footer [head]"])
    expect("stories body", d.paragraphs[0].text, "Body [head] one and more")
    boxes = ["".join(t.text for t in c.iter(qn("w:t"))) for c in d.element.body.iter(qn("w:txbxContent"))]
    expect("text boxes", boxes, ["Box [head] one", "Box [head] one", "Vml [head] two"])
    rels = sorted(r.target_ref for r in d.part.rels.values() if r.reltype.endswith("/hyperlink"))
    expect("hyperlink targets", rels, ["http://example.com/[head]", "http://example.com/[head]"])
    props = d.core_properties
    expect("properties", [props.title, props.subject, props.author, props.keywords],
           ["Annual [head] report", "[head] office", "[head] Writer", "[head], report"])
    with zipfile.ZipFile(f("stories.docx")) as z:
        notes = z.read("word/footnotes.xml").decode() + z.read("word/endnotes.xml").decode()
    expect("notes", [notes.count("Foot [head] one"), notes.count("End [head] note")], [1, 1])

    d = docx.Document(f("toc.docx"))
    body = d.element.body
    expect("toc anchors", [h.get(qn("w:anchor")) for h in body.iter(qn("w:hyperlink"))], ["_Toc100", None])
    expect("toc field codes", [t.text for t in body.iter(qn("w:instrText"))],
           [' TOC \\o "1-3" \\h \\z \\u ', ' HYPERLINK \\l "_Toc200" '])
    entries = ["".join(t.text for t in p.iter(qn("w:t"))) for p in body.iter(qn("w:p"))][:2]
    expect("toc entries", entries, ["Chapter [head] A", "Chapter [head] B"])
    rels = [r.target_ref for r in d.part.rels.values() if r.reltype.endswith("/hyperlink")]
    expect("external link", rels, ["http://example.com/[head].htm"])

    if failures:
        print("\n".join(failures))
        return 1
    print("python-docx read every document the engine saved as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
