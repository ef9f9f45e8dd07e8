#!/usr/bin/env python3
"""Writes dirlift's release: one zip per architecture, a checksum file, and
the manifests of winget and Scoop (manifests.py).

    package.py VERSION DATE README WIN32_BIN WIN64_BIN OUT_DIR [URL_PATTERN]

Each zip holds dirlift.exe, dirliftw.exe and the two menu scripts from its build's bin folder,
then, with CR LF line ends, README.txt (the README), REFERENCE.txt
(docs/reference.md), CHANGELOG.txt and LICENSE.txt (each found beside the
README), in that order, each stamped with DATE ("YYYY-MM-DD HH:MM:SS").
Nothing of the machine that runs it (its clock, time zone, user or file
modes) reaches the bytes. URL_PATTERN says where the zips will be
downloaded from: {version} and {file} stand for the version and the zip's name.
"""

import hashlib
import os
import sys
import zipfile

import manifests

FILES = ["dirlift.exe", "dirliftw.exe", "dirlift-menu-add.cmd", "dirlift-menu-remove.cmd"]
# The documents, by their name in the zip and their path beside the README.
TEXTS = [("README.txt", "README.md"), ("REFERENCE.txt", "docs/reference.md"), ("CHANGELOG.txt", "CHANGELOG.md"),
         ("LICENSE.txt", "LICENSE")]
MS_DOS = 0  # the system zip entries claim to come from, whatever runs this
FILE_MODE = 0o644 << 16  # what unzip on Linux gives the files
COMPRESS_LEVEL = 9


def entry(name, stamp):
    info = zipfile.ZipInfo(name, date_time=stamp)
    info.create_system = MS_DOS
    info.external_attr = FILE_MODE
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def write_zip(path, contents, stamp):
    with zipfile.ZipFile(path, "w") as archive:
        for name, data in contents:
            archive.writestr(entry(name, stamp), data, compresslevel=COMPRESS_LEVEL)


def windows_text(path):
    with open(path, "rb") as source:
        return source.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def main(version, date, readme, win32_bin, win64_bin, out_dir, pattern=manifests.DEFAULT_PATTERN):
    stamp = tuple(int(part) for part in date.replace("-", " ").replace(":", " ").split())
    root = os.path.dirname(os.path.abspath(readme))
    texts = [(name, windows_text(readme if source == "README.md" else os.path.join(root, source)))
             for name, source in TEXTS]
    os.makedirs(out_dir, exist_ok=True)
    sums = []
    zips = {}
    for arch, bin_dir in (("win32", win32_bin), ("win64", win64_bin)):
        contents = []
        for name in FILES:
            with open(os.path.join(bin_dir, name), "rb") as source:
                contents.append((name, source.read()))
        contents += texts
        zip_name = "dirlift-%s-%s.zip" % (version, arch)
        write_zip(os.path.join(out_dir, zip_name), contents, stamp)
        with open(os.path.join(out_dir, zip_name), "rb") as written:
            digest = hashlib.sha256(written.read()).hexdigest()
        sums.append("%s  %s\n" % (digest, zip_name))
        zips[arch] = (zip_name, digest)
    with open(os.path.join(out_dir, "SHA256SUMS"), "w", newline="\n") as out:
        out.writelines(sums)
    manifests.write(out_dir, version, zips, pattern)


if __name__ == "__main__":
    if len(sys.argv) not in (7, 8):
        sys.exit(__doc__)
    main(*sys.argv[1:])
