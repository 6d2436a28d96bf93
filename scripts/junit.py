#!/usr/bin/env python3
"""Reads CTest's machine-readable results for the test and soak commands.

  junit.py selected                  count the tests in `ctest --show-only=json-v1` (stdin)
  junit.py counts FILE               "passed failed skipped" of one JUnit file
  junit.py list FILE failed|skipped  one line per such test: name, and why where CTest says
  junit.py slowest N FILE...         the N slowest tests of all the files
  junit.py logs FILE DIR ROUND       each failed test's full output into DIR/<test>/round-<ROUND>.log;
                                     prints the names of the tests written

A test that CTest did not run because of a failed fixture or a missing
program counts as failed; only a skip the test asked for (its skip return
code or skip message) or a disabled test counts as skipped.
"""
import json
import os
import re
import sys
import xml.etree.ElementTree as ET

SKIP_MESSAGES = re.compile(r"^(SKIP_RETURN_CODE=|SKIP_REGULAR_EXPRESSION_MATCHED)")


def cases(path):
    for case in ET.parse(path).getroot().iter("testcase"):
        status = case.get("status")
        skipped = case.find("skipped")
        message = skipped.get("message", "") if skipped is not None else ""
        if status == "run":
            outcome = "passed"
        elif status == "disabled" or (status == "notrun" and SKIP_MESSAGES.match(message)):
            outcome = "skipped"
        else:
            outcome = "failed"
        output = case.findtext("system-out") or ""
        yield case.get("name"), outcome, message, float(case.get("time") or 0), output


def skip_reason(output):
    # GoogleTest prints "file:line: Skipped" and the reason on the next line.
    lines = [line.strip() for line in output.splitlines()]
    for i, line in enumerate(lines):
        if line.endswith(": Skipped") and i + 1 < len(lines) and lines[i + 1]:
            return lines[i + 1]
    return next((line for line in lines if line), "")


def safe_name(name):
    return re.sub(r"[^A-Za-z0-9._-]", "_", name)


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    if command == "selected":
        print(len(json.load(sys.stdin).get("tests", [])))
    elif command == "counts":
        totals = {"passed": 0, "failed": 0, "skipped": 0}
        for _, outcome, _, _, _ in cases(argv[2]):
            totals[outcome] += 1
        print(totals["passed"], totals["failed"], totals["skipped"])
    elif command == "list":
        wanted = argv[3]
        for name, outcome, message, _, output in cases(argv[2]):
            if outcome != wanted:
                continue
            why = message if wanted == "failed" else skip_reason(output)
            print(f"{name} ({why[:120]})" if why else name)
    elif command == "slowest":
        count = int(argv[2])
        every = [(time, name) for path in argv[3:] if os.path.exists(path) for name, _, _, time, _ in cases(path)]
        for time, name in sorted(every, reverse=True)[:count]:
            print(f"{time:7.1f} s  {name}")
    elif command == "logs":
        path, folder, round_number = argv[2], argv[3], argv[4]
        for name, outcome, message, time, output in cases(path):
            if outcome != "failed":
                continue
            test_folder = os.path.join(folder, safe_name(name))
            os.makedirs(test_folder, exist_ok=True)
            with open(os.path.join(test_folder, f"round-{round_number}.log"), "w", encoding="utf-8") as log:
                log.write(f"test: {name}\nround: {round_number}\ntime: {time:.1f} s\n")
                if message:
                    log.write(f"ctest: {message}\n")
                log.write("\n" + output)
            print(name)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
