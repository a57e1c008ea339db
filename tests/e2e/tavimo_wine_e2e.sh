#!/usr/bin/env bash
# tavimo.exe under Wine reaching our engine through COM (the server registered in the prefix):
# a text table applied to a python-docx document, checked with python-docx.
#   tavimo_wine_e2e.sh TAVIMO_EXE
set -euo pipefail
exe=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/tavimo_wine_e2e.XXXXXX)
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 - "$work" <<'PY'
import sys, docx
d = docx.Document()
d.sections[0].header.paragraphs[0].text = "colour header"
d.add_paragraph("The colour is grey.")
d.save(sys.argv[1] + "/a.docx")
PY
printf 'colour\tcolor\r\ngrey\tgray\r\n' > "$work/t.txt"
winpath() { echo "Z:$1" | tr '/' '\\'; }

set +e
out=$("$root/scripts/wine-run" "$exe" --table "$(winpath "$work/t.txt")" "$(winpath "$work/a.docx")" 2>&1)
code=$?
set -e
echo "$out"
[ "$code" -eq 0 ] || { echo "exit status $code, expected 0"; exit 1; }
echo "$out" | grep -q "Operation completed!" || { echo "no completion text"; exit 1; }
[ -f "$work/a.docx.bak" ] || { echo "no backup"; exit 1; }
/usr/bin/python3 - "$work/a.docx" <<'PY'
import sys, docx
d = docx.Document(sys.argv[1])
body = [p.text for p in d.paragraphs]
header = d.sections[0].header.paragraphs[0].text
assert body == ["The color is gray."], body
assert header == "color header", header
print("checked with python-docx:", body, header)
PY

# Two jobs at once: each worker thread has its own apartment and its own instance of the server.
/usr/bin/python3 - "$work" <<'PY'
import sys, docx
for name, text in (("b", "grey colour"), ("c", "colour grey colour")):
    d = docx.Document()
    d.add_paragraph(text)
    d.save("%s/%s.docx" % (sys.argv[1], name))
PY
set +e
out=$("$root/scripts/wine-run" "$exe" --jobs 2 --in-place --table "$(winpath "$work/t.txt")" "$(winpath "$work/b.docx")" \
  "$(winpath "$work/c.docx")" 2>&1)
code=$?
set -e
echo "$out"
[ "$code" -eq 0 ] || { echo "--jobs 2: exit status $code, expected 0"; exit 1; }
/usr/bin/python3 - "$work" <<'PY'
import sys, docx
for name, want in (("b", "gray color"), ("c", "color gray color")):
    got = docx.Document("%s/%s.docx" % (sys.argv[1], name)).paragraphs[0].text
    assert got == want, (name, got)
print("--jobs 2 checked with python-docx")
PY
