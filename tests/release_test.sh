#!/usr/bin/env bash
# Packs the release from this build's two executables, twice, and unpacks it
# as a user would: each zip holds the two executables built, the two menu scripts,
# README.txt and LICENSE.txt with CR LF line ends, in that order; the checksums hold; and the
# two packings are the same bytes.
#   release_test.sh PACKAGE_PY README WIN32_BIN WIN64_BIN VERSION
set -euo pipefail
source "$(dirname "$0")/checks.sh"
package=$1 readme=$2 win32_bin=$3 win64_bin=$4 version=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for out in first second; do
  python3 "$package" "$version" "2026-12-07 12:00:00" "$readme" "$win32_bin" "$win64_bin" "$work/$out"
done
for file in "dirlift-$version-win32.zip" "dirlift-$version-win64.zip" SHA256SUMS; do
  expect "$file is the same in both packings" cmp -s "$work/first/$file" "$work/second/$file"
done
expect "SHA256SUMS holds" bash -c "cd '$work/first' && sha256sum --quiet -c SHA256SUMS"
python3 - "$work/first" "$readme" "$win32_bin" "$win64_bin" "$version" <<'PYTHON' || failures=$((failures + 1))
import os, sys, zipfile
dist, readme, bins, version = sys.argv[1], sys.argv[2], {"win32": sys.argv[3], "win64": sys.argv[4]}, sys.argv[5]
names = ["dirlift.exe", "dirliftw.exe", "dirlift-menu-add.cmd", "dirlift-menu-remove.cmd", "README.txt", "LICENSE.txt"]
text = open(readme, "rb").read()
licence = open(os.path.join(os.path.dirname(readme), "LICENSE"), "rb").read()
ok = True
for arch, bin_dir in bins.items():
    with zipfile.ZipFile(os.path.join(dist, "dirlift-%s-%s.zip" % (version, arch))) as archive:
        if archive.namelist() != names:
            print("FAILED: %s holds %s" % (arch, archive.namelist())); ok = False; continue
        for name in names[:4]:
            if archive.read(name) != open(os.path.join(bin_dir, name), "rb").read():
                print("FAILED: %s's %s is not the one built" % (arch, name)); ok = False
        for name, original in (("README.txt", text), ("LICENSE.txt", licence)):
            shipped = archive.read(name)
            if shipped.replace(b"\r\n", b"\n") != original or b"\n" in shipped.replace(b"\r\n", b""):
                print("FAILED: %s's %s is not its original with CR LF line ends" % (arch, name)); ok = False
        if {info.date_time for info in archive.infolist()} != {(2026, 12, 7, 12, 0, 0)}:
            print("FAILED: %s's entries are not stamped with the date given" % arch); ok = False
sys.exit(0 if ok else 1)
PYTHON
finish
