#!/usr/bin/python3
"""Reads the documents the stories tests saved with python-docx, an independent reader, and
checks headers, footers, notes, hyperlinks, text boxes and properties. Usage: check_stories.py FOLDER"""
import os
import sys
import zipfile

import docx
from docx.oxml.ns import qn


def xml_text(path, part):
    with zipfile.ZipFile(path) as z:
        return z.read(part).decode("utf-8")


def main(folder):
    failures = []

    def expect(name, got, want):
        if got != want:
            failures.append("%s:\n  got  %r\n  want %r" % (name, got, want))

    f = lambda n: os.path.join(folder, n)

    d = docx.Document(f("stories-headers.docx"))
    s1, s2 = d.sections
    expect("primary header", s1.header.paragraphs[0].text, "Primary header [head]")
    expect("second header linked", s2.header.is_linked_to_previous, True)
    expect("second footer", s2.footer.paragraphs[0].text, "Second footer [head]")
    expect("first footer untouched", s1.first_page_footer.paragraphs[0].text, "First footer head")

    footnotes = xml_text(f("stories-headers.docx"), "word/footnotes.xml")
    expect("footnote changed", "Foot [head] one" in footnotes, True)
    expect("separators kept", footnotes.count("w:separator/") + footnotes.count("w:continuationSeparator/"), 2)

    d = docx.Document(f("stories-links.docx"))
    rels = {r.rId: r.target_ref for r in d.part.rels.values() if r.reltype.endswith("/hyperlink")}
    links = d.element.body.findall(".//" + qn("w:hyperlink"))
    expect("split relationship", [rels.get(h.get(qn("r:id"))) for h in links][:2],
           ["http://example.com/[head]#top", "http://example.com/head"])
    expect("anchor", links[2].get(qn("w:anchor")), "_Toc9")
    codes = "".join(t.text for t in d.element.body.iter(qn("w:instrText")))
    expect("complex field code", codes, ' HYPERLINK "http://complex.example/[head]" \\o "tip" \\l "sec" ')
    simple = d.element.body.find(".//" + qn("w:fldSimple")).get(qn("w:instr"))
    expect("simple field code", simple, ' HYPERLINK "http://fields.example/b\\\\\\"q" ')

    d = docx.Document(f("stories-shapes.docx"))
    boxes = ["".join(t.text for t in c.iter(qn("w:t"))) for c in d.element.body.iter(qn("w:txbxContent"))]
    expect("text boxes", boxes, ["Box [head] one", "Box [head] one", "Vml [head] two"])
    expect("main text", [p.text for p in d.paragraphs][0], "Body head one and more")

    props = docx.Document(f("stories-properties.docx")).core_properties
    expect("title", props.title, "Annual [head] report")
    expect("author kept", props.author, "Head Writer")
    expect("company", "<Company>[Head] Company</Company>" in xml_text(f("stories-properties.docx"), "docProps/app.xml"),
           True)
    props = docx.Document(f("structures-properties.docx")).core_properties
    expect("created author", props.author, "New Author")
    expect("created manager", "New Manager" in xml_text(f("structures-properties.docx"), "docProps/app.xml"), True)

    if failures:
        print("\n".join(failures))
        return 1
    print("python-docx read every saved document as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
