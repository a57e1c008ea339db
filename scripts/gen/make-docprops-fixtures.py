#!/usr/bin/python3
"""Documents for the document-properties tests, made without our engine: python-docx for a
document with both property parts, hand-written parts zipped by the system zip for the odd
cases. Run with the system python (it has python-docx):
/usr/bin/python3 scripts/gen/make-docprops-fixtures.py"""
import io
import os
import subprocess
import tempfile
import zipfile

import docx

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "fixtures", "docprops")
HEAD = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
RELS = "http://schemas.openxmlformats.org/package/2006/relationships"
OFFICE = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument"
CORE_REL = "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties"
APP_REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties"
MAIN = "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"
W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
# Fixed entry times, so running the script again gives the same bytes.
FIXED_TIME = (2024, 1, 1, 0, 0, 0)
FIXED_STAMP = 1704067200


def python_docx_fixture():
    d = docx.Document()
    d.add_paragraph("Properties")
    cp = d.core_properties
    cp.title = "Annual report"
    cp.subject = "Sales & costs"
    cp.author = "Ann Author"
    cp.keywords = ""  # present but empty
    d.save(os.path.join(OUT, "python-docx.docx"))
    # Give app.xml a Company (the template's is empty) and no Manager element at all, by
    # rewriting that one entry with the standard zipfile module.
    src = os.path.join(OUT, "python-docx.docx")
    with zipfile.ZipFile(src) as z:
        entries = [(i, z.read(i.filename)) for i in z.infolist()]
    with zipfile.ZipFile(src, "w", zipfile.ZIP_DEFLATED) as z:
        for info, data in entries:
            info.date_time = FIXED_TIME
            if info.filename == "docProps/app.xml":
                assert b"<Company/>" in data and b"<Manager/>" in data
                data = data.replace(b"<Company/>", b"<Company>Acme Ltd</Company>").replace(b"  <Manager/>\n", b"")
            z.writestr(info, data)


def hand_written(name, files):
    with tempfile.TemporaryDirectory() as tmp:
        for path, text in files.items():
            full = os.path.join(tmp, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w", encoding="utf-8", newline="") as f:
                f.write(text)
            os.utime(full, (FIXED_STAMP, FIXED_STAMP))
        target = os.path.join(OUT, name)
        if os.path.exists(target):
            os.remove(target)
        subprocess.check_call(["zip", "-q", "-X", "-r", target] + sorted(files), cwd=tmp,
                              env=dict(os.environ, TZ="UTC"))


def package(extra_types="", extra_rels="", parts=None):
    files = {
        "[Content_Types].xml": HEAD + '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
        '<Default Extension="xml" ContentType="application/xml"/>'
        '<Override PartName="/word/document.xml" ContentType="%s"/>%s</Types>' % (MAIN, extra_types),
        "_rels/.rels": HEAD + '<Relationships xmlns="%s"><Relationship Id="rId1" Type="%s" Target="word/document.xml"/>'
        '%s</Relationships>' % (RELS, OFFICE, extra_rels),
        "word/document.xml": HEAD + '<w:document xmlns:w="%s"><w:body><w:p><w:r><w:t>Body</w:t></w:r></w:p>'
        '<w:sectPr/></w:body></w:document>' % W,
    }
    files.update(parts or {})
    return files


def main():
    os.makedirs(OUT, exist_ok=True)
    python_docx_fixture()
    # No property part at all, and an unrelated "rId2" so a new relationship needs a fresh id.
    hand_written("no-props.docx", package(
        extra_rels='<Relationship Id="rId2" Type="http://example.com/custom" Target="custom/x.xml"/>',
        parts={"custom/x.xml": HEAD + "<x/>"}))
    # Parts at unusual names, unusual prefixes, an entity and a character reference, CDATA,
    # a comment, and a core part that does not declare the Dublin Core namespace.
    hand_written("odd-prefixes.docx", package(
        extra_types='<Override PartName="/meta/c.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>'
                    '<Override PartName="/meta/a.xml" ContentType="application/vnd.openxmlformats-officedocument.extended-properties+xml"/>',
        extra_rels='<Relationship Id="rIdC" Type="%s" Target="/meta/c.xml"/><Relationship Id="rIdA" Type="%s" Target="meta/a.xml"/>'
                   % (CORE_REL, APP_REL),
        parts={
            "meta/c.xml": HEAD + '<p:coreProperties xmlns:p="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" '
                          'xmlns:d="http://purl.org/dc/elements/1.1/"><!-- kept -->'
                          '<d:title>Fish &amp; chips &#169; <![CDATA[<raw>]]></d:title>'
                          '<p:keywords>one two</p:keywords><title>not Dublin Core</title></p:coreProperties>',
            "meta/a.xml": HEAD + '<ep:Properties xmlns:ep="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties">'
                          '<ep:Manager>Mary</ep:Manager><ep:Application>Hand</ep:Application></ep:Properties>',
        }))
    # A relationship to a core part the package lacks.
    hand_written("dangling-core.docx", package(
        extra_rels='<Relationship Id="rIdC" Type="%s" Target="docProps/core.xml"/>' % CORE_REL))
    # A core part that is not well-formed XML.
    hand_written("broken-core.docx", package(
        extra_rels='<Relationship Id="rIdC" Type="%s" Target="docProps/core.xml"/>' % CORE_REL,
        parts={"docProps/core.xml": HEAD + "<cp:coreProperties><dc:title>open"}))


if __name__ == "__main__":
    main()
