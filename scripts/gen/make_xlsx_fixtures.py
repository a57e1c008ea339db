#!/usr/bin/python3
"""Writes the workbook fixtures of tests/fixtures/xlsx with nothing but the standard library.

The files are built by hand from SpreadsheetML text, independently of the engine under test,
so that the engine's reader is checked against packages it did not write. Run it again after
changing it; the output is deterministic (fixed ZIP timestamps).

With --dump FILE it prints what a workbook holds instead: the tests compare that listing of a
fixture with the listing of the same workbook saved by the engine.
"""
import os
import sys
import zipfile
from xml.sax.saxutils import escape

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "fixtures", "xlsx")
MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
RELNS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKGREL = "http://schemas.openxmlformats.org/package/2006/relationships"
HEAD = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'

THEME = HEAD + """<a:theme xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" name="Office Theme">
<a:themeElements><a:clrScheme name="Office">
<a:dk1><a:sysClr val="windowText" lastClr="000000"/></a:dk1><a:lt1><a:sysClr val="window" lastClr="FFFFFF"/></a:lt1>
<a:dk2><a:srgbClr val="1F497D"/></a:dk2><a:lt2><a:srgbClr val="EEECE1"/></a:lt2>
<a:accent1><a:srgbClr val="4F81BD"/></a:accent1><a:accent2><a:srgbClr val="C0504D"/></a:accent2>
<a:accent3><a:srgbClr val="9BBB59"/></a:accent3><a:accent4><a:srgbClr val="8064A2"/></a:accent4>
<a:accent5><a:srgbClr val="4BACC6"/></a:accent5><a:accent6><a:srgbClr val="F79646"/></a:accent6>
<a:hlink><a:srgbClr val="0000FF"/></a:hlink><a:folHlink><a:srgbClr val="800080"/></a:folHlink>
</a:clrScheme><a:fontScheme name="Office"><a:majorFont><a:latin typeface="Cambria"/></a:majorFont>
<a:minorFont><a:latin typeface="Calibri"/></a:minorFont></a:fontScheme>
<a:fmtScheme name="Office"><a:fillStyleLst/><a:lnStyleLst/><a:effectStyleLst/><a:bgFillStyleLst/></a:fmtScheme>
</a:themeElements></a:theme>"""


def font(size=11, name="Calibri", bold=False, italic=False, underline=None, color=None, run=False):
    parts = []
    if run:
        parts.append('<rFont val="%s"/>' % name)
    if bold:
        parts.append("<b/>")
    if italic:
        parts.append("<i/>")
    if run:
        if color:
            parts.append("<color %s/>" % color)
        parts.append('<sz val="%s"/>' % size)
        if underline:
            parts.append('<u val="%s"/>' % underline)
        return "<rPr>%s</rPr>" % "".join(parts)
    if underline:
        parts.append('<u val="%s"/>' % underline)
    parts.append('<sz val="%s"/>' % size)
    if color:
        parts.append("<color %s/>" % color)
    parts.append('<name val="%s"/>' % name)
    return "<font>%s</font>" % "".join(parts)


def styles(fonts, fills, xfs, numfmts=()):
    out = [HEAD, '<styleSheet xmlns="%s">' % MAIN]
    if numfmts:
        out.append('<numFmts count="%d">' % len(numfmts))
        out += ['<numFmt numFmtId="%d" formatCode="%s"/>' % (i, escape(c, {'"': "&quot;"})) for i, c in numfmts]
        out.append("</numFmts>")
    out.append('<fonts count="%d">%s</fonts>' % (len(fonts), "".join(fonts)))
    allfills = ['<fill><patternFill patternType="none"/></fill>', '<fill><patternFill patternType="gray125"/></fill>']
    allfills += ['<fill><patternFill patternType="solid"><fgColor %s/><bgColor indexed="64"/></patternFill></fill>' % f
                 for f in fills]
    out.append('<fills count="%d">%s</fills>' % (len(allfills), "".join(allfills)))
    out.append('<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>')
    out.append('<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>')
    out.append('<cellXfs count="%d">' % len(xfs))
    out += ['<xf numFmtId="%d" fontId="%d" fillId="%d" borderId="0" xfId="0"/>' % x for x in xfs]
    out.append('</cellXfs><cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>')
    out.append("</styleSheet>")
    return "".join(out)


def t(text):
    space = ' xml:space="preserve"' if text != text.strip() else ""
    return "<t%s>%s</t>" % (space, escape(text))


def cell(ref, value, style=0):
    """value: str (shared string index given as ('s', i)), float/int, bool, ('e', '#N/A'), ('is', xml)."""
    s = ' s="%d"' % style if style else ""
    if isinstance(value, bool):
        return '<c r="%s"%s t="b"><v>%d</v></c>' % (ref, s, 1 if value else 0)
    if isinstance(value, (int, float)):
        return '<c r="%s"%s><v>%r</v></c>' % (ref, s, value)
    kind, v = value
    if kind == "s":
        return '<c r="%s"%s t="s"><v>%d</v></c>' % (ref, s, v)
    if kind == "e":
        return '<c r="%s"%s t="e"><v>%s</v></c>' % (ref, s, v)
    if kind == "is":
        return '<c r="%s"%s t="inlineStr"><is>%s</is></c>' % (ref, s, v)
    if kind == "blank":
        return '<c r="%s"%s/>' % (ref, s)
    raise ValueError(kind)


def sheet(rows, active=False):
    out = [HEAD, '<worksheet xmlns="%s" xmlns:r="%s">' % (MAIN, RELNS)]
    out.append('<sheetViews><sheetView%s workbookViewId="0"/></sheetViews><sheetData>' % (' tabSelected="1"' if active else ""))
    for r, cells in rows:
        out.append('<row r="%d">%s</row>' % (r, "".join(cells)))
    out.append("</sheetData></worksheet>")
    return "".join(out)


def write(name, sheets, shared, style_xml, active_tab=0, theme=True, content_type_main=None):
    """sheets: [(name, xml)], shared: [si inner xml]."""
    path = os.path.join(OUT, name)
    main_type = content_type_main or "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"
    types = [HEAD, '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">',
             '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>',
             '<Default Extension="xml" ContentType="application/xml"/>',
             '<Override PartName="/xl/workbook.xml" ContentType="%s"/>' % main_type,
             '<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>',
             '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>']
    if theme:
        types.append('<Override PartName="/xl/theme/theme1.xml" ContentType="application/vnd.openxmlformats-officedocument.theme+xml"/>')
    for i in range(len(sheets)):
        types.append('<Override PartName="/xl/worksheets/sheet%d.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>' % (i + 1))
    types.append("</Types>")
    wb = [HEAD, '<workbook xmlns="%s" xmlns:r="%s"><bookViews><workbookView activeTab="%d"/></bookViews><sheets>' % (MAIN, RELNS, active_tab)]
    rels = [HEAD, '<Relationships xmlns="%s">' % PKGREL]
    for i, (sname, _) in enumerate(sheets):
        wb.append('<sheet name="%s" sheetId="%d" r:id="rId%d"/>' % (sname, i + 1, i + 1))
        rels.append('<Relationship Id="rId%d" Type="%s/worksheet" Target="worksheets/sheet%d.xml"/>' % (i + 1, RELNS, i + 1))
    wb.append("</sheets></workbook>")
    n = len(sheets)
    rels.append('<Relationship Id="rId%d" Type="%s/styles" Target="styles.xml"/>' % (n + 1, RELNS))
    rels.append('<Relationship Id="rId%d" Type="%s/sharedStrings" Target="sharedStrings.xml"/>' % (n + 2, RELNS))
    if theme:
        rels.append('<Relationship Id="rId%d" Type="%s/theme" Target="theme/theme1.xml"/>' % (n + 3, RELNS))
    rels.append("</Relationships>")
    sst = HEAD + '<sst xmlns="%s" count="%d" uniqueCount="%d">%s</sst>' % (
        MAIN, len(shared), len(shared), "".join("<si>%s</si>" % s for s in shared))
    root_rels = HEAD + ('<Relationships xmlns="%s"><Relationship Id="rId1" Type="%s/officeDocument" '
                        'Target="xl/workbook.xml"/></Relationships>' % (PKGREL, RELNS))
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        def add(arcname, data):
            info = zipfile.ZipInfo(arcname, date_time=(2024, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data)
        add("[Content_Types].xml", "".join(types))
        add("_rels/.rels", root_rels)
        add("xl/workbook.xml", "".join(wb))
        add("xl/_rels/workbook.xml.rels", "".join(rels))
        for i, (_, xml) in enumerate(sheets):
            add("xl/worksheets/sheet%d.xml" % (i + 1), xml)
        add("xl/styles.xml", style_xml)
        add("xl/sharedStrings.xml", sst)
        if theme:
            add("xl/theme/theme1.xml", THEME)


RED = 'rgb="FFFF0000"'
BLACK = 'rgb="FF000000"'


def table():
    """The main table: formatting travels with the rows; a boolean second cell ends it at row 6."""
    fonts = [font(), font(bold=True, color=RED),                                # 1 bold red
             font(size=14, name="Arial", italic=True, underline="double"),        # 2
             font(color='theme="4" tint="0.39997558519241921"')]                  # 3 accent 1, lighter 40%
    fills = ['rgb="FFFFFF00"', 'indexed="10"', 'theme="9" tint="-0.249977111117893"']  # 2 yellow, 3 red, 4 accent 6 darker
    xfs = [(0, 0, 0), (0, 1, 2), (0, 2, 3), (2, 0, 0), (0, 3, 4), (4, 0, 0)]
    shared = [t("WORD"), t("word"), t("ONE"), t("MANY"), t("-c"),
              '<r><rPr><b/><sz val="11"/><rFont val="Calibri"/></rPr><t>partly</t></r>'
              '<r><rPr><sz val="11"/><rFont val="Calibri"/></rPr><t xml:space="preserve"> bold</t></r>',
              t("plain"), t("yes"), t("cwd")]
    rows = [
        (1, [cell("A1", ("s", 0), 1), cell("B1", ("s", 1), 2), cell("C1", ("s", 8))]),
        (2, [cell("A2", ("s", 2), 4), cell("B2", ("s", 3)), cell("C2", ("s", 4))]),
        (3, [cell("A3", 12, 3), cell("C3", 5)]),
        (4, [cell("A4", ("s", 5)), cell("B4", 1234.5, 5)]),
        (5, [cell("A5", ("is", t("inline"))), cell("B5", ("s", 6))]),
        (6, [cell("A6", ("s", 7)), cell("B6", True)]),
        (7, [cell("A7", ("s", 6)), cell("B7", ("s", 6))]),
    ]
    write("table.xlsx", [("Table", sheet(rows, True))], shared, styles(fonts, fills, xfs))


def mixed(name, first_runs, second_runs=None):
    """Row 1 is a good row; row 2 has the faulty cell(s)."""
    fonts = [font()]
    shared = [t("good"), t("fine"), first_runs, second_runs or t("second")]
    rows = [(1, [cell("A1", ("s", 0)), cell("B1", ("s", 1))]),
            (2, [cell("A2", ("s", 2)), cell("B2", ("s", 3))])]
    write(name, [("Sheet1", sheet(rows, True))], shared, styles(fonts, [], [(0, 0, 0)]))


def run(text, **kw):
    return "<r>%s%s</r>" % (font(run=True, **kw), t(text))


def values():
    """Value and Text of every kind, on the second of two sheets (the active one)."""
    fonts = [font()]
    numfmts = [(164, '0.0 "kg"'), (165, "yyyy-mm-dd"), (166, '[$\u20ac-407] #,##0.00')]
    xfs = [(0, 0, 0), (2, 0, 0), (4, 0, 0), (9, 0, 0), (10, 0, 0), (11, 0, 0), (14, 0, 0), (22, 0, 0),
           (164, 0, 0), (165, 0, 0), (7, 0, 0), (166, 0, 0), (49, 0, 0), (12, 0, 0), (21, 0, 0)]
    shared = [t("text"), t("  spaced  "), t("tab_x0009_escaped")]
    rows = [
        (1, [cell("A1", 12, 1), cell("B1", 1234567.891, 2), cell("C1", 0.256, 3), cell("D1", 0.256, 4)]),
        (2, [cell("A2", 12345, 5), cell("B2", 45000, 6), cell("C2", 45000.75, 7), cell("D2", 5, 8)]),
        (3, [cell("A3", 45000, 9), cell("B3", 1.5, 10), cell("C3", 1234.5, 11), cell("D3", 42, 12)]),
        (4, [cell("A4", 1.5, 13), cell("B4", 0.5625, 14), cell("C4", 1.0 / 3), cell("D4", -7.25)]),
        (5, [cell("A5", True), cell("B5", False), cell("C5", ("e", "#N/A")), cell("D5", ("e", "#DIV/0!"))]),
        (6, [cell("A6", ("s", 0)), cell("B6", ("s", 1)), cell("C6", ("s", 2)), cell("D6", ("blank", None), 1)]),
    ]
    other = sheet([(1, [cell("A1", ("s", 0))])])
    write("values.xlsx", [("First", other), ("Values", sheet(rows, True))], shared,
          styles(fonts, [], xfs, numfmts), active_tab=1)


def plain():
    """No theme, no styles beyond the default, minimal parts: defaults must hold."""
    shared = [t("alpha"), t("beta")]
    rows = [(1, [cell("A1", ("s", 0)), cell("B1", ("s", 1))])]
    write("plain.xlsx", [("Sheet1", sheet(rows, True))], shared, styles([font()], [], [(0, 0, 0)]), theme=False)
    # Templates and macro-enabled workbooks are workbooks too, told by their content type.
    write("template.xltx", [("Sheet1", sheet(rows, True))], shared, styles([font()], [], [(0, 0, 0)]),
          content_type_main="application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml")
    write("macros.xlsm", [("Sheet1", sheet(rows, True))], shared, styles([font()], [], [(0, 0, 0)]),
          content_type_main="application/vnd.ms-excel.sheet.macroEnabled.main+xml")


def broken():
    with open(os.path.join(OUT, "empty.xlsx"), "wb"):
        pass
    with open(os.path.join(OUT, "legacy.xls"), "wb") as f:
        f.write(bytes.fromhex("D0CF11E0A1B11AE1") + b"\0" * 504)
    with open(os.path.join(OUT, "table.xlsx"), "rb") as f:
        data = f.read()
    with open(os.path.join(OUT, "truncated.xlsx"), "wb") as f:
        f.write(data[: len(data) // 2])
    with open(os.path.join(OUT, "notes.xlsx"), "wb") as f:
        f.write(b"find\treplace\n")
    # A word-processing package wearing a workbook's name.
    path = os.path.join(OUT, "document.xlsx")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        info = zipfile.ZipInfo("[Content_Types].xml", date_time=(2024, 1, 1, 0, 0, 0))
        z.writestr(info, HEAD + '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
                   '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
                   '<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/></Types>')
        info = zipfile.ZipInfo("_rels/.rels", date_time=(2024, 1, 1, 0, 0, 0))
        z.writestr(info, HEAD + '<Relationships xmlns="%s"><Relationship Id="rId1" Type="%s/officeDocument" '
                   'Target="word/document.xml"/></Relationships>' % (PKGREL, RELNS))
        info = zipfile.ZipInfo("word/document.xml", date_time=(2024, 1, 1, 0, 0, 0))
        z.writestr(info, HEAD + '<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"/>')
    # A shared string longer than a cell may hold, and a cell pointing past the string table.
    write("long_string.xlsx", [("Sheet1", sheet([(1, [cell("A1", ("s", 0))])], True))], [t("x" * 40000)],
          styles([font()], [], [(0, 0, 0)]))
    write("bad_index.xlsx", [("Sheet1", sheet([(1, [cell("A1", ("s", 7))])], True))], [t("only")],
          styles([font()], [], [(0, 0, 0)]))


def dump(path):
    """Prints what a workbook holds, resolved to values and formatting, with nothing but the
    standard library: an independent reader for the workbooks the engine writes."""
    import xml.etree.ElementTree as ET
    ns = {"m": MAIN}
    z = zipfile.ZipFile(path)
    names = set(z.namelist())

    def part(name):
        return ET.fromstring(z.read(name)) if name in names else None

    def rels(name):
        base, leaf = name.rsplit("/", 1) if "/" in name else ("", name)
        r = part((base + "/" if base else "") + "_rels/" + leaf + ".rels")
        out = {}
        for e in (r if r is not None else []):
            target = e.get("Target")
            out[e.get("Id")] = (e.get("Type").rsplit("/", 1)[-1],
                                target.lstrip("/") if target.startswith("/") else (base + "/" if base else "") + target)
        return out

    def color(e):
        if e is None:
            return "auto"
        for k in ("rgb", "theme", "indexed"):
            if e.get(k) is not None:
                tint = float(e.get("tint", "0"))
                return "%s=%s%s" % (k, e.get(k).upper(), " tint=%r" % tint if tint else "")
        return "auto"

    def font(e, run=False):
        if e is None:
            return "-"
        flag = lambda tag: e.find("m:" + tag, ns) is not None and e.find("m:" + tag, ns).get("val", "1") in ("1", "true")
        u = e.find("m:u", ns)
        name = e.find("m:rFont" if run else "m:name", ns)
        sz = e.find("m:sz", ns)
        return "b=%d i=%d s=%d u=%s sz=%r color=%s name=%s" % (
            flag("b"), flag("i"), flag("strike"), "none" if u is None else u.get("val", "single"),
            float(sz.get("val")) if sz is not None else None, color(e.find("m:color", ns)),
            name.get("val") if name is not None else None)

    def unescape(s):  # OOXML writes characters XML cannot hold as _xHHHH_
        import re
        return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), s or "")

    def text(si):
        runs = si.findall("m:r", ns)
        if not runs:
            return repr(unescape("".join(t.text or "" for t in si.findall("m:t", ns))))
        return " | ".join("%r %s" % (unescape(r.find("m:t", ns).text), font(r.find("m:rPr", ns), True)) for r in runs)

    wb_rels = rels("xl/workbook.xml")
    by_type = {t: n for t, n in wb_rels.values()}
    styles = part(by_type.get("styles", "")) if "styles" in by_type else None
    fonts = styles.findall("m:fonts/m:font", ns) if styles is not None else []
    fills = styles.findall("m:fills/m:fill", ns) if styles is not None else []
    xfs = styles.findall("m:cellXfs/m:xf", ns) if styles is not None else []
    custom = {int(f.get("numFmtId")): f.get("formatCode") for f in styles.findall("m:numFmts/m:numFmt", ns)} if styles is not None else {}
    sst = part(by_type["sharedStrings"]) if "sharedStrings" in by_type else None
    strings = [text(si) for si in sst.findall("m:si", ns)] if sst is not None else []
    wb = part("xl/workbook.xml")
    view = wb.find("m:bookViews/m:workbookView", ns)
    print("active", view.get("activeTab", "0") if view is not None else "0")
    for sheet in wb.findall("m:sheets/m:sheet", ns):
        rid = sheet.get("{%s}id" % RELNS)
        print("sheet", sheet.get("name"))
        ws = part(wb_rels[rid][1])
        for c in ws.iter("{%s}c" % MAIN):
            t, v, s = c.get("t", "n"), c.find("m:v", ns), int(c.get("s", "0"))
            if t == "s":
                value = "str " + strings[int(v.text)]
            elif t == "inlineStr":
                value = "str " + text(c.find("m:is", ns))
            elif v is None:
                value = "blank"
            elif t == "n":
                value = "num %r" % float(v.text)
            else:
                value = "%s %s" % (t, v.text)
            xf = xfs[s] if s < len(xfs) else None
            fmt = int(xf.get("numFmtId", "0")) if xf is not None else 0
            fill = fills[int(xf.get("fillId", "0"))].find("m:patternFill", ns) if xf is not None else None
            fill_text = "none" if fill is None or fill.get("patternType", "none") == "none" else "%s %s" % (
                fill.get("patternType"), color(fill.find("m:fgColor", ns)))
            print("  %s %s | fmt=%s | font %s | fill %s" % (
                c.get("r"), value, custom.get(fmt, "id%d" % fmt),
                font(fonts[int(xf.get("fontId", "0"))] if xf is not None else fonts[0] if fonts else None), fill_text))
    return 0


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--dump":
        return dump(sys.argv[2])
    os.makedirs(OUT, exist_ok=True)
    table()
    mixed("mixed_color.xlsx", run("red", color=RED) + run(" black", color=BLACK))
    mixed("mixed_size.xlsx", run("big", size=16) + run(" small", size=9))
    mixed("mixed_underline.xlsx", t("plain"), run("under", underline="single") + run(" not"))
    mixed("mixed_bold_name.xlsx", run("bold", bold=True) + run(" arial", name="Arial"))
    values()
    plain()
    broken()
    return 0


if __name__ == "__main__":
    sys.exit(main())
