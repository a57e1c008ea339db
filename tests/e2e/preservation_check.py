#!/usr/bin/python3
"""Checks that a batch left alone everything in a document no table row matched.

usage: preservation_check.py BEFORE.docx AFTER.docx TABLE.txt
       (or import it: problems(before_bytes, after_bytes, rows))

The two packages must hold the same entries; an entry whose bytes differ must be XML whose
tree is the same but for text where a find text of the table occurred: each part is read as a
stream of tokens (elements with every attribute and namespace declaration, each character of
visible text with its run's formatting, every other text node whole) and the streams are
compared; every stretch that differs must lie within a hit of some row in the text before and
consist of visible text, or of what splitting a paragraph for ^p adds."""
import difflib
import io
import re
import sys
import xml.parsers.expat
import zipfile

CARETS = {"p": "\r", "t": "\t", "l": "\x0b", "m": "\x0c", "n": "\x0e", "s": "\xa0", "^": "^", "~": "\x1e", "-": "\x1f"}


def expand_carets(s):
    out, i = [], 0
    while i < len(s):
        if s[i] == "^" and i + 1 < len(s) and s[i + 1] in CARETS:
            out.append(CARETS[s[i + 1]])
            i += 2
        else:
            out.append(s[i])
            i += 1
    return "".join(out)


def read_table(path):
    rows = []
    with open(path, encoding="utf-8-sig") as f:
        for line in f.read().splitlines():
            if not line.strip():
                continue
            find, _, repl = line.partition("\t")
            rows.append((find, repl))
    return rows


# ---- XML as a token stream ----

class Elem:
    __slots__ = ("name", "attrs", "children", "parent")

    def __init__(self, name, attrs, parent):
        self.name, self.attrs, self.children, self.parent = name, attrs, [], parent


def parse(data):
    """A tree of Elem, str (text), ('#comment', s) and ('#pi', target, data); plus the declaration."""
    root = Elem("#doc", {}, None)
    cur = [root]
    decl = []
    p = xml.parsers.expat.ParserCreate()
    p.ordered_attributes = True
    p.buffer_text = True

    def start(name, attrs):
        e = Elem(name, tuple(zip(attrs[0::2], attrs[1::2])), cur[-1])
        cur[-1].children.append(e)
        cur.append(e)

    def end(name):
        cur.pop()

    def text(s):
        ch = cur[-1].children
        if ch and isinstance(ch[-1], str):
            ch[-1] += s
        else:
            ch.append(s)

    p.StartElementHandler = start
    p.EndElementHandler = end
    p.CharacterDataHandler = text
    p.CommentHandler = lambda s: cur[-1].children.append(("#comment", s))
    p.ProcessingInstructionHandler = lambda t, d: cur[-1].children.append(("#pi", t, d))
    p.XmlDeclHandler = lambda v, enc, sa: decl.append((v, sa))
    p.Parse(data, True)
    return root, decl


RUN_CHARS = {"w:tab": "\t", "w:cr": "\x0b", "w:noBreakHyphen": "\x1e", "w:softHyphen": "\x1f"}


def run_char(e):
    if e.name in RUN_CHARS:
        return RUN_CHARS[e.name] if not e.attrs and not e.children else None
    if e.name == "w:br":
        kind = dict(e.attrs).get("w:type", "textWrapping")
        other = [a for a in e.attrs if a[0] != "w:type"]
        if other or e.children:
            return None
        return {"textWrapping": "\x0b", "page": "\x0c", "column": "\x0e"}.get(kind)
    return None


def shown_text(t):
    """A w:t's text as Word shows it: without the spaces at either end unless xml:space keeps them."""
    s = "".join(t.children)
    n = t
    while n is not None:
        space = dict(n.attrs).get("xml:space")
        if space:
            return s if space == "preserve" else s.strip(" \t\n\r")
        n = n.parent
    return s.strip(" \t\n\r")


def canon(node):
    """A subtree as one comparable value."""
    if isinstance(node, str):
        return node
    if isinstance(node, tuple):
        return node
    return (node.name, node.attrs, tuple(canon(c) for c in node.children if not (isinstance(c, str) and not c.strip())))


def tokens(root):
    """('O', name, attrs) and ('C', name) for elements, ('T', text) for text nodes, ('X', ...) for
    comments and instructions; a run becomes ('CH', char, formatting) for each visible
    character and ('R', subtree, formatting) for anything else it holds; a paragraph's end is
    ('CH', '\\r', its properties)."""
    out = []

    def walk(n, in_story_text):
        for c in n.children:
            if isinstance(c, str):
                if c.strip():
                    out.append(("T", c))
            elif isinstance(c, tuple):
                out.append(("X",) + c)
            elif c.name == "w:r":
                fmt = None
                for k in c.children:
                    if isinstance(k, Elem) and k.name == "w:rPr":
                        fmt = canon(k)
                # The run's own attributes, but for revision-session ids and declarations (which the
                # top element may take over).
                own = tuple(a for a in c.attrs if not a[0].startswith(("w:rsid", "xmlns")))
                if own:
                    fmt = (fmt, own)
                hidden = in_story_text == "deleted"
                for k in c.children:
                    if isinstance(k, str):
                        if k.strip():
                            out.append(("T", k))
                    elif isinstance(k, tuple):
                        out.append(("X",) + k)
                    elif k.name == "w:rPr":
                        continue
                    elif k.name == "w:t":
                        other = [a for a in k.attrs if a[0] != "xml:space"]
                        if other or hidden or any(not isinstance(x, str) for x in k.children):
                            out.append(("R", canon(k), fmt))
                            continue
                        for ch in shown_text(k):
                            out.append(("CH", ch, fmt))
                    elif run_char(k) is not None:
                        out.append(("CH", run_char(k), fmt))
                    elif k.name == "w:instrText" or not any(isinstance(x, Elem) for x in k.children):
                        out.append(("R", canon(k), fmt))
                    else:  # drawings, pictures, text boxes: walked, since they hold stories of their own
                        out.append(("O", k.name, k.attrs, fmt))
                        walk(k, in_story_text)
                        out.append(("C", k.name))
            elif c.name == "w:p":
                ppr = None
                attrs = tuple(a for a in c.attrs if a[0] not in ("w14:paraId", "w14:textId"))
                for k in c.children:
                    if isinstance(k, Elem) and k.name == "w:pPr":
                        ppr = canon(k)
                out.append(("P", attrs))
                walk(c, True)
                out.append(("CH", "\r", (attrs, ppr)))
            elif c.name == "w:pPr" and c.parent is not None and c.parent.name == "w:p":
                continue  # carried by the paragraph's mark
            else:
                out.append(("O", c.name, c.attrs))
                walk(c, "deleted" if c.name in ("w:del", "w:moveFrom") else in_story_text)
                out.append(("C", c.name))

    walk(root, False)
    return out


def is_text(t):
    return t[0] == "CH"


# ---- comparing ----

def occurrences(text, rows):
    """Spans of every row's find text in the text, case-insensitively."""
    spans = []
    low = text.lower()
    for find, _ in rows:
        f = expand_carets(find).lower()
        if not f:
            continue
        start = 0
        while True:
            i = low.find(f, start)
            if i < 0:
                break
            spans.append((i, i + len(f)))
            start = i + 1
    return spans


def joined(spans, text, new):
    """Hits one character apart taken as one when the new text keeps that character: the diff
    may pair the character with either side."""
    kept = {t[1] for t in new if is_text(t)}
    out = []
    for s, e in sorted(spans):
        if out and s - out[-1][1] <= 1 and (s <= out[-1][1] or text[out[-1][1]] in kept or text[out[-1][1]].isspace()):
            out[-1] = (out[-1][0], max(e, out[-1][1]))
        else:
            out.append((s, e))
    return out


def explained(a, b, spans):
    """Whether text positions [a, b) of the text before (an insertion point when a == b) lie within a hit."""
    for s, e in spans:
        if s <= a and b <= e and (a < b or s < a < e or (s <= a <= e)):
            return True
    return False


def compare_xml(name, before, after, rows, links_before=None, links_after=None):
    """links_*: the part's relationship targets by id, so that a hyperlink whose relationship was
    split off a shared one compares by its address."""
    problems = []
    try:
        rb, db = parse(before)
        ra, da = parse(after)
    except xml.parsers.expat.ExpatError as e:
        return ["%s: not readable XML after the batch: %s" % (name, e)]
    if [d[1] for d in db] != [d[1] for d in da]:
        problems.append("%s: the XML declaration changed: %r -> %r" % (name, db, da))
    tb, ta = tokens(rb), tokens(ra)
    if any("^p" in r for _, r in rows):
        # A simple field split by a paragraph mark goes on as a complex one: both read alike.
        tb, ta = as_simple_fields(tb), as_simple_fields(ta)
    tb, ta = by_target(tb, links_before), by_target(ta, links_after)
    # Namespace declarations may be added to the top element (never dropped or rebound).
    declared_anywhere = set()

    def declarations(n):
        for c in n.children:
            if isinstance(c, Elem):
                declared_anywhere.update((k, v) for k, v in c.attrs if k.startswith("xmlns:"))
                declarations(c)
    declarations(rb)
    top_b = next((i for i, t in enumerate(tb) if t[0] == "O"), None)
    top_a = next((i for i, t in enumerate(ta) if t[0] == "O"), None)
    if top_b is not None and top_a is not None and tb[top_b][1] == ta[top_a][1]:
        ab, aa = dict(tb[top_b][2]), dict(ta[top_a][2])
        extra = {k: v for k, v in aa.items() if k not in ab}
        if all(k.startswith("xmlns:") and (k, v) in declared_anywhere for k, v in extra.items()) and all(
                aa.get(k) == v for k, v in ab.items()):
            ta[top_a] = tb[top_b]
    text_b = "".join(t[1] for t in tb if is_text(t))
    pos_b = []  # text position of each token before
    n = 0
    for t in tb:
        pos_b.append(n)
        if is_text(t):
            n += 1
    pos_b.append(n)
    spans = occurrences(text_b, rows)
    splitting = any("^p" in r for _, r in rows)
    joining = any("^p" in f for f, _ in rows)
    formats_b = {t[2] for t in tb if t[0] in ("CH", "R")}
    opens_b = {address_blind(t) for t in tb if t[0] in ("O", "P")}
    # Addresses compare apart: a hyperlink whose address a row changed is still the same element.
    kb, ka = [address_blind(t) for t in tb], [address_blind(t) for t in ta]
    check_region(name, tb, ta, kb, ka, 0, len(tb), 0, len(ta), rows, problems, text_b, pos_b, spans, splitting, joining,
                 formats_b, opens_b)
    return list(dict.fromkeys(problems))


def check_region(name, tb0, ta0, kb0, ka0, lo_b, hi_b, lo_a, hi_a, rows, problems, text_b, pos_b0, spans, splitting,
                 joining, formats_b, opens_b):
    tb, ta = tb0[lo_b:hi_b], ta0[lo_a:hi_a]
    pos_b = pos_b0[lo_b:hi_b + 1]
    sm = difflib.SequenceMatcher(None, kb0[lo_b:hi_b], ka0[lo_a:hi_a], autojunk=False)
    opcodes = sm.get_opcodes()
    for at, (op, i1, i2, j1, j2) in enumerate(opcodes):
        if op == "equal":
            for t, u in zip(tb[i1:i2], ta[j1:j2]):
                if t != u and not loose_text_change(t, u, rows):
                    problems.append("%s: a hyperlink's address changed where no row matched: %r -> %r" % (name, t, u))
            continue
        old, new = tb[i1:i2], ta[j1:j2]
        where = "%s near %r" % (name, text_b[max(0, pos_b[i1] - 30):pos_b[i2] + 30])
        # Text attribute or text-node changes outside runs: hyperlink targets, field codes, properties.
        if all(t[0] in ("T", "R", "O") for t in old + new) and len(old) == len(new):
            bad = [t for t, u in zip(old, new) if not loose_text_change(t, u, rows)]
            if not bad:
                continue
        structural_new = [t for t in new if not is_text(t)]
        structural_old = [t for t in old if not is_text(t)]
        # A paragraph split for ^p repeats the containers it was cut inside (hyperlinks, content
        # controls); one joined for a ^p found loses its start.
        ok_struct = all(address_blind(t) in opens_b or t[0] == "C" for t in structural_new) and (splitting or not structural_new)
        ok_struct = ok_struct and all(t[0] in ("P", "C", "O") and joining for t in structural_old)
        # Structure that only moved against replaced text (a field's end after a hit that ran past it).
        for left, right in ((l, r) for l in (0, 2, 4) for r in (0, 2, 4) if l or r):
            lo, hi = max(0, at - left), min(len(opcodes) - 1, at + right)
            first, last = opcodes[lo], opcodes[hi]
            if not ok_struct and all(o[0] != "equal" or o[2] - o[1] <= 40 for o in opcodes[lo + 1:hi]):
                ok_struct = [address_blind(t) for t in tb[first[1]:last[2]] if not is_text(t)] == \
                            [address_blind(t) for t in ta[first[3]:last[4]] if not is_text(t)]
        if not ok_struct:
            problems.append("%s: structure changed: %s -> %s" % (where, short(old), short(new)))
            continue
        # Joined paragraphs end in one mark: which paragraph's properties it keeps is the edit's business.
        if joining and [t[1] for t in old] == ["\r"] == [t[1] for t in new] and all(is_text(t) for t in old + new):
            continue
        if not explained(pos_b[i1], pos_b[i2], spans) and not explained(pos_b[i1], pos_b[i2], joined(spans, text_b, new)):
            problems.append("%s: text changed where no row matched: %r -> %r" %
                            (where, "".join(t[1] for t in old if is_text(t)), "".join(t[1] for t in new if is_text(t))))
            continue
        for t in new:
            if t[0] in ("CH", "R") and t[1] != "\r" and t[2] not in formats_b and (t[2] or ("w:rPr", (), ())) not in formats_b:
                problems.append("%s: new text got formatting the document never had: %r" % (where, t[2]))
                break


def field_char(t):
    """The type of a run's field character token ('begin', 'separate', 'end'), else None."""
    if t[0] == "R" and isinstance(t[1], tuple) and t[1][0] == "w:fldChar":
        return dict(t[1][1]).get("w:fldCharType")
    return None


def as_simple_fields(toks):
    """Complex fields written as runs (begin, code, separate ... end) as the tokens of w:fldSimple."""
    out, opened = [], []
    i = 0
    while i < len(toks):
        t = toks[i]
        kind = field_char(t)
        if kind == "begin":
            j = i + 1
            code = []
            while j < len(toks) and toks[j][0] == "R" and toks[j][1][0] == "w:instrText":
                code.append("".join(x for x in toks[j][1][2] if isinstance(x, str)))
                j += 1
            if j < len(toks) and field_char(toks[j]) == "separate" and code:
                extra = tuple(a for a in t[1][1] if a[0] != "w:fldCharType")
                out.append(("O", "w:fldSimple", (("w:instr", "".join(code)),) + extra))
                opened.append(True)
                i = j + 1
                continue
            opened.append(False)
        elif kind == "end" and opened:
            if opened.pop():
                out.append(("C", "w:fldSimple"))
                i += 1
                continue
        out.append(t)
        i += 1
    return out


def address_blind(t):
    if t[0] == "O" and any(v.startswith("->") for _, v in t[2]):
        return (t[0], t[1], tuple((k, "->") if v.startswith("->") else (k, v) for k, v in t[2])) + t[3:]
    return t


def by_target(toks, links):
    if not links:
        return toks
    out = []
    for t in toks:
        if t[0] == "O" and any(k == "r:id" for k, _ in t[2]):
            t = (t[0], t[1], tuple((k, "->" + links.get(v, v)) if k == "r:id" else (k, v) for k, v in t[2])) + t[3:]
        out.append(t)
    return out


def links_of(z, part):
    """A part's relationship targets by id."""
    folder, _, file = part.rpartition("/")
    rels = (folder + "/" if folder else "") + "_rels/" + file + ".rels"
    try:
        root, _ = parse(z.read(rels))
    except KeyError:
        return {}
    out = {}

    def walk(n):
        for c in n.children:
            if isinstance(c, Elem):
                if c.name == "Relationship":
                    a = dict(c.attrs)
                    out[a.get("Id")] = a.get("Target", "")
                walk(c)
    walk(root)
    return out


def only_split_relationships(before, after, rows):
    """A relationships part that only gained hyperlink relationships, split off shared ones."""
    try:
        rb, _ = parse(before)
        ra, _ = parse(after)
    except xml.parsers.expat.ExpatError:
        return False
    def rels(root):
        return [dict(c.attrs) for r in root.children if isinstance(r, Elem) for c in r.children if isinstance(c, Elem)]
    b, a = rels(rb), rels(ra)
    if len(a) < len(b) or [x["Id"] for x in a[:len(b)]] != [x["Id"] for x in b]:
        return False
    for x, y in zip(b, a):
        if x != y and not ({k: v for k, v in x.items() if k != "Target"} == {k: v for k, v in y.items() if k != "Target"}
                           and x.get("Type", "").endswith("/hyperlink") and hits_in(x.get("Target", ""), rows)):
            return False
    targets = {x.get("Target") for x in a}
    return all(x.get("Type", "").endswith("/hyperlink") and x.get("TargetMode") == "External" for x in a[len(b):]) and targets


def loose_text_change(t, u, rows):
    """An attribute value or a text node that changed where a row's find text occurs in it."""
    if t[0] != u[0]:
        return False
    if t[0] == "O":
        if t[1] != u[1] or [k for k, _ in t[2]] != [k for k, _ in u[2]]:
            return False
        return all(v == w or hits_in(v, rows) for (_, v), (_, w) in zip(t[2], u[2]))
    if t[0] == "T":
        return hits_in(t[1], rows)
    if t[0] == "R":
        return t[2] == u[2] and t[1][0] == "w:instrText" and hits_in("".join(x for x in t[1][2] if isinstance(x, str)), rows)
    return False


def hits_in(s, rows):
    low = s.lower()
    return any(expand_carets(f).lower() in low for f, _ in rows if f)


def short(toks, limit=6):
    s = [t[:2] if t[0] != "CH" else ("CH", t[1]) for t in toks[:limit]]
    return repr(s) + (" ..." if len(toks) > limit else "")


def problems(before, after, rows):
    zb, za = zipfile.ZipFile(io.BytesIO(before)), zipfile.ZipFile(io.BytesIO(after))
    out = []
    nb, na = [i.filename for i in zb.infolist()], [i.filename for i in za.infolist()]
    if sorted(nb) != sorted(na):
        out.append("entries differ: lost %s, gained %s" % (sorted(set(nb) - set(na)), sorted(set(na) - set(nb))))
    for name in nb:
        if name not in na or name.endswith("/"):
            continue
        b, a = zb.read(name), za.read(name)
        if b == a:
            ib, ia = zb.getinfo(name), za.getinfo(name)
            if (ib.compress_type, ib.date_time) != (ia.compress_type, ia.date_time):
                out.append("%s: same bytes but stored differently" % name)
            continue
        if not re.search(rb"^\s*(\xef\xbb\xbf|\xff\xfe|\xfe\xff)?\x00?<", b[:64]):
            out.append("%s: a part that is not XML changed" % name)
            continue
        if name.endswith(".rels") and only_split_relationships(b, a, rows):
            continue
        out.extend(compare_xml(name, b, a, rows, links_of(zb, name), links_of(za, name)))
    return out


def main(argv):
    if len(argv) != 4:
        print(__doc__)
        return 2
    with open(argv[1], "rb") as f:
        before = f.read()
    with open(argv[2], "rb") as f:
        after = f.read()
    found = problems(before, after, read_table(argv[3]))
    for p in found:
        print(p)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
