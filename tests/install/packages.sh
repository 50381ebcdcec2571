#!/usr/bin/env bash
# The packages `make package` built, taken as a user takes them: the .deb
# listed, checked by lintian and unpacked into a scratch root; the zip
# unpacked and its harvex.exe run under Wine. Both export the sample
# recordings as the native build does.
#   packages.sh NATIVE_BUILD PACKAGES_DIR WINEPREFIX
set -euo pipefail
native=$(cd "$1" && pwd)
packages=$(cd "$2" && pwd)
export WINEPREFIX=$3 WINEDEBUG=-all
version=$("$native/harvex" --version | cut -d' ' -f2)
deb="$packages/harvex_${version}_amd64.deb"
zip="$packages/HarvexUtility-$version-win64.zip"
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$native/harvex_samples" "$work/samples" >/dev/null
cd "$work/samples"
"$native/harvex" export TANK1.DC1 FLOW2.DC2 -o native.csv --time iso --crlf

info=$(dpkg-deb -f "$deb" Package Version Depends)
grep -qx "Package: harvex" <<<"$info" && grep -qx "Version: $version" <<<"$info" && grep -q "libcairo2" <<<"$info" ||
  fail "control fields: $info"
[ "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort | paste -sd ' ')" = \
  "./usr/bin/harvex ./usr/share/bash-completion/completions/harvex ./usr/share/doc/harvex/README.md \
./usr/share/doc/harvex/changelog.gz ./usr/share/doc/harvex/copyright ./usr/share/doc/harvex/docs/plot.png \
./usr/share/doc/harvex/wHarvex.htm ./usr/share/man/man1/harvex.1.gz" ] || fail "the .deb holds: $(dpkg-deb -c "$deb")"
lintian --fail-on error "$deb" >/dev/null 2>&1 || fail "lintian: $(lintian "$deb" 2>&1)"
dpkg-deb -x "$deb" "$work/root"
"$work/root/usr/bin/harvex" export TANK1.DC1 FLOW2.DC2 -o deb.csv --time iso --crlf
cmp native.csv deb.csv

[ "$(unzip -Z1 "$zip" | sed 's|^[^/]*/||' | sort | paste -sd ' ')" = "HarvexUtility.exe LICENSE.txt README.txt harvex.exe wHarvex.htm" ] ||
  fail "the zip holds: $(unzip -Z1 "$zip")"
unzip -q "$zip" -d "$work/zip"
win="$work/zip/HarvexUtility-$version-win64"
[ "$(grep -c $'\r$' "$win/README.txt")" = "$(wc -l < "$win/README.txt")" ] || fail "README.txt has lines without CR LF"
[ "$(wine "$win/harvex.exe" --version 2>/dev/null)" = "harvex $version"$'\r' ] || fail "harvex.exe --version"
wine "$win/harvex.exe" export TANK1.DC1 FLOW2.DC2 -o windows.csv --time iso 2>/dev/null
cmp native.csv windows.csv
echo "harvex_${version}_amd64.deb and HarvexUtility-$version-win64.zip: contents, lintian and exports as expected"
