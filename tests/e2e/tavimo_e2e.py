#!/usr/bin/python3
"""End-to-end runs of the tavimo batch on real documents, checked with python-docx.

usage: tavimo_e2e.py [--through RUNNER] TAVIMO_BINARY
  --through runs the binary by way of another program (scripts/wine-run for tavimo.exe)."""
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import docx

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts", "gen"))
import make_xlsx_fixtures as xl  # noqa: E402

TAVIMO = None  # the command that starts tavimo, as a list


def make_doc(path, paragraphs, header=None):
    d = docx.Document()
    if header:
        d.sections[0].header.paragraphs[0].text = header
    for p in paragraphs:
        d.add_paragraph(p)
    d.save(path)


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def body(path):
    return [p.text for p in docx.Document(path).paragraphs]


def write_text_table(path, rows):
    with open(path, "w", newline="", encoding="utf-8") as f:
        for r in rows:
            f.write("\t".join(r) + "\r\n")


def write_xlsx_table(folder, name, rows):
    xl.OUT = folder
    shared, cells_rows = [], []
    for i, r in enumerate(rows, start=1):
        cells = []
        for j, text in enumerate(r):
            cells.append(xl.cell("%s%d" % ("ABC"[j], i), ("s", len(shared))))
            shared.append(xl.t(text))
        cells_rows.append((i, cells))
    xl.write(name, [("Table", xl.sheet(cells_rows, True))], shared, xl.styles([xl.font()], [], [(0, 0, 0)]))
    return os.path.join(folder, name)


def run(*args, timeout=300):
    p = subprocess.run(TAVIMO + list(args), stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout)
    return p.returncode, p.stdout.decode("utf-8", "replace")


class TavimoEndToEnd(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="tavimo_e2e_")

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def test_text_table_with_backups_every_kind_of_file(self):
        make_doc(self.path("a.docx"), ["The colour is grey.", "Colour again."], header="colour header")
        make_doc(self.path("b.docx"), ["Nothing to change."])
        original = read_bytes(self.path("a.docx"))
        with open(self.path("readme.txt"), "w") as f:
            f.write("x" * 11)
        os.mkdir(self.path("folder"))
        write_text_table(self.path("t.txt"), [["colour", "color"], ["grey", "gray"]])
        code, out = run("--table", self.path("t.txt"), "--json", self.path("r.json"), self.path("a.docx"),
                        self.path("b.docx"), self.path("readme.txt"), self.path("folder"), self.path("none.docx"))
        self.assertEqual(code, 1, out)  # none.docx failed
        self.assertEqual(body(self.path("a.docx")), ["The color is gray.", "Color again."])
        self.assertEqual(read_bytes(self.path("a.docx.bak")), original)
        self.assertFalse(os.path.exists(self.path("b.docx.bak")))
        with open(self.path("r.json"), encoding="utf-8") as f:
            r = json.load(f)
        self.assertEqual([f["result"] for f in r["files"]], [2, 8, 16, 1])  # the folder gets no line
        self.assertEqual(r["files"][0]["replacements"], 4)
        self.assertEqual(r["files"][2]["sizeBefore"], 11)
        self.assertEqual([f["error"] for f in r["files"]], [None, None, None, "The file does not exist."])
        self.assertIn("failed_1", out)
        self.assertIn("Operation completed!", out)
        self.assertEqual(r["totals"]["files"], 4)
        self.assertIn("folder: a folder; --recursive translates the documents in it", out)

        code, out = run("--table", self.path("t.txt"), self.path("folder"))
        self.assertEqual(code, 0, out)
        self.assertRegex(out, r"All files +0 +0 +0 +0")  # a run with nothing to do still totals

    def test_spreadsheet_table_saves_under_the_mask(self):
        make_doc(self.path("a.docx"), ["one two three"])
        table = write_xlsx_table(self.dir, "t.xlsx", [["two", "2"], ["three", "3"]])
        before = read_bytes(table)
        code, out = run("--table", table, "--mask", "[N]_new.[E]", self.path("a.docx"))
        self.assertEqual(code, 0, out)
        self.assertEqual(body(self.path("a_new.docx")), ["one 2 3"])
        self.assertEqual(body(self.path("a.docx")), ["one two three"])
        self.assertFalse(os.path.exists(self.path("a.docx.bak")))
        self.assertEqual(read_bytes(table), before)

    def test_a_table_saved_as_unicode_text_is_read_as_unicode(self):
        make_doc(self.path("a.docx"), ["Grüße aus Köln, colour"])
        for name, encoding in (("le.txt", "utf-16"), ("be.txt", "utf-16-be"), ("u8.txt", "utf-8-sig")):
            with open(self.path(name), "w", newline="", encoding=encoding) as f:
                f.write(("\ufeff" if encoding == "utf-16-be" else "") + "Grüße\tСпасибо\r\ncolour\t色\r\n")
        code, out = run("--table", self.path("le.txt"), "--in-place", self.path("a.docx"))
        self.assertEqual(code, 0, out)
        self.assertEqual(body(self.path("a.docx")), ["Спасибо aus Köln, 色"])
        for name in ("be.txt", "u8.txt"):
            make_doc(self.path("b.docx"), ["Grüße, colour"])
            run("--table", self.path(name), "--in-place", self.path("b.docx"))
            self.assertEqual(body(self.path("b.docx")), ["Спасибо, 色"], name)

    def test_a_comma_separated_table_is_read_as_a_spreadsheet(self):
        make_doc(self.path("a.docx"), ["grey, dark colour; 2.50 each"])
        with open(self.path("t.csv"), "w", newline="", encoding="utf-8-sig") as f:
            f.write('"grey, dark",gray\r\ncolour,"co""lor"\r\n2.50,2.5\r\n')
        code, out = run("--table", self.path("t.csv"), "--in-place", self.path("a.docx"))
        self.assertEqual(code, 0, out)
        # As in Excel, 2.50 is a number, shown as 2.5: that row finds "2.5" and changes nothing.
        self.assertEqual(body(self.path("a.docx")), ['gray co"lor; 2.50 each'])

    def test_second_backup_gets_a_number_and_in_place_keeps_none(self):
        make_doc(self.path("a.docx"), ["x1"])
        write_text_table(self.path("t.txt"), [["x1", "x2"], ["x2", "x3"]])
        run("--table", self.path("t.txt"), self.path("a.docx"))
        write_text_table(self.path("t.txt"), [["x3", "x4"]])
        run("--table", self.path("t.txt"), self.path("a.docx"))
        self.assertTrue(os.path.exists(self.path("a.docx.bak")))
        self.assertTrue(os.path.exists(self.path("a.docx.bak0")))
        self.assertEqual(body(self.path("a.docx")), ["x4"])
        make_doc(self.path("c.docx"), ["x1"])
        run("--table", self.path("t.txt"), "--in-place", self.path("c.docx"))
        self.assertFalse(os.path.exists(self.path("c.docx.bak")))

    def test_options_case_whole_word_and_empty_replacement(self):
        make_doc(self.path("a.docx"), ["Term term terms"])
        write_text_table(self.path("t.txt"), [["term", "word"]])
        run("--table", self.path("t.txt"), "--in-place", "--case", "--whole-word", self.path("a.docx"))
        self.assertEqual(body(self.path("a.docx")), ["Term word terms"])
        make_doc(self.path("b.docx"), ["keep drop keep"])
        write_text_table(self.path("t.txt"), [["drop ", ""]])
        code, out = run("--table", self.path("t.txt"), "--in-place", "--empty-replacement=ignore", self.path("b.docx"))
        self.assertEqual(body(self.path("b.docx")), ["keep drop keep"])
        run("--table", self.path("t.txt"), "--in-place", "--empty-replacement=delete", self.path("b.docx"))
        self.assertEqual(body(self.path("b.docx")), ["keep keep"])

    def test_recursive_folders_and_capital_letters(self):
        os.makedirs(self.path("sub/deeper"))
        make_doc(self.path("sub/deeper/a.docx"), ["Colour and colour"])
        write_text_table(self.path("t.txt"), [["colour", "color"]])
        code, out = run("--table", self.path("t.txt"), "--in-place", "--recursive", self.path("sub"))
        self.assertEqual(code, 0, out)
        self.assertEqual(body(self.path("sub/deeper/a.docx")), ["Color and color"])

    def test_a_document_named_twice_is_translated_once(self):
        os.makedirs(self.path("sub"))
        make_doc(self.path("sub/a.docx"), ["colour"])
        write_text_table(self.path("t.txt"), [["colour", "colourful"]])
        again = os.path.join(self.dir, "sub", "..", "sub", "a.docx")
        os.link(self.path("sub/a.docx"), self.path("hard.docx"))
        code, out = run("--table", self.path("t.txt"), "--json", self.path("r.json"), self.path("sub/a.docx"), again,
                        self.path("hard.docx"), "--recursive", self.path("sub"))
        self.assertEqual(code, 0, out)
        self.assertEqual(body(self.path("sub/a.docx")), ["colourful"])
        self.assertFalse(os.path.exists(self.path("sub/a.docx.bak0")))
        self.assertEqual(len(json.load(open(self.path("r.json")))["files"]), 1)
        self.assertIn("named more than once, translated once", out)

    def test_several_jobs_give_the_lines_and_files_one_job_gives(self):
        write_text_table(self.path("t.txt"), [["colour", "color"], ["grey", "gray"]])
        runs = {}
        for jobs in ("1", "3"):
            folder = self.path("jobs" + jobs)
            os.mkdir(folder)
            names = []
            for i in range(8):
                name = os.path.join(folder, "d%d.docx" % i)
                make_doc(name, ["colour %d" % i] + ["grey"] * (i * 40))
                names.append(name)
            with open(os.path.join(folder, "readme.txt"), "w") as f:
                f.write("x" * 5)
            given = names[:2] + [os.path.join(folder, "readme.txt"), os.path.join(folder, "gone.docx")] + names[2:]
            code, out = run("--table", self.path("t.txt"), "--jobs", jobs, "--json", self.path("r%s.json" % jobs), *given)
            self.assertEqual(code, 1, out)  # gone.docx failed
            with open(self.path("r%s.json" % jobs), encoding="utf-8") as f:
                files = json.load(f)["files"]
            self.assertEqual([os.path.basename(f["path"]) for f in files], [os.path.basename(g) for g in given])
            lines = [os.path.basename(l.split()[0]) for l in out.splitlines() if l.startswith(folder)]
            self.assertEqual(lines, [os.path.basename(g) for g in given], out)  # printed in the order given
            for i, name in enumerate(names):
                self.assertEqual(body(name), ["color %d" % i] + ["gray"] * (i * 40))
                self.assertTrue(os.path.exists(name + ".bak"))
            runs[jobs] = [(f["result"], f["replacements"], f["sizeBefore"], f["sizeAfter"]) for f in files]
        self.assertEqual(runs["1"], runs["3"])

        # Names built by a mask could meet: such a run goes one document at a time.
        make_doc(self.path("m1.docx"), ["colour"])
        make_doc(self.path("m2.docx"), ["grey"])
        code, out = run("--table", self.path("t.txt"), "--jobs", "2", "--mask", "[N]_us.[E]",
                        self.path("m1.docx"), self.path("m2.docx"))
        self.assertEqual(code, 0, out)
        self.assertIn("with a mask the documents are translated one at a time", out)
        self.assertEqual(body(self.path("m2_us.docx")), ["gray"])

    def test_a_table_that_cannot_be_used_exits_2(self):
        make_doc(self.path("a.docx"), ["x"])
        # A missing text table would read as an empty one: every document "unchanged", exit 0.
        for missing in ("missing.xlsx", "missing.txt"):
            code, out = run("--table", self.path(missing), self.path("a.docx"))
            self.assertEqual(code, 2, out)
            self.assertIn("Translation table does not exist!", out)
        with open(self.path("bad.xlsx"), "wb") as f:
            f.write(b"not a workbook at all")
        code, out = run("--table", self.path("bad.xlsx"), self.path("a.docx"))
        self.assertEqual(code, 2, out)
        self.assertIn("Error during opening a Translation Table!\nThe file is not a workbook", out.replace("\r\n", "\n"))
        self.assertEqual(body(self.path("a.docx")), ["x"])

    def test_links_back_up_the_tree_hand_each_document_over_once(self):
        os.makedirs(self.path("d/sub"))
        make_doc(self.path("d/sub/a.docx"), ["colour"])
        os.symlink("..", self.path("d/sub/up"))
        os.symlink(".", self.path("d/self"))
        os.symlink("sub/a.docx", self.path("d/alias.docx"))
        write_text_table(self.path("t.txt"), [["colour", "colourful"]])
        code, out = run("--table", self.path("t.txt"), "--in-place", "--recursive", self.path("d"), timeout=60)
        self.assertEqual(code, 0, out)
        self.assertEqual(out.count("successful"), 2, out)  # the line and the totals row
        self.assertEqual(body(self.path("d/sub/a.docx")), ["colourful"])

    def test_names_cannot_drive_the_terminal_and_the_report_is_honest(self):
        name = "x\x1b[2J\x1b]0;title\x07.docx"
        make_doc(self.path(name), ["colour"])
        write_text_table(self.path("t.txt"), [["colour", "color"]])
        report = self.path("r.json")
        with open(self.path("x\x1b[31m.doc"), "w") as f:
            f.write("plain text")
        code, out = run("--table", self.path("t.txt"), "--json", report, self.path(name), self.path("gone.docx"),
                        self.path("x\x1b[31m.doc"))
        self.assertEqual(code, 1, out)
        self.assertNotIn("\x1b", out)  # nor in the reasons, which quote the name
        self.assertIn("gone.docx: The file does not exist.", out)
        # Windows cannot reach a name with an escape in it; Linux reads the file and says what it is.
        self.assertTrue('"x?[31m.doc" is not a Word document' in out or "x?[31m.doc: The file does not exist." in out, out)
        self.assertIn("x?[2J?]0;title?.docx", out)
        files = json.load(open(report))["files"]
        self.assertEqual(files[0]["path"], self.path(name))
        # The missing document's sizes are unknown, not the previous document's.
        self.assertEqual((files[1]["result"], files[1]["sizeBefore"], files[1]["sizeAfter"]), (1, None, None))
        # A report that cannot be written is found out before any document is touched.
        make_doc(self.path("b.docx"), ["colour"])
        code, out = run("--table", self.path("t.txt"), "--json", self.path("no/such/r.json"), self.path("b.docx"))
        self.assertEqual(code, 2, out)
        self.assertEqual(body(self.path("b.docx")), ["colour"])
        # A reason quoting a name outside ASCII shows the name as it is, on Windows too.
        with open(self.path("caf\u00e9.doc"), "w") as f:
            f.write("plain text")
        code, out = run("--table", self.path("t.txt"), self.path("caf\u00e9.doc"))
        self.assertEqual(code, 1, out)
        self.assertIn('"caf\u00e9.doc" is not a Word document', out)

    def fixture(self, name):
        target = self.path(name)
        shutil.copy(os.path.join(HERE, "..", "fixtures", "docx", name), target)
        return target

    def parts(self, path, prefix):
        import zipfile
        with zipfile.ZipFile(path) as z:
            return {n: z.read(n).decode("utf-8") for n in z.namelist() if n.startswith(prefix)}

    def test_every_header_and_footer_changes_once_through_the_batch(self):
        doc = self.fixture("sections-python-docx.docx")
        write_text_table(self.path("t.txt"), [["head", "[head]", "w"]])
        code, out = run("--table", self.path("t.txt"), "--in-place", "--json", self.path("r.json"), doc)
        self.assertEqual(code, 0, out)
        with open(self.path("r.json"), encoding="utf-8") as f:
            self.assertEqual(json.load(f)["files"][0]["replacements"], 8)
        stories = self.parts(doc, "word/header")
        stories.update(self.parts(doc, "word/footer"))
        self.assertTrue(stories)
        for name, xml in stories.items():
            if "head" in xml:
                self.assertEqual(xml.count("[head]"), 1, name)
                self.assertNotIn("[[head]]", xml, name)
        texts = [p.text for p in docx.Document(doc).paragraphs if p.text]
        self.assertEqual(texts, ["First section [head] text", "Second section [head] text"])

    def test_a_header_every_section_refers_to_is_changed_once(self):
        d = docx.Document()
        d.sections[0].header.paragraphs[0].text = "the cat here"
        d.add_paragraph("body")
        d.add_section()
        d.add_section()
        import copy
        ref = d.sections[0]._sectPr.find(docx.oxml.ns.qn("w:headerReference"))
        for s in d.sections[1:]:  # some writers name the same part in every section
            s._sectPr.insert(0, copy.deepcopy(ref))
        doc = self.path("shared.docx")
        d.save(doc)
        write_text_table(self.path("t.txt"), [["cat", "cats"]])
        code, out = run("--table", self.path("t.txt"), "--in-place", doc)
        self.assertEqual(code, 0, out)
        self.assertEqual(docx.Document(doc).sections[0].header.paragraphs[0].text, "the cats here")

    def test_prefixes_declared_on_a_run_stay_bound_when_runs_are_remade(self):
        import xml.dom.minidom
        import zipfile
        doc = self.path("ns.docx")
        make_doc(doc, ["placeholder"])
        with zipfile.ZipFile(doc) as z:
            parts = {n: z.read(n) for n in z.namelist()}
        runs = ('<w:p><w:r xmlns:x="urn:x"><w:rPr><w:b/><x:foo/></w:rPr><w:t xml:space="preserve">Hello </w:t></w:r>'
                '<w:r><w:t>world</w:t></w:r></w:p>').encode()
        xmlText = parts["word/document.xml"]
        start = xmlText.index(b"<w:p>")
        end = xmlText.index(b"</w:p>") + len(b"</w:p>")
        parts["word/document.xml"] = xmlText[:start] + runs + xmlText[end:]
        with zipfile.ZipFile(doc, "w", zipfile.ZIP_DEFLATED) as z:
            for n, b in parts.items():
                z.writestr(n, b)
        write_text_table(self.path("t.txt"), [["Hello world", "Bye"], ["Bye", "a^tb"]])
        code, out = run("--table", self.path("t.txt"), "--in-place", doc)
        self.assertEqual(code, 0, out)
        with zipfile.ZipFile(doc) as z:
            xml.dom.minidom.parseString(z.read("word/document.xml"))  # raises on an unbound prefix
        self.assertEqual(body(doc), ["A\tb"])  # the capital of the found text carries over

    def test_rows_on_marks_that_cannot_go_end_and_replacements_are_never_replaced_again(self):
        # A story's last mark and the one before a table stay; acting on them again and
        # again never ended.
        d = docx.Document()
        d.add_paragraph("one")
        d.add_table(rows=1, cols=1).cell(0, 0).text = "cell"
        d.add_paragraph("two")
        d.save(self.path("marks.docx"))
        make_doc(self.path("join.docx"), ["abc", "def"])
        make_doc(self.path("abb.docx"), ["abb"])
        write_text_table(self.path("hash.txt"), [["^p", "#"]])
        write_text_table(self.path("none.txt"), [["^p", ""]])
        write_text_table(self.path("ab.txt"), [["ab", "ba"]])
        code, out = run("--table", self.path("hash.txt"), "--in-place", self.path("join.docx"), timeout=30)
        self.assertEqual(code, 0, out)
        self.assertEqual(body(self.path("join.docx")), ["abc#def#"])
        code, out = run("--table", self.path("none.txt"), "--in-place", self.path("marks.docx"), timeout=30)
        self.assertEqual(code, 0, out)
        self.assertEqual([t for t in body(self.path("marks.docx")) if t], ["one", "two"])
        # After the last "ab" the search wraps round and finds "ab" in "bab": half of it is
        # the replacement's own.
        code, out = run("--table", self.path("ab.txt"), "--in-place", self.path("abb.docx"), timeout=30)
        self.assertEqual(code, 0, out)
        self.assertEqual(body(self.path("abb.docx")), ["bab"])

    def test_a_hit_never_takes_half_of_an_emoji(self):
        make_doc(self.path("e.docx"), ["a\U0001F600b c"])
        write_text_table(self.path("w.txt"), [["a?", "X"]])
        code, out = run("--table", self.path("w.txt"), "--wildcards", "--in-place", self.path("e.docx"))
        self.assertEqual(code, 0, out)
        self.assertEqual(body(self.path("e.docx")), ["a\U0001F600b c"])
        write_text_table(self.path("p.txt"), [["^?b", "Y"]])
        code, out = run("--table", self.path("p.txt"), "--in-place", self.path("e.docx"))
        self.assertEqual(code, 0, out)
        self.assertEqual(body(self.path("e.docx")), ["a\U0001F600b c"])  # left whole rather than halved

    def test_table_of_contents_links_survive_the_batch(self):
        doc = self.fixture("toc.docx")
        write_text_table(self.path("t.txt"), [["Chapter", "Part"], ["example.com", "example.org"]])
        code, out = run("--table", self.path("t.txt"), "--in-place", doc)
        self.assertEqual(code, 0, out)
        xml = self.parts(doc, "word/document.xml")["word/document.xml"]
        rels = self.parts(doc, "word/_rels/document.xml.rels")["word/_rels/document.xml.rels"]
        self.assertIn('w:anchor="_Toc100"', xml)
        self.assertIn('HYPERLINK \\l "_Toc200"', xml)
        self.assertIn("Part head A", xml)
        self.assertIn("http://example.org/head.htm", rels)
        self.assertNotIn('Target="#', rels)

    def test_ctrl_c_aborts_and_leaves_nothing_half_written(self):
        write_text_table(self.path("t.txt"), [["alpha", "gamma"], ["beta", "delta"]] * 50)
        for jobs in ("1", "3"):
            names = []
            for i in range(40):
                n = self.path("j%s_d%02d.docx" % (jobs, i))
                make_doc(n, ["alpha beta " * 200] * 30)
                names.append(n)
            p = subprocess.Popen(TAVIMO + ["--table", self.path("t.txt"), "--jobs", jobs] + names,
                                 stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            # The header, then the first document's line: the batch is under way, every job in a document.
            first = p.stdout.readline() + p.stdout.readline()
            p.send_signal(signal.SIGINT)
            out = first + p.stdout.read()
            code = p.wait(timeout=120)
            text = out.decode("utf-8", "replace")
            self.assertEqual(code, 130, text)
            self.assertIn("Operation aborted!", text)
            leftovers = [f for f in os.listdir(self.dir) if ".~tmp" in f or f.endswith(".tmp")]
            self.assertEqual(leftovers, [])
            for n in names:  # every document is either untouched or completely replaced, its backup whole
                docx.Document(n)
                if os.path.exists(n + ".bak"):
                    docx.Document(n + ".bak")

    def test_a_terminal_gets_a_bar_a_few_times_a_second_not_one_per_row(self):
        if len(TAVIMO) > 1:
            self.skipTest("a runner's console (Wine's) draws the terminal its own way")
        write_text_table(self.path("t.txt"), [["term%03d" % i, "word%03d" % i] for i in range(200)])
        names = []
        for i in range(20):
            names.append(self.path("d%02d.docx" % i))
            make_doc(names[-1], ["Some term%03d here." % j for j in range(0, 200, 9)])
        start = time.monotonic()
        code, text = run_on_terminal("--table", self.path("t.txt"), "--in-place", *names)
        elapsed = time.monotonic() - start
        self.assertEqual(code, 0, text)
        # One redraw a row would be 4,000 bars; a few a second is the most a reader can use.
        self.assertLessEqual(text.count("%  "), 10 * elapsed + 25, text)
        done = [line for line in text.replace("\r", "\n").split("\n") if line.startswith(self.dir)]
        self.assertEqual(len(done), 20, text)
        for line in done:  # each document's line stands whole, with no bar left on it
            self.assertTrue(line.rstrip().endswith("successful"), line)
        self.assertIn("Operation completed!", text)
        self.assertEqual(body(names[0])[0], "Some word000 here.")


def run_on_terminal(*args):
    """Runs tavimo with a pseudo-terminal as its output; returns the exit code and all it wrote."""
    import pty
    pid, fd = pty.fork()
    if pid == 0:
        os.execv(TAVIMO[0], TAVIMO + list(args))
    out = b""
    while True:
        try:
            chunk = os.read(fd, 65536)
        except OSError:  # the other side closed
            break
        if not chunk:
            break
        out += chunk
    _, status = os.waitpid(pid, 0)
    os.close(fd)
    return os.waitstatus_to_exitcode(status), out.decode("utf-8", "replace")


def keep_runner_up(runner, binary):
    """Under Wine: one program kept running for the whole suite (cmd.exe reading a pipe we hold).
    Its server then stays up between the runs, which start at once instead of waiting for a
    new server, and never meet one that is shutting down (a run can then fail to start at
    all). Wine's background programs start with it, away from the pipes the tests read: had a
    run started them, its reader would wait for them too."""
    keeper = subprocess.Popen([runner, "cmd.exe"], cwd=os.path.dirname(os.path.abspath(binary)),
                              stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run([runner, binary, "--help"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    return keeper


if __name__ == "__main__":
    TAVIMO = [sys.argv.pop(1)]
    keeper = None
    if TAVIMO == ["--through"]:
        TAVIMO = [os.path.abspath(sys.argv.pop(1)), os.path.abspath(sys.argv.pop(1))]
        keeper = keep_runner_up(*TAVIMO)
    try:
        unittest.main(verbosity=1)
    finally:
        if keeper:
            keeper.stdin.close()
            keeper.wait(timeout=60)
