#!/usr/bin/env bash
# Installs what the interoperability tests run against: LibreOffice Calc without a
# GUI (the spreadsheet that reads our SYLK, HTML and delimited files), a PostgreSQL
# server and Qt's PostgreSQL driver. Idempotent: asks dpkg first and only calls
# apt-get for what is missing.
set -euo pipefail

packages=(libreoffice-calc-nogui postgresql libqt6sql6-psql)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-interop: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
