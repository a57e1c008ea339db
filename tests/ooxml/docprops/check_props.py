#!/usr/bin/python3
"""Reads every document the property tests saved with readers independent of ours: python-docx
for the core properties, zipfile and ElementTree for the extended ones, and compares them
with the values the test wrote beside each document (NAME.docx.json)."""
import json
import os
import posixpath
import sys
import xml.etree.ElementTree as ET
import zipfile

import docx

APP_REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties"
APP_NS = "{http://schemas.openxmlformats.org/officeDocument/2006/extended-properties}"
RELS_NS = "{http://schemas.openxmlformats.org/package/2006/relationships}"


def extended(path):
    with zipfile.ZipFile(path) as z:
        rels = ET.fromstring(z.read("_rels/.rels"))
        for r in rels.iter(RELS_NS + "Relationship"):
            if r.get("Type") == APP_REL:
                root = ET.fromstring(z.read(posixpath.normpath(r.get("Target").lstrip("/"))))
                return {k: (root.findtext(APP_NS + k.capitalize()) or "") for k in ("manager", "company")}
    return {"manager": "", "company": ""}


def main(folder):
    checked = 0
    failures = []
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".docx"):
            continue
        path = os.path.join(folder, name)
        with open(path + ".json", encoding="utf-8") as f:
            expected = json.load(f)
        core = docx.Document(path).core_properties
        got = {"title": core.title, "subject": core.subject, "author": core.author, "keywords": core.keywords}
        got.update(extended(path))
        for key, want in expected.items():
            if (got[key] or "") != want:
                failures.append("%s: %s is %r, expected %r" % (name, key, got[key], want))
        checked += 1
    for f in failures:
        print(f)
    print("%d documents checked" % checked)
    return 1 if failures or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
