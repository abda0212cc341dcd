#!/usr/bin/env bash
# Installs what is missing, builds, starts a throwaway PostgreSQL 15 server on 127.0.0.1
# (removed again on exit, also after a failure) and runs every test under CTest; then builds the
# sanitizer build (build-asan/) and runs every test again there, and each benchmark once.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/deps.sh" --test
bash "$root/scripts/build.sh"

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
# Runs a command as the postgres user (initdb and the server refuse to run as root).
as_postgres() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else sudo -u postgres "$@"; fi
}
pgbin=/usr/lib/postgresql/15/bin
pgdir="$(mktemp -d /tmp/webconsole-pg.XXXXXX)"
port="${WEBCONSOLE_PG_PORT:-$((20000 + RANDOM % 20000))}"
password="wc-$RANDOM-$RANDOM"

cleanup() {
  as_postgres "$pgbin/pg_ctl" -D "$pgdir/data" -m immediate stop >/dev/null 2>&1 || true
  $SUDO rm -rf "$pgdir"
}
trap cleanup EXIT INT TERM

$SUDO chown postgres "$pgdir"
echo "$password" > "$pgdir/pw.txt" && $SUDO chown postgres "$pgdir/pw.txt"
as_postgres "$pgbin/initdb" -D "$pgdir/data" -U postgres --pwfile="$pgdir/pw.txt" -A scram-sha-256 >/dev/null
as_postgres "$pgbin/pg_ctl" -D "$pgdir/data" -l "$pgdir/server.log" -w \
  -o "-p $port -c listen_addresses=127.0.0.1 -k $pgdir -c fsync=off -c max_connections=200" start >/dev/null
PGPASSWORD="$password" psql -h 127.0.0.1 -p "$port" -U postgres -q -c "CREATE DATABASE webconsole_test" postgres

export WEBCONSOLE_TEST_PG="127.0.0.1:$port:webconsole_test:postgres:$password"
export WEBCONSOLE_REQUIRE_PG=1
export QT_QPA_PLATFORM=offscreen
cd "$root/build"
ctest --output-on-failure -j2 --timeout 600

# The same suite once more, built with AddressSanitizer and UndefinedBehaviorSanitizer and Qt's
# assertions on (build-asan/), against the same server, with each benchmark run once, briefly and
# on small data: any report fails the run.
bash "$root/scripts/build.sh" --sanitize
source "$root/scripts/sanitizer-options.sh"
cd "$root/build-asan"
ctest --output-on-failure -j2 --timeout 600
