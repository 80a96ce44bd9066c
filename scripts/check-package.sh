#!/usr/bin/env bash
# Checks the Debian package that CPack made in a build folder:
#  - it holds exactly what `cmake --install` installs (files and links);
#  - its desktop entry and AppStream metadata validate;
#  - lintian finds no error or warning (its notes are printed).
# Usage: scripts/check-package.sh BUILD
set -euo pipefail
BUILD=${1:?usage: check-package.sh BUILD}
shopt -s nullglob
debs=("$BUILD"/kestrav_*.deb)
if [ ${#debs[@]} -ne 1 ]; then
  echo "check-package: expected one kestrav_*.deb in $BUILD, found ${#debs[@]}" >&2
  exit 1
fi
deb=${debs[0]}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends Installed-Size

# The package's files and links against a DESTDIR installation of the same
# build folder (its prefix is the package's, /usr).
dpkg-deb -x "$deb" "$work/package"
DESTDIR="$work/install" cmake --install "$BUILD" > /dev/null
list() { (cd "$1" && find . ! -type d | LC_ALL=C sort); }
if ! diff -u <(list "$work/install") <(list "$work/package") > "$work/diff"; then
  echo "check-package: the package's files differ from the installation's (- install, + package):" >&2
  cat "$work/diff" >&2
  exit 1
fi
echo "files: $(list "$work/package" | wc -l), the same as the installation's"

app=$(cd "$work/package/usr/share/applications" && ls *.desktop)
desktop-file-validate "$work/package/usr/share/applications/$app"
appstreamcli validate --no-net "$work/package/usr/share/metainfo/${app%.desktop}.metainfo.xml"

# Root is fine here: lintian only reads the package.
lintian --fail-on error,warning --display-info --pedantic "$deb" 2>&1 | grep -v '^running with root privileges' || {
  echo "check-package: lintian reports errors or warnings" >&2
  exit 1
}
echo "check-package: $deb is fine"
