"""The package managers' manifests of a release: winget's three files and
Scoop's one, each naming the zips by a URL built from a pattern and giving
their SHA256. Written by hand, field by field, so that the same release
always gives the same bytes.
"""

import json
import os

IDENTIFIER = "dirlift.dirlift"
MANIFEST_VERSION = "1.6.0"  # winget's manifest schema
SCHEMA = "# yaml-language-server: $schema=https://aka.ms/winget-manifest.%s.1.6.0.schema.json\n"
DEFAULT_PATTERN = "https://github.com/dirlift/dirlift/releases/download/v{version}/{file}"
DESCRIPTION = ("Lifts a folder: every entry moves up into its parent and the emptied folder is removed; "
               "clashes settled as you choose, replaced files to the Recycle Bin, undo and preview.")
ARCHITECTURES = (("win32", "x86", "32bit"), ("win64", "x64", "64bit"))
OLDEST_WINDOWS = "5.1.2600.0"  # Windows XP


def release_page(pattern):
    """The page a pattern's downloads belong to: the part before "/download/"."""
    cut = pattern.find("/download/")
    return pattern[:cut] if cut >= 0 else os.path.dirname(pattern.split("{", 1)[0].rstrip("/"))


def project_page(pattern):
    page = release_page(pattern)
    return page[: -len("/releases")] if page.endswith("/releases") else page


def yaml_lines(kind, fields):
    return SCHEMA % kind + "".join(line + "\n" for line in fields)


def winget(version, zips, pattern):
    """winget's version, installer and default-locale files, by file name."""
    common = ["PackageIdentifier: %s" % IDENTIFIER, "PackageVersion: %s" % version]
    installers = []
    for arch, winget_arch, _ in ARCHITECTURES:
        name, digest = zips[arch]
        installers += ["  - Architecture: %s" % winget_arch,
                       "    InstallerUrl: %s" % pattern.format(version=version, file=name),
                       "    InstallerSha256: %s" % digest.upper()]
    page = project_page(pattern)
    return {
        IDENTIFIER + ".yaml": yaml_lines("version", common + [
            "DefaultLocale: en-US", "ManifestType: version", "ManifestVersion: %s" % MANIFEST_VERSION]),
        IDENTIFIER + ".installer.yaml": yaml_lines("installer", common + [
            "InstallerType: zip", "NestedInstallerType: portable", "NestedInstallerFiles:",
            "  - RelativeFilePath: dirlift.exe", "    PortableCommandAlias: dirlift",
            "MinimumOSVersion: %s" % OLDEST_WINDOWS, "Installers:"] + installers + [
            "ManifestType: installer", "ManifestVersion: %s" % MANIFEST_VERSION]),
        IDENTIFIER + ".locale.en-US.yaml": yaml_lines("defaultLocale", common + [
            "PackageLocale: en-US", "Publisher: dirlift", "PackageName: dirlift", "PackageUrl: %s" % page,
            "License: MIT", "ShortDescription: %s" % json.dumps(DESCRIPTION), "Moniker: dirlift",
            "Tags:", "  - files", "  - folders", "  - flatten",
            "ManifestType: defaultLocale", "ManifestVersion: %s" % MANIFEST_VERSION]),
    }


def scoop(version, zips, pattern):
    """Scoop's manifest, with checkver and autoupdate that follow the pattern."""
    def url(arch, version_text):
        return pattern.format(version=version_text, file="dirlift-%s-%s.zip" % (version_text, arch))
    page = release_page(pattern)
    manifest = {
        "version": version,
        "description": DESCRIPTION,
        "homepage": project_page(pattern),
        "license": "MIT",
        "architecture": {scoop_arch: {"url": url(arch, version), "hash": zips[arch][1]}
                         for arch, _, scoop_arch in ARCHITECTURES},
        "bin": ["dirlift.exe", "dirliftw.exe"],
        "checkver": {"url": page + "/latest", "regex": "/tag/v([\\d.]+)"},
        "autoupdate": {
            "architecture": {scoop_arch: {"url": url(arch, "$version")} for arch, _, scoop_arch in ARCHITECTURES},
            "hash": {"url": "$baseurl/SHA256SUMS"},
        },
    }
    return json.dumps(manifest, indent=4, sort_keys=False) + "\n"


def write(out_dir, version, zips, pattern):
    """Writes winget/ and scoop/ in out_dir; zips maps win32 and win64 to (file name, SHA256)."""
    os.makedirs(os.path.join(out_dir, "winget"), exist_ok=True)
    os.makedirs(os.path.join(out_dir, "scoop"), exist_ok=True)
    for name, text in winget(version, zips, pattern).items():
        with open(os.path.join(out_dir, "winget", name), "w", newline="\n") as out:
            out.write(text)
    with open(os.path.join(out_dir, "scoop", "dirlift.json"), "w", newline="\n") as out:
        out.write(scoop(version, zips, pattern))
