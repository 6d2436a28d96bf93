#!/usr/bin/env python3
"""Writes the release zip: quillbin.exe, the Japanese read-me as plain text,
the licence and a SHA-256 list of those three, in this order.

The bytes depend on the inputs and SOURCE_DATE_EPOCH alone: every entry has
the same time (the commit's), the same attributes and the same compression,
so two builds of one commit give the same zip.

Usage: package_zip.py EXE README_MD LICENSE OUT_ZIP   (SOURCE_DATE_EPOCH set)
"""
import hashlib
import os
import re
import sys
import time
import zipfile

# Notepad shows UTF-8 with a byte order mark as such on every Windows 10 and
# 11; without the mark older ones took it for the ANSI code page.
BOM = "\ufeff"


def plain_text(markdown):
    """The read-me as plain text: Markdown's marks taken off where a reader
    would trip over them, headings set apart, pictures (which the zip does
    not carry) left out."""
    out = []
    in_code = False
    for line in markdown.splitlines():
        if line.startswith("```"):
            in_code = not in_code
            continue
        if in_code:
            out.append("    " + line)
            continue
        if re.fullmatch(r"\s*!\[[^\]]*\]\([^)]*\)\s*", line) or re.fullmatch(r"\s*<!--.*-->\s*", line):
            continue
        if re.fullmatch(r"\|?\s*:?-{3,}:?\s*(\|\s*:?-{3,}:?\s*)*\|?\s*", line):
            continue
        heading = re.match(r"(#+)\s+(.*)", line)
        if heading:
            level, title = len(heading.group(1)), strip_inline(heading.group(2))
            if level == 1:
                out += [title, "=" * min(60, 2 * len(title))]
            elif level == 2:
                out += ["■ " + title]
            else:
                out += ["◆ " + title]
            continue
        out.append(strip_inline(line))
    # One blank line at most between paragraphs, none at the ends.
    text = re.sub(r"\n{3,}", "\n\n", "\n".join(out)).strip("\n")
    return text + "\n"


def strip_inline(line):
    # [text](address): the text, with the address when it leads outside.
    def link(m):
        text, target = m.group(1), m.group(2)
        return f"{text} ({target})" if re.match(r"https?://", target) else text

    line = re.sub(r"\[([^\]]+)\]\(([^)]+)\)", link, line)
    line = re.sub(r"\*\*([^*]+)\*\*", r"\1", line)
    line = re.sub(r"`([^`]+)`", r"\1", line)
    return line


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def main():
    if len(sys.argv) != 5 or "SOURCE_DATE_EPOCH" not in os.environ:
        sys.exit(__doc__)
    exe_path, readme_path, licence_path, out_path = sys.argv[1:]
    epoch = int(os.environ["SOURCE_DATE_EPOCH"])
    # A zip's times have no zone and start in 1980, in two-second steps: the
    # commit's time in UTC.
    stamp = time.gmtime(max(epoch, 315532800))[:6]

    with open(exe_path, "rb") as f:
        exe = f.read()
    with open(readme_path, encoding="utf-8") as f:
        readme = (BOM + crlf(plain_text(f.read()))).encode("utf-8")
    with open(licence_path, encoding="utf-8") as f:
        licence = crlf(f.read()).encode("utf-8")

    files = [("quillbin.exe", exe), ("README.ja.txt", readme), ("LICENSE.txt", licence)]
    # sha256sum's own format, so that `sha256sum -c SHA256SUMS.txt` checks it.
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in files)
    files.append(("SHA256SUMS.txt", sums.encode("ascii")))

    partial = out_path + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        for name, data in files:
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.create_system = 0  # MS-DOS attributes, as Windows' own zips have
            info.external_attr = 0
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)
    os.replace(partial, out_path)


if __name__ == "__main__":
    main()
