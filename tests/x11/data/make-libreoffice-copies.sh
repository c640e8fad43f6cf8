#!/usr/bin/env bash
# Writes what LibreOffice Calc offers on the clipboard for the cells of fruit.fods:
# libreoffice-copy.html by its HTML export (the exporter its copy of cells runs) and
# libreoffice-copy.txt by its text export with a tab, quotes where needed and UTF-8
# (the form of its plain-text copy). Run from this folder; needs soffice.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
run() { LC_ALL=C.UTF-8 soffice -env:UserInstallation="file://$work/profile" --headless --norestore "$@" >/dev/null; }
run --convert-to 'html:HTML (StarCalc)' --outdir "$work" fruit.fods
run --convert-to 'csv:Text - txt - csv (StarCalc):9,34,76,1,,1033,false,true,false' --outdir "$work" fruit.fods
cp "$work/fruit.html" libreoffice-copy.html
cp "$work/fruit.csv" libreoffice-copy.txt
