#!/usr/bin/env bash
# make test-interop: the grid against the real programs on the other side.
#   LibreOffice Calc (headless) reads the SYLK, HTML and delimited files the grid
#   writes; a PostgreSQL server on 127.0.0.1 serves a fill through Qt's QPSQL driver.
# Installs what is missing (scripts/install-interop.sh), builds the interop tests in
# the given build folder, starts a throwaway server in a temporary folder, runs the
# tests and stops the server again, also on failure.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
"$here/install-interop.sh"
cmake --build "$build" --target tests_interop -j "${JOBS:-2}" >/dev/null

work=$(mktemp -d /tmp/vorgrd-interop.XXXXXX)
chmod 755 "$work"
pg_bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

# The server refuses to run as root: use the postgres account when we are root.
as_pg=()
if [ "$(id -u)" -eq 0 ]; then as_pg=(runuser -u postgres --); fi
mkdir -p "$work/pg"
[ "$(id -u)" -eq 0 ] && chown postgres "$work/pg"

stop_server() {
  "${as_pg[@]}" "$pg_bin/pg_ctl" -D "$work/pg/data" -m fast -w stop >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap stop_server EXIT

"${as_pg[@]}" "$pg_bin/initdb" -D "$work/pg/data" -A trust -U vorgrd -E UTF8 --locale=C.UTF-8 >/dev/null
"${as_pg[@]}" "$pg_bin/pg_ctl" -D "$work/pg/data" -l "$work/pg/server.log" -w \
  -o "-c listen_addresses=127.0.0.1 -p $port -k $work/pg -c fsync=off" start >/dev/null

export VORGRD_SOFFICE=$(command -v soffice)
export VORGRD_PG_PORT=$port VORGRD_PG_USER=vorgrd VORGRD_PG_DATABASE=postgres
QT_QPA_PLATFORM=offscreen "$build/tests/tests_interop"
