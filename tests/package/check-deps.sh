#!/usr/bin/env bash
# scripts/deps.sh on a machine that has none of its packages yet: the first run installs them, a
# second run installs nothing (no "apt-get update", no "apt-get install", no sudo). apt and dpkg are
# played by stand-ins over a package state of their own; what a name installs is asked of the
# machine's package lists, as apt would resolve it: a real package installs itself, a virtual name
# only its provider, which dpkg-query then never reports under the virtual name.
#
#   check-deps.sh DEPS_SCRIPT
# Exit code 77 (skipped) where apt-cache has no package lists to ask.
set -uo pipefail
deps="$1"

command -v apt-cache >/dev/null && apt-cache show --no-all-versions cmake >/dev/null 2>&1 \
  || { echo "SKIP: no apt package lists to resolve names against"; exit 77; }

work="$(mktemp -d /tmp/webconsole-deps.XXXXXX)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
touch "$work/installed" "$work/calls"

cat >"$work/bin/dpkg-query" <<'STAND_IN'
#!/usr/bin/env bash
# dpkg-query -W -f='${Status}' NAME
name="${@: -1}"
if grep -qxF "$name" "$DEPS_STATE/installed"; then printf 'install ok installed'; exit 0; fi
echo "dpkg-query: no packages found matching $name" >&2
exit 1
STAND_IN
cat >"$work/bin/apt-get" <<'STAND_IN'
#!/usr/bin/env bash
echo "apt-get $*" >>"$DEPS_STATE/calls"
[ "$1" = "update" ] && exit 0
for name in "$@"; do
  case "$name" in -*|install) continue ;; esac
  # What apt installs for the name: the package of that name, or for a virtual name its provider.
  real="$(apt-cache show --no-all-versions "$name" 2>/dev/null | sed -n 's/^Package: //p' | head -1)"
  if [ -z "$real" ]; then
    real="$(apt-cache showpkg "$name" 2>/dev/null | sed -n '/^Reverse Provides:/{n;s/ .*//p;q}')"
    [ -n "$real" ] || { echo "E: Unable to locate package $name" >&2; exit 100; }
  fi
  echo "$real" >>"$DEPS_STATE/installed"
done
STAND_IN
cat >"$work/bin/sudo" <<'STAND_IN'
#!/usr/bin/env bash
echo "sudo $*" >>"$DEPS_STATE/calls"
exec "$@"
STAND_IN
chmod +x "$work/bin/"*

failures=0
for mode in "" --test; do
  : >"$work/installed"
  : >"$work/calls"
  if ! DEPS_STATE="$work" PATH="$work/bin:$PATH" bash "$deps" $mode >"$work/first.log" 2>&1; then
    echo "FAIL: the first run of deps.sh $mode failed:" >&2
    cat "$work/first.log" >&2
    failures=$((failures + 1))
    continue
  fi
  grep -q "^apt-get install" "$work/calls" || { echo "FAIL: the first run of deps.sh $mode installed nothing" >&2; failures=$((failures + 1)); }
  : >"$work/calls"
  DEPS_STATE="$work" PATH="$work/bin:$PATH" bash "$deps" $mode >"$work/second.log" 2>&1
  if [ -s "$work/calls" ]; then
    echo "FAIL: a second run of deps.sh $mode still calls:" >&2
    cat "$work/calls" "$work/second.log" >&2
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] || exit 1
echo "deps.sh installs once; a second run installs nothing"
