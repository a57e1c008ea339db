#!/usr/bin/python3
"""The batch leaves alone everything in a document no table row matched: each document is run
through tavimo with tables that hit every story, text next to bookmarks, inside field results
and hyperlinks, across runs of different formatting, next to deleted and moved text, and with
^p and ^t in finds and replacements; preservation_check.py then compares it with the original.

usage: preservation_e2e.py TAVIMO_BINARY [--long]
  --long also runs the full check over the office-suite document and long paragraphs (minutes).

preservation-writer.docx was made once from preservation-writer.fodt (beside it) by
`soffice --headless --convert-to docx`; the other documents are written here by
preservation_fixtures.py."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import preservation_check as pc  # noqa: E402
import preservation_fixtures as fx  # noqa: E402

TAVIMO = None
LONG = False

TABLES = {
    "every story": [("colour", "color")],
    "marks and tabs in replacements": [("colour", "COLOUR^pNEW"), ("grey", "gr^tay")],
    "paragraph marks found": [("across runs.^pBookmark", "JOINED"), ("ends colour^p after", "X")],
    "across runs and revisions": [("colour mixed", "hue mixed"), ("d colour", "d hue"), ("Text box colour", "Box hue"),
                                  ("style colour", "S"), ("ins  inserted", "I"), ("delete colour", "D"), ("result", "R")],
    "hyperlinks": [("example.com", "example.net"), ("colour site", "hue site"), ("colour link", "hue link")],
    "deleted text only": [("deleted colour", "removed"), ("eted", "x")],
    "special characters": [("two   three", "2^t3"), ("broken colour", "broken^lhue"), ("cølour", "farve"), ("break", "b^pk")],
}
NOTHING = [("zzqqxx", "foo"), ("nothing^pat all", "bar"), ("deleted colour", "x")]


def run_batch(path, rows):
    table = path + ".table.txt"
    with open(table, "w", encoding="utf-8", newline="") as f:
        f.write("".join("%s\t%s\r\n" % r for r in rows))
    p = subprocess.run(TAVIMO + ["--table", table, "--in-place", path], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                       timeout=120)
    out = p.stdout.decode("utf-8", "replace")
    status = [line.split()[-1] for line in out.splitlines() if os.path.basename(path) in line and line.split()]
    return p.returncode, status[0] if status else out


class Preservation(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="tavimo_preservation_")
        cls.docs = {}
        words = 300 if LONG else 12
        for name, make in (("rich.docx", lambda p: fx.make_rich(p, False, words)), ("rich.docm", lambda p: fx.make_rich(p, True, words)),
                           ("edge.docx", fx.make_edge)):
            cls.docs[name] = os.path.join(cls.dir, name)
            make(cls.docs[name])
        if LONG:
            writer = os.path.join(cls.dir, "writer.docx")
            shutil.copy(os.path.join(HERE, "..", "fixtures", "docx", "preservation-writer.docx"), writer)
            cls.docs["writer.docx"] = writer

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    def copy(self, doc, tag):
        target = os.path.join(self.dir, tag.replace(" ", "_") + "_" + doc)
        shutil.copy(self.docs[doc], target)
        return target

    def test_only_what_a_row_matched_changes(self):
        for doc in self.docs:
            for tag, rows in TABLES.items():
                with self.subTest(document=doc, table=tag):
                    path = self.copy(doc, tag)
                    with open(path, "rb") as f:
                        before = f.read()
                    code, status = run_batch(path, rows)
                    self.assertEqual(code, 0, status)
                    self.assertIn(status, ("successful", "unchanged"))
                    with open(path, "rb") as f:
                        after = f.read()
                    self.assertEqual(pc.problems(before, after, rows), [])

    def test_a_table_that_matches_nothing_leaves_the_file_as_it_was(self):
        for doc in self.docs:
            with self.subTest(document=doc):
                path = self.copy(doc, "nothing")
                with open(path, "rb") as f:
                    before = f.read()
                code, status = run_batch(path, NOTHING)
                self.assertEqual((code, status), (0, "unchanged"))
                with open(path, "rb") as f:
                    self.assertEqual(f.read(), before)


def rewrite(data, part, change):
    """The package with one part changed by change(text) -> text, or dropped when it gives None."""
    src = zipfile.ZipFile(__import__("io").BytesIO(data))
    out = __import__("io").BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for info in src.infolist():
            body = src.read(info.filename)
            if info.filename == part:
                text = change(body.decode("utf-8"))
                if text is None:
                    continue
                body = text.encode("utf-8")
            z.writestr(info, body)
    return out.getvalue()


class TheCheckerSeesLosses(unittest.TestCase):
    """The check is only worth its silence if it speaks up: each loss below must be reported."""

    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="tavimo_checker_")
        path = os.path.join(cls.dir, "rich.docx")
        fx.make_rich(path, False, 12)
        with open(path, "rb") as f:
            cls.original = f.read()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    def test_a_copy_and_a_matched_replacement_pass(self):
        rows = [("Plain colour", "Plain hue")]
        self.assertEqual(pc.problems(self.original, self.original, rows), [])
        changed = rewrite(self.original, "word/document.xml", lambda t: t.replace(">Plain colour text", ">Plain hue text"))
        self.assertEqual(pc.problems(self.original, changed, rows), [])

    def test_each_loss_is_reported(self):
        rows = [("colour", "hue")]
        doc = "word/document.xml"
        losses = {
            "a bookmark": (doc, lambda t: t.replace('<w:bookmarkStart w:id="1" w:name="Tight"/>', "", 1)),
            "deleted text": (doc, lambda t: t.replace(">deleted colour<", ">deleted hue<")),
            "a field code": (doc, lambda t: t.replace(" PAGE ", " NUMPAGES ")),
            "an attribute": (doc, lambda t: t.replace('w:val="FF0000"', 'w:val="00FF00"')),
            "text no row matched": (doc, lambda t: t.replace(">and ends ", ">and end ")),
            "a revision mark": (doc, lambda t: t.replace('<w:ins w:id="10" w:author="Ann" w:date="2024-01-01T00:00:00Z">', "").replace(
                "inserted colour</w:t></w:r></w:ins>", "inserted colour</w:t></w:r>")),
            "a namespace declaration": ("word/header1.xml", lambda t: t.replace(' xmlns:wpc="http://schemas.microsoft.com/office/word/2010/wordprocessingCanvas"', "")),
            "a part": ("customXml/item1.xml", lambda t: None),
            "a comment": ("word/comments.xml", lambda t: t.replace("A colour comment", "A comment")),
            "a relationship": ("word/_rels/document.xml.rels", lambda t: t.replace("charts/chart1.xml", "charts/chart2.xml")),
            "formatting of replaced text": (doc, lambda t: t.replace('<w:r><w:t xml:space="preserve">Plain colour text', '<w:r><w:rPr><w:u/></w:rPr><w:t xml:space="preserve">Plain hue text')),
        }
        for what, (part, change) in losses.items():
            with self.subTest(loss=what):
                changed = rewrite(self.original, part, change)
                self.assertNotEqual(changed, self.original)
                self.assertNotEqual(pc.problems(self.original, changed, rows), [], what)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        print(__doc__)
        sys.exit(2)
    TAVIMO = [sys.argv.pop(1)]
    if "--long" in sys.argv:
        sys.argv.remove("--long")
        LONG = True
    unittest.main()
