#!/usr/bin/env bash
# Installs what the interoperability tests run against: LibreOffice Calc without a
# GUI (the spreadsheet that reads our SYLK, HTML and delimited files), a PostgreSQL
# server and Qt's PostgreSQL driver. Idempotent, through the project's installer.
set -euo pipefail
exec "$(dirname "$0")/install-deps.sh" libreoffice-calc-nogui postgresql libqt6sql6-psql
