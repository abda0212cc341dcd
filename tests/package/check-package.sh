#!/usr/bin/env bash
# Builds the Debian package from an existing build folder, unpacks it into a temporary root and
# checks it the way a desktop and a user meet it: the programs, their man pages (with FILES and
# ENVIRONMENT sections), the helper in the package's own folder, the copyright file, the menu
# entry, the icon, the software-centre metadata, the dependencies, and --help / --version of every
# program without a display.
#
#   check-package.sh BUILD_DIR VERSION PROGRAM...   (the programs installed in /usr/bin)
set -uo pipefail
build="$1"
version="$2"
shift 2
programs=("$@")

work="$(mktemp -d /tmp/webconsole-package.XXXXXX)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

for tool in cpack dpkg-deb desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (bash scripts/deps.sh --test installs it)" >&2; exit 1; }
done

if ! (cd "$build" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack could not build the package" >&2
  exit 1
fi
debs=("$work"/out/webconsole_"$version"_*.deb)
[ -f "${debs[0]}" ] || { ls -R "$work/out" >&2; echo "FAIL: no webconsole_${version}_*.deb" >&2; exit 1; }
deb="${debs[0]}"
root="$work/root"
dpkg-deb -x "$deb" "$root"

# The programs run without a display and without a chosen Qt platform, as over SSH.
plain_env=(env -i "PATH=/usr/bin:/bin" "HOME=$work" "LANG=C.UTF-8")
for p in "${programs[@]}"; do
  bin="$root/usr/bin/$p"
  if [ ! -x "$bin" ]; then
    fail "usr/bin/$p is missing"
    continue
  fi
  page="$root/usr/share/man/man1/$p.1.gz"
  if [ -s "$page" ] && zcat "$page" | grep -q '^\.SH'; then
    for section in FILES ENVIRONMENT; do
      zcat "$page" | grep -q "^\.SH $section" || fail "the man page of $p has no $section section"
    done
  else
    fail "no man page usr/share/man/man1/$p.1.gz"
  fi
  help="$(timeout 30 "${plain_env[@]}" "$bin" --help 2>&1)" || fail "$p --help exited with $?: $help"
  grep -qi "usage" <<<"$help" || fail "$p --help says no usage: $help"
  ver="$(timeout 30 "${plain_env[@]}" "$bin" --version 2>&1)" || fail "$p --version exited with $?: $ver"
  [ "$ver" = "$p $version" ] || fail "$p --version says \"$ver\", not \"$p $version\""
done
# The attachment downloader is the console's helper in the package's own folder, not a command.
helper="$root/usr/lib/webconsole/downloader"
if [ -x "$helper" ]; then
  help="$(timeout 30 "${plain_env[@]}" "$helper" --help 2>&1)" || fail "downloader --help exited with $?: $help"
  grep -qi "usage" <<<"$help" || fail "downloader --help says no usage: $help"
else
  fail "usr/lib/webconsole/downloader is missing"
fi
[ ! -e "$root/usr/share/man/man1/downloader.1.gz" ] || fail "a man page for the helper downloader among the commands"
[ -s "$root/usr/share/doc/webconsole/copyright" ] || fail "no usr/share/doc/webconsole/copyright"
# The console itself, started without a desktop, says so instead of aborting.
out="$(timeout 30 "${plain_env[@]}" "$root/usr/bin/webconsole" 2>&1)"
[ $? -eq 1 ] && grep -q "no graphical desktop" <<<"$out" || fail "webconsole without a display: $out"
extra="$(cd "$root/usr/bin" && ls | grep -vxF -f <(printf '%s\n' "${programs[@]}"))"
[ -z "$extra" ] || fail "unexpected programs in usr/bin: $extra"
outside="$(cd "$root" && find . -mindepth 1 -maxdepth 1 ! -name usr)"
[ -z "$outside" ] || fail "files outside /usr: $outside"

apps="$root/usr/share/applications"
desktop="$(ls "$apps"/*.desktop 2>/dev/null | head -1)"
if [ -z "$desktop" ]; then
  fail "no desktop entry in usr/share/applications"
else
  desktop-file-validate "$desktop" || fail "desktop-file-validate: $(basename "$desktop")"
  exec_program="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
  [ -x "$root/usr/bin/$exec_program" ] || fail "the desktop entry starts \"$exec_program\", which is not in usr/bin"
  icon="$(sed -n 's/^Icon=//p' "$desktop")"
  hicolor="$root/usr/share/icons/hicolor"
  [ -s "$hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon.svg"
  file "$hicolor/256x256/apps/$icon.png" 2>/dev/null | grep -q "PNG image data, 256 x 256" \
    || fail "no 256 px icon $icon.png"
  metainfo="$root/usr/share/metainfo/$(basename "$desktop" .desktop).metainfo.xml"
  if [ ! -f "$metainfo" ]; then
    fail "no AppStream metainfo beside the desktop entry"
  else
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate: $(basename "$metainfo")"
    grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" \
      || fail "the metainfo does not launch $(basename "$desktop")"
  fi
fi

# Libraries found by dpkg-shlibdeps, and what the programs load at run time.
depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libqt6widgets6 libqt6sql6 libqt6multimedia6 libcurl4 libhunspell \
  libqt6sql6-sqlite libqt6sql6-psql libqt6svg6 hunspell-en-us; do
  grep -qE "(^|, )$needed[^,]*" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

if [ "$failures" -gt 0 ]; then
  echo "$failures package checks failed ($(basename "$deb"))" >&2
  exit 1
fi
echo "package $(basename "$deb") is complete: ${programs[*]}"
