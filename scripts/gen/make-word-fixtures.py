#!/usr/bin/python3
"""Word documents for the engine's tests, made by tools independent of it: python-docx for a
realistic document, hand-written WordprocessingML zipped by the system zip for the rest.
Run with the system python (it has python-docx): /usr/bin/python3 scripts/gen/make-word-fixtures.py"""
import os
import subprocess
import tempfile

import docx
from docx.shared import Pt

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "fixtures", "docx")
W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" ' \
    'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" ' \
    'xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" ' \
    'xmlns:wps="http://schemas.microsoft.com/office/word/2010/wordprocessingShape" mc:Ignorable="wps"'
MAIN = "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"
MACRO = "application/vnd.ms-word.document.macroEnabled.main+xml"


def python_docx_fixture():
    d = docx.Document()
    p = d.add_paragraph()
    for text, bold in (("Hel", True), ("lo Wor", False), ("ld", True)):
        p.add_run(text).bold = bold
    p.add_run(" and a tab\there")
    second = d.add_paragraph("The quick brown fox")
    second.runs[0].font.size = Pt(14)
    d.add_paragraph("jumps over the lazy dog")
    table = d.add_table(rows=2, cols=2)
    for r, row in enumerate(table.rows):
        for c, cell in enumerate(row.cells):
            cell.text = "cell %d%d" % (r, c)
    d.add_paragraph("After the table")
    d.core_properties.title = "Fixture"
    d.save(os.path.join(OUT, "python-docx.docx"))


def hand_written(name, body, content_type=MAIN, settings=None, rels=""):
    with tempfile.TemporaryDirectory() as tmp:
        def write(path, text):
            full = os.path.join(tmp, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w", encoding="utf-8") as f:
                f.write(text)
        overrides = '<Override PartName="/word/document.xml" ContentType="%s"/>' % content_type
        doc_rels = rels
        if settings is not None:
            overrides += '<Override PartName="/word/settings.xml" ContentType="application/' \
                         'vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"/>'
            doc_rels += '<Relationship Id="rIdS" Type="http://schemas.openxmlformats.org/officeDocument/' \
                        '2006/relationships/settings" Target="settings.xml"/>'
            write("word/settings.xml", '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                  '<w:settings %s>%s</w:settings>' % (W, settings))
        write("[Content_Types].xml", '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
              '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
              '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
              '<Default Extension="xml" ContentType="application/xml"/>%s</Types>' % overrides)
        write("_rels/.rels", '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
              '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
              '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
              'relationships/officeDocument" Target="word/document.xml"/></Relationships>')
        write("word/_rels/document.xml.rels", '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
              '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">%s'
              '</Relationships>' % doc_rels)
        write("word/document.xml", '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
              '<w:document %s><w:body>%s<w:sectPr/></w:body></w:document>' % (W, body))
        target = os.path.join(OUT, name)
        if os.path.exists(target):
            os.remove(target)
        subprocess.check_call(["zip", "-q", "-X", "-r", target, "[Content_Types].xml", "_rels", "word"], cwd=tmp,
                              env=dict(os.environ, TZ="UTC"))


def run(text, props=""):
    return '<w:r>%s<w:t xml:space="preserve">%s</w:t></w:r>' % (props and "<w:rPr>%s</w:rPr>" % props, text)


def main():
    os.makedirs(OUT, exist_ok=True)
    python_docx_fixture()
    hand_written("structures.docx", "".join([
        # A hyperlink whose text is split over two runs.
        '<w:p>%s<w:hyperlink r:id="rIdH">%s%s</w:hyperlink>%s</w:p>' % (
            run("Visit "), run("Exam", "<w:b/>"), run("ple Site"), run(" today.")),
        # A complex field: only its result is text; a simple field likewise.
        '<w:p>%s<w:r><w:fldChar w:fldCharType="begin"/></w:r><w:r><w:instrText xml:space="preserve"> DATE \\@ "yyyy" '
        '</w:instrText></w:r><w:r><w:fldChar w:fldCharType="separate"/></w:r>%s<w:r><w:fldChar w:fldCharType="end"/>'
        '</w:r>%s<w:fldSimple w:instr=" PAGE ">%s</w:fldSimple></w:p>' % (
            run("Year "), run("2024"), run(" page "), run("7")),
        # Tracked changes: the insertion is text, the deletion is not.
        '<w:p>%s<w:ins w:id="1" w:author="a" w:date="2024-01-01T00:00:00Z">%s</w:ins>'
        '<w:del w:id="2" w:author="a" w:date="2024-01-01T00:00:00Z"><w:r><w:delText>gone </w:delText></w:r></w:del>%s</w:p>' % (
            run("Kept "), run("inserted "), run("end")),
        # A content control and a smart tag around text.
        '<w:p><w:sdt><w:sdtPr><w:id w:val="5"/></w:sdtPr><w:sdtContent>%s</w:sdtContent></w:sdt>'
        '<w:smartTag w:uri="urn:x" w:element="place">%s</w:smartTag></w:p>' % (run("Control "), run("Paris")),
        # Breaks, hyphens, a symbol, and AlternateContent inside a run.
        '<w:p><w:r><w:t>a</w:t><w:br/><w:t>b</w:t><w:br w:type="page"/><w:t>c</w:t><w:br w:type="column"/>'
        '<w:t>d</w:t><w:tab/><w:t>e</w:t><w:noBreakHyphen/><w:t>f</w:t><w:softHyphen/><w:t>g</w:t>'
        '<w:cr/><w:sym w:font="Symbol" w:char="F061"/></w:r>'
        '<w:r><mc:AlternateContent><mc:Choice Requires="wps"><w:t>X</w:t></mc:Choice>'
        '<mc:Fallback><w:t>Fallback text</w:t></mc:Fallback></mc:AlternateContent></w:r></w:p>',
        # A table with two cells, the second holding two paragraphs.
        '<w:tbl><w:tblPr/><w:tblGrid><w:gridCol/><w:gridCol/></w:tblGrid><w:tr>'
        '<w:tc><w:p>%s</w:p></w:tc><w:tc><w:p>%s</w:p><w:p>%s</w:p></w:tc></w:tr></w:tbl>' % (
            run("alpha"), run("beta"), run("gamma")),
        '<w:p>%s</w:p>' % run("Last paragraph", "<w:i/>"),
    ]), rels='<Relationship Id="rIdH" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/'
             'hyperlink" Target="http://example.com/" TargetMode="External"/>')
    hand_written("protected.docm", '<w:p>%s</w:p>' % run("Locked"), content_type=MACRO,
                 settings='<w:documentProtection w:edit="readOnly" w:enforcement="1"/>')
    hand_written("unenforced.docx", '<w:p>%s</w:p>' % run("Open"),
                 settings='<w:documentProtection w:edit="forms" w:enforcement="0"/>')
    hand_written("not-word.docx", '<w:p/>', content_type="application/vnd.ms-excel.sheet.main+xml")


if __name__ == "__main__":
    main()
