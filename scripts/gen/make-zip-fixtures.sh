#!/bin/sh
# Small ZIP archives made by the system zip, for the package reader's tests.
set -e
out=$(cd "$(dirname "$0")/../../tests/fixtures/zip" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf 'hello, stored entry\n' > a.txt
printf '<r>%s</r>\n' "$(seq 1 200 | tr '\n' ' ')" > b.xml
rm -f "$out"/*.zip
TZ=UTC zip -q -X -0 "$out/stored.zip" a.txt b.xml
TZ=UTC zip -q -X -9 "$out/deflated.zip" a.txt b.xml
# Written to a pipe, zip cannot seek back: the entry carries a data descriptor (-fz- without ZIP64).
cat b.xml | TZ=UTC zip -q -X -fz- - - | cat > "$out/descriptor.zip"
TZ=UTC zip -q -X -fz "$out/zip64.zip" a.txt b.xml
TZ=UTC zip -q -X -P secret "$out/encrypted.zip" a.txt
