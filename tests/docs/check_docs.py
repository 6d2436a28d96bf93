#!/usr/bin/env python3
"""Keeps the user documentation in step with the program.

1. Every block marked <!-- lab: CASE list|event --> in README.ja.md and
   docs/ghost-events.md holds what the network lab's case CASE shows: its
   result lines and final status line (list), or the body of its results
   event (event), times masked. The lab's own tests (tests/lab) hold each
   case file to what the program really shows and sends, so a change there
   fails here until the documents follow.
2. Both documents name every status text the program uses (taken from the
   bytes in echo/status_text.cpp), and the read-me also the texts of an echo
   whose data came back changed and of a run that could not start
   (echo/echo_lines.h).

Usage: check_docs.py SOURCE_ROOT
"""
import codecs
import pathlib
import re
import sys

MARKER = re.compile(r"<!-- lab: (\w+) (list|event) -->\n```text\n(.*?)```", re.S)
C_LITERALS = r'((?:"(?:[^"\\]|\\.)*"\s*)+)'


def c_text(literals):
    """The code page 932 text of adjacent C string literals, as str."""
    raw = b"".join(codecs.escape_decode(s.encode("ascii"))[0] for s in re.findall(r'"((?:[^"\\]|\\.)*)"', literals))
    return raw.decode("cp932")


def case_records(case_file):
    lines = case_file.read_text(encoding="utf-8").split("\n---\n", 1)[1].splitlines()
    return [tuple(line.split(" ", 1)) if " " in line else (line, "") for line in lines]


def expected_block(records, kind):
    if kind == "list":
        lines = [text for tag, text in records if tag == "LINE"]
        statuses = [text for tag, text in records if tag == "STATUS"]
        return lines + statuses[-1:]
    return [text.removesuffix("\\r\\n").replace("\\x01", "<01>") for tag, text in records if tag == "EVENT"]


def mask(line):
    line = re.sub(r"Time=\d+ms", "Time=*ms", line)
    fields = line.split("<01>")
    if len(fields) == 4 and fields[2].isdigit():
        fields[2] = "*"
    return "<01>".join(fields)


def main():
    root = pathlib.Path(sys.argv[1])
    problems = []
    docs = {name: (root / name).read_text(encoding="utf-8") for name in ("README.ja.md", "docs/ghost-events.md")}

    checked = 0
    for name, text in docs.items():
        for case, kind, block in MARKER.findall(text):
            case_file = root / "tests/lab/cases" / f"{case}.case"
            if not case_file.exists():
                problems.append(f"{name}: no lab case {case}")
                continue
            shown = [mask(line) for line in block.splitlines()]
            expected = expected_block(case_records(case_file), kind)
            if shown != expected:
                problems.append(f"{name}: the {kind} of lab case {case} differs:\n  shown:    {shown}\n  expected: {expected}")
            checked += 1
    if checked < 10:
        problems.append(f"only {checked} lab examples found; the markers must be <!-- lab: CASE list|event -->")

    status_source = (root / "echo/status_text.cpp").read_text(encoding="utf-8")
    status_texts = [c_text(lits) for lits in re.findall(r"\{\d+,\s*" + C_LITERALS + r"\}", status_source)]
    if len(status_texts) != 19:
        problems.append(f"read {len(status_texts)} status texts from echo/status_text.cpp, expected 19")
    lines_source = (root / "echo/echo_lines.h").read_text(encoding="utf-8")
    fixed = {name: c_text(lits) for name, lits in re.findall(r"(k\w+(?:Line|Text))\s*=\s*" + C_LITERALS + ";", lines_source)}
    run_texts = [fixed.get(k, "") for k in ("kDataMismatchText", "kIcmpUnavailableLine", "kHostLookupFailedLine")]

    for name, text in docs.items():
        wanted = status_texts + (run_texts if name == "README.ja.md" else run_texts[:1])
        for t in wanted:
            if not t or t not in text:
                problems.append(f"{name} does not name the text {t!r}")

    for p in problems:
        print(p)
    print(f"{checked} lab examples, {len(status_texts) + len(run_texts)} texts checked: "
          f"{'ok' if not problems else str(len(problems)) + ' problem(s)'}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
