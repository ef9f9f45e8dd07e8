#!/usr/bin/env bash
# Packs the release from this build's two executables, twice, and unpacks it
# as a user would: each zip holds the two executables built, the two menu scripts,
# README.txt, REFERENCE.txt, CHANGELOG.txt and LICENSE.txt with CR LF line ends,
# in that order; the checksums hold; the winget and Scoop manifests parse and
# name each zip by its URL and hash; and the two packings are the same bytes.
#   release_test.sh PACKAGE_PY README WIN32_BIN WIN64_BIN VERSION
set -euo pipefail
source "$(dirname "$0")/checks.sh"
package=$1 readme=$2 win32_bin=$3 win64_bin=$4 version=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pattern="https://example.org/dl/{version}/{file}"
for out in first second; do
  python3 "$package" "$version" "2026-12-07 12:00:00" "$readme" "$win32_bin" "$win64_bin" "$work/$out" "$pattern"
done
for file in "dirlift-$version-win32.zip" "dirlift-$version-win64.zip" SHA256SUMS winget/dirlift.dirlift.yaml \
  winget/dirlift.dirlift.installer.yaml winget/dirlift.dirlift.locale.en-US.yaml scoop/dirlift.json; do
  expect "$file is the same in both packings" cmp -s "$work/first/$file" "$work/second/$file"
done
expect "SHA256SUMS holds" bash -c "cd '$work/first' && sha256sum --quiet -c SHA256SUMS"
python3 - "$work/first" "$readme" "$win32_bin" "$win64_bin" "$version" <<'PYTHON' || failures=$((failures + 1))
import os, sys, zipfile
dist, readme, bins, version = sys.argv[1], sys.argv[2], {"win32": sys.argv[3], "win64": sys.argv[4]}, sys.argv[5]
names = ["dirlift.exe", "dirliftw.exe", "dirlift-menu-add.cmd", "dirlift-menu-remove.cmd", "README.txt",
         "REFERENCE.txt", "CHANGELOG.txt", "LICENSE.txt"]
root = os.path.dirname(readme)
texts = {name: open(os.path.join(root, source), "rb").read() for name, source in
         (("README.txt", "README.md"), ("REFERENCE.txt", "docs/reference.md"), ("CHANGELOG.txt", "CHANGELOG.md"),
          ("LICENSE.txt", "LICENSE"))}
ok = True
for arch, bin_dir in bins.items():
    with zipfile.ZipFile(os.path.join(dist, "dirlift-%s-%s.zip" % (version, arch))) as archive:
        if archive.namelist() != names:
            print("FAILED: %s holds %s" % (arch, archive.namelist())); ok = False; continue
        for name in names[:4]:
            if archive.read(name) != open(os.path.join(bin_dir, name), "rb").read():
                print("FAILED: %s's %s is not the one built" % (arch, name)); ok = False
        for name, original in texts.items():
            shipped = archive.read(name)
            if shipped.replace(b"\r\n", b"\n") != original or b"\n" in shipped.replace(b"\r\n", b""):
                print("FAILED: %s's %s is not its original with CR LF line ends" % (arch, name)); ok = False
        if {info.date_time for info in archive.infolist()} != {(2026, 12, 7, 12, 0, 0)}:
            print("FAILED: %s's entries are not stamped with the date given" % arch); ok = False
sys.exit(0 if ok else 1)
PYTHON
python3 - "$work/first" "$version" "$pattern" <<'PYTHON' || failures=$((failures + 1))
import hashlib, json, os, sys, yaml
dist, version, pattern = sys.argv[1:]
digests = {"dirlift-%s-%s.zip" % (version, arch): hashlib.sha256(open(os.path.join(dist, "dirlift-%s-%s.zip" % (version, arch)), "rb").read()).hexdigest() for arch in ("win32", "win64")}
url = lambda name: pattern.format(version=version, file=name)
problems = []
def load(name):
    return yaml.safe_load(open(os.path.join(dist, "winget", name)))
kinds = {"dirlift.dirlift.yaml": "version", "dirlift.dirlift.installer.yaml": "installer",
         "dirlift.dirlift.locale.en-US.yaml": "defaultLocale"}
for name, kind in kinds.items():
    manifest = load(name)
    if (manifest.get("PackageIdentifier"), manifest.get("PackageVersion"), manifest.get("ManifestType")) != \
            ("dirlift.dirlift", version, kind):
        problems.append("winget %s: %s" % (name, manifest))
installer = load("dirlift.dirlift.installer.yaml")
if (installer["InstallerType"], installer["NestedInstallerType"], installer["NestedInstallerFiles"]) != \
        ("zip", "portable", [{"RelativeFilePath": "dirlift.exe", "PortableCommandAlias": "dirlift"}]):
    problems.append("winget: not a zip with dirlift.exe as its portable program")
found = {(one["Architecture"], one["InstallerUrl"], one["InstallerSha256"].lower()) for one in installer["Installers"]}
wanted = {(arch, url(name), digests[name]) for arch, name in
          (("x86", "dirlift-%s-win32.zip" % version), ("x64", "dirlift-%s-win64.zip" % version))}
if found != wanted:
    problems.append("winget installers %s, not %s" % (found, wanted))
if load("dirlift.dirlift.locale.en-US.yaml").get("License") != "MIT":
    problems.append("winget: no MIT licence")
scoop = json.load(open(os.path.join(dist, "scoop", "dirlift.json")))
for bits, arch in (("32bit", "win32"), ("64bit", "win64")):
    name = "dirlift-%s-%s.zip" % (version, arch)
    if scoop["architecture"][bits] != {"url": url(name), "hash": digests[name]}:
        problems.append("scoop %s: %s" % (bits, scoop["architecture"][bits]))
    if scoop["autoupdate"]["architecture"][bits]["url"] != pattern.format(version="$version", file="dirlift-$version-%s.zip" % arch):
        problems.append("scoop autoupdate %s does not follow the pattern" % bits)
if (scoop["version"], scoop["bin"], scoop["license"]) != (version, ["dirlift.exe", "dirliftw.exe"], "MIT") or "checkver" not in scoop:
    problems.append("scoop: %s" % scoop)
for problem in problems:
    print("FAILED: " + problem)
sys.exit(1 if problems else 0)
PYTHON
finish
