#!/usr/bin/python3
"""Word documents with more than a main text (sections with their headers and footers, notes,
hyperlinks and HYPERLINK fields, text boxes, document properties), made by tools independent of
our engine: hand-written WordprocessingML zipped by the system zip, and python-docx.
Run with the system python: /usr/bin/python3 scripts/gen/make-story-fixtures.py"""
import os
import subprocess
import tempfile

import docx

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "fixtures", "docx")
HEAD = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
NS = ('xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" '
      'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" '
      'xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" '
      'xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing" '
      'xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" '
      'xmlns:pic="http://schemas.openxmlformats.org/drawingml/2006/picture" '
      'xmlns:wps="http://schemas.microsoft.com/office/word/2010/wordprocessingShape" '
      'xmlns:v="urn:schemas-microsoft-com:vml" xmlns:o="urn:schemas-microsoft-com:office:office" '
      'mc:Ignorable="wps"')
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
WML = "application/vnd.openxmlformats-officedocument.wordprocessingml."


def run(text, props=""):
    return '<w:r>%s<w:t xml:space="preserve">%s</w:t></w:r>' % (props and "<w:rPr>%s</w:rPr>" % props, text)


def para(*content):
    return "<w:p>%s</w:p>" % "".join(content)


def package(name, document, parts, rels, overrides, props=True):
    """parts: {path: xml}; rels: [(id, type, target, external)] of the main part."""
    files = {"word/document.xml": HEAD + '<w:document %s><w:body>%s</w:body></w:document>' % (NS, document)}
    files.update(parts)
    over = '<Override PartName="/word/document.xml" ContentType="%sdocument.main+xml"/>' % WML
    for path, kind in overrides:
        over += '<Override PartName="/%s" ContentType="%s"/>' % (path, kind)
    package_rels = ('<Relationship Id="rId1" Type="%sofficeDocument" Target="word/document.xml"/>' % REL)
    if props:
        files["docProps/core.xml"] = HEAD + (
            '<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" '
            'xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/">'
            '<dc:title>Annual head report</dc:title><dc:subject>Head office</dc:subject>'
            '<dc:creator>Head Writer</dc:creator><cp:keywords>head, report</cp:keywords></cp:coreProperties>')
        files["docProps/app.xml"] = HEAD + (
            '<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties">'
            '<Application>Hand</Application><Manager>Head Manager</Manager><Company>Head Company</Company>'
            '</Properties>')
        over += ('<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.'
                 'core-properties+xml"/><Override PartName="/docProps/app.xml" ContentType="application/'
                 'vnd.openxmlformats-officedocument.extended-properties+xml"/>')
        package_rels += ('<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/'
                         'metadata/core-properties" Target="docProps/core.xml"/>'
                         '<Relationship Id="rId3" Type="%sextended-properties" Target="docProps/app.xml"/>' % REL)
    files["[Content_Types].xml"] = HEAD + (
        '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
        '<Default Extension="xml" ContentType="application/xml"/>%s</Types>' % over)
    files["_rels/.rels"] = HEAD + ('<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                                   '%s</Relationships>' % package_rels)
    entries = "".join('<Relationship Id="%s" Type="%s%s" Target="%s"%s/>' % (
        i, REL, t, target, ' TargetMode="External"' if external else "") for i, t, target, external in rels)
    files["word/_rels/document.xml.rels"] = HEAD + (
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">%s</Relationships>' % entries)
    with tempfile.TemporaryDirectory() as tmp:
        for path, text in files.items():
            full = os.path.join(tmp, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w", encoding="utf-8") as f:
                f.write(text)
        target = os.path.join(OUT, name)
        if os.path.exists(target):
            os.remove(target)
        subprocess.check_call(["zip", "-q", "-X", "-r", target, "[Content_Types].xml", "_rels", "word"] +
                              (["docProps"] if props else []), cwd=tmp, env=dict(os.environ, TZ="UTC"))


def header_part(tag, text):
    return HEAD + '<w:%s %s>%s</w:%s>' % (tag, NS, para(run(text)), tag)


def notes_part(tag, notes):
    separators = ('<w:%s w:type="separator" w:id="-1"><w:p><w:r><w:separator/></w:r></w:p></w:%s>'
                  '<w:%s w:type="continuationSeparator" w:id="0"><w:p><w:r><w:continuationSeparator/></w:r></w:p></w:%s>'
                  % (tag, tag, tag, tag))
    body = "".join('<w:%s w:id="%d"><w:p><w:r><w:%sRef/></w:r>%s</w:p></w:%s>' % (tag, i + 1, tag, run(" " + t), tag)
                   for i, t in enumerate(notes))
    return HEAD + '<w:%ss %s>%s%s</w:%ss>' % (tag, NS, separators, body, tag)


def complex_field(code_pieces, result):
    return ('<w:r><w:fldChar w:fldCharType="begin"/></w:r>' +
            "".join('<w:r><w:instrText xml:space="preserve">%s</w:instrText></w:r>' % c for c in code_pieces) +
            '<w:r><w:fldChar w:fldCharType="separate"/></w:r>' + result +
            '<w:r><w:fldChar w:fldCharType="end"/></w:r>')


def text_box_anchor(text, shape_id):
    content = '<w:txbxContent>%s</w:txbxContent>' % para(run(text))
    return ('<w:r><mc:AlternateContent><mc:Choice Requires="wps"><w:drawing>'
            '<wp:anchor distT="0" distB="0" distL="0" distR="0" simplePos="0" relativeHeight="1" behindDoc="0" '
            'locked="0" layoutInCell="1" allowOverlap="1"><wp:simplePos x="0" y="0"/>'
            '<wp:positionH relativeFrom="column"><wp:posOffset>0</wp:posOffset></wp:positionH>'
            '<wp:positionV relativeFrom="paragraph"><wp:posOffset>0</wp:posOffset></wp:positionV>'
            '<wp:extent cx="1828800" cy="457200"/><wp:wrapSquare wrapText="bothSides"/>'
            '<wp:docPr id="%d" name="Text Box %d"/><a:graphic>'
            '<a:graphicData uri="http://schemas.microsoft.com/office/word/2010/wordprocessingShape"><wps:wsp>'
            '<wps:cNvSpPr txBox="1"/><wps:spPr><a:prstGeom prst="rect"><a:avLst/></a:prstGeom></wps:spPr>'
            '<wps:txbx>%s</wps:txbx><wps:bodyPr/></wps:wsp></a:graphicData></a:graphic></wp:anchor></w:drawing>'
            '</mc:Choice><mc:Fallback><w:pict><v:shape id="tb%d" style="position:absolute;width:144pt;height:36pt">'
            '<v:textbox>%s</v:textbox></v:shape></w:pict></mc:Fallback></mc:AlternateContent></w:r>'
            % (shape_id, shape_id, content, shape_id, content))


def picture(anchor, shape_id):
    frame = ('<wp:extent cx="457200" cy="457200"/><wp:docPr id="%d" name="Picture %d"/><a:graphic>'
             '<a:graphicData uri="http://schemas.openxmlformats.org/drawingml/2006/picture"><pic:pic>'
             '<pic:nvPicPr><pic:cNvPr id="%d" name="p.png"/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill/>'
             '<pic:spPr/></pic:pic></a:graphicData></a:graphic>' % (shape_id, shape_id, shape_id))
    if anchor:
        return ('<w:r><w:drawing><wp:anchor distT="0" distB="0" distL="0" distR="0" simplePos="0" relativeHeight="2" '
                'behindDoc="0" locked="0" layoutInCell="1" allowOverlap="1"><wp:simplePos x="0" y="0"/>'
                '<wp:positionH relativeFrom="column"><wp:posOffset>0</wp:posOffset></wp:positionH>'
                '<wp:positionV relativeFrom="paragraph"><wp:posOffset>0</wp:posOffset></wp:positionV>'
                '<wp:wrapNone/>%s</wp:anchor></w:drawing></w:r>' % frame)
    return '<w:r><w:drawing><wp:inline>%s</wp:inline></w:drawing></w:r>' % frame


def stories():
    refs = lambda kind, ids: "".join('<w:%sReference w:type="%s" r:id="%s"/>' % (kind, t, i)
                                     for t, i in zip(("default", "first", "even"), ids))
    first_section = ('<w:sectPr>%s%s<w:titlePg/></w:sectPr>' % (refs("header", ("rIdH1", "rIdH2", "rIdH3")),
                                                              refs("footer", ("rIdF1", "rIdF2", "rIdF3"))))
    # The second section has only a primary footer of its own: its headers link to the first's.
    second_section = '<w:sectPr><w:footerReference w:type="default" r:id="rIdF4"/><w:titlePg/></w:sectPr>'
    document = "".join([
        para(run("Body head one"), '<w:r><w:footnoteReference w:id="1"/></w:r>', run(" and more"),
             '<w:r><w:endnoteReference w:id="1"/></w:r>'),
        para(run("Links: "), '<w:hyperlink r:id="rIdL1">%s</w:hyperlink>' % run("site"), run(" "),
             '<w:hyperlink r:id="rIdL1">%s</w:hyperlink>' % run("same site"), run(" "),
             '<w:hyperlink w:anchor="_Toc1">%s</w:hyperlink>' % run("inside"),
             '<w:r><w:footnoteReference w:id="2"/></w:r>'),
        para('<w:fldSimple w:instr=" HYPERLINK &quot;http://fields.example/a&quot; \\l &quot;part&quot; ">%s'
             '</w:fldSimple>' % run("simple field"), run(" "),
             complex_field([' HYPERLINK "http://complex.example/', 'head" \\o "tip" '], run("complex field"))),
        para(text_box_anchor("Box head one", 1), run("Shapes here "), picture(True, 2), picture(False, 3),
             '<w:r><w:pict><v:shape id="vml1" style="position:absolute;margin-left:0;width:100pt;height:40pt">'
             '<v:textbox><w:txbxContent>%s</w:txbxContent></v:textbox></v:shape></w:pict></w:r>'
             % para(run("Vml head two"))),
        '<w:p><w:pPr>%s</w:pPr>%s</w:p>' % (first_section, run("End of section head one")),
        para(run("Second section head")),
        second_section,
    ])
    parts, rels, overrides = {}, [], []
    for i, (tag, text) in enumerate((("hdr", "Primary header head"), ("hdr", "First header head"),
                                     ("hdr", "Even header head"), ("ftr", "Primary footer head"),
                                     ("ftr", "First footer head"), ("ftr", "Even footer head"),
                                     ("ftr", "Second footer head"))):
        kind = "header" if tag == "hdr" else "footer"
        path = "word/%s%d.xml" % (kind, i + 1)
        parts[path] = header_part(tag, text)
        rels.append(("rId%s%d" % ("H" if tag == "hdr" else "F", i + 1 if tag == "hdr" else i - 2), kind,
                     "%s%d.xml" % (kind, i + 1), False))
        overrides.append((path, WML + kind + "+xml"))
    parts["word/footnotes.xml"] = notes_part("footnote", ["Foot head one", "Foot two"])
    parts["word/endnotes.xml"] = notes_part("endnote", ["End head note"])
    parts["word/settings.xml"] = HEAD + '<w:settings %s><w:evenAndOddHeaders/></w:settings>' % NS
    rels += [("rIdN1", "footnotes", "footnotes.xml", False), ("rIdN2", "endnotes", "endnotes.xml", False),
             ("rIdS", "settings", "settings.xml", False), ("rIdL1", "hyperlink", "http://example.com/head", True)]
    overrides += [("word/footnotes.xml", WML + "footnotes+xml"), ("word/endnotes.xml", WML + "endnotes+xml"),
                  ("word/settings.xml", WML + "settings+xml")]
    package("stories.docx", document, parts, rels, overrides)


def table_of_contents():
    """Entries that point inside the document (hyperlink anchors and HYPERLINK \\l fields) and an
    external link whose address holds the word the table row changes."""
    toc = complex_field([' TOC \\o "1-3" \\h \\z \\u '],
                        '<w:hyperlink w:anchor="_Toc100" w:history="1">%s</w:hyperlink></w:p><w:p>' % run("Chapter head A") +
                        complex_field([' HYPERLINK \\l "_Toc200" '], run("Chapter head B")))
    document = "".join([
        para(toc),
        '<w:p><w:bookmarkStart w:id="1" w:name="_Toc100"/>%s<w:bookmarkEnd w:id="1"/></w:p>' % run("Chapter head A"),
        para(run("The head text of chapter A.")),
        '<w:p><w:bookmarkStart w:id="2" w:name="_Toc200"/>%s<w:bookmarkEnd w:id="2"/></w:p>' % run("Chapter head B"),
        para(run("See "), '<w:hyperlink r:id="rIdX">%s</w:hyperlink>' % run("the head site")),
        "<w:sectPr/>",
    ])
    package("toc.docx", document, {}, [("rIdX", "hyperlink", "http://example.com/head.htm", True)], [], props=False)


def python_docx_sections():
    """Two sections, distinct first page and even pages, the second section linked to the first."""
    d = docx.Document()
    d.add_paragraph("First section head text")
    d.settings.odd_and_even_pages_header_footer = True
    s1 = d.sections[0]
    s1.different_first_page_header_footer = True
    for part, text in ((s1.header, "Primary head header"), (s1.first_page_header, "First page head header"),
                       (s1.even_page_header, "Even page head header"), (s1.footer, "Primary head footer"),
                       (s1.first_page_footer, "First page head footer"), (s1.even_page_footer, "Even page head footer")):
        part.is_linked_to_previous = False
        part.paragraphs[0].text = text
    s2 = d.add_section()
    s2.different_first_page_header_footer = True
    d.add_paragraph("Second section head text")
    d.save(os.path.join(OUT, "sections-python-docx.docx"))


def main():
    os.makedirs(OUT, exist_ok=True)
    stories()
    table_of_contents()
    python_docx_sections()


if __name__ == "__main__":
    main()
