#!/usr/bin/env python3
"""Runs every command the methods pages show and compares what they print.

A page shows a command and its output in a ```console block:

    $ echo 2000 | root_step
    Enter the division size:
    ...
    Total number of steps = 77

Each line that starts with "$ " is a command; the lines after it, up to the
next command or the end of the block, are what it prints (standard output
and standard error together), exactly. Commands run with bash, in order, in
one work folder per page outside the checkout, with the programs on PATH and
NUMLAB naming the repository's top folder, as the methods index tells a
reader to set them; so a later command may read the Data file an earlier one
wrote. A block with a command that needs a program this build lacks (ROOT's,
say) is skipped whole, and said so. Afterwards the checkout must hold no file
it did not hold before (its build folders aside).

Usage: methods_pages.py BIN WORK PAGE...
Exit status 0 when every checked command prints what its page says.
"""
import os
import re
import shutil
import subprocess
import sys

OPTIONAL_PROGRAMS = ("poly_deriv", "gaussian_errors")


def blocks(path):
    """The console blocks of a page: lists of (line number, command, expected lines)."""
    found, block, inside = [], None, False
    with open(path, encoding="utf-8") as page:
        for number, line in enumerate(page, 1):
            line = line.rstrip("\n")
            stripped = line.strip()
            if not inside and stripped == "```console":
                inside, block, indent = True, [], len(line) - len(line.lstrip())
            elif inside and stripped == "```":
                inside = False
                found.append(block)
            elif inside:
                text = line[indent:] if line[:indent].strip() == "" else line
                if text.startswith("$ "):
                    block.append((number, text[2:], []))
                elif block:
                    block[-1][2].append(text)
    return found


def checkout_files(top):
    """Every file of the checkout, its build and output folders aside."""
    found = set()
    for folder, subfolders, files in os.walk(top):
        if folder == top:
            subfolders[:] = [d for d in subfolders if d not in (".git", "build", "out")]
        found.update(os.path.join(folder, f) for f in files)
    return found


def first_difference(expected, actual):
    for k in range(max(len(expected), len(actual))):
        said = expected[k] if k < len(expected) else "(nothing)"
        printed = actual[k] if k < len(actual) else "(nothing)"
        if said != printed:
            return said, printed
    return "", ""


def main():
    bin_dir, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    pages = sys.argv[3:]
    top = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
    inside = os.path.relpath(work, top)
    if not inside.startswith("..") and not inside.startswith("build"):
        sys.exit("methods_pages.py: WORK must lie outside the checkout (or in a build folder)")
    before = checkout_files(top)
    missing = [p for p in OPTIONAL_PROGRAMS if not os.access(os.path.join(bin_dir, p), os.X_OK)]
    env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ["PATH"], LC_ALL="C",
               NUMLAB=top)
    shutil.rmtree(work, ignore_errors=True)
    failed = checked = skipped = 0
    for page in pages:
        name = os.path.basename(page)
        folder = os.path.join(work, name[: -len(".md")])
        os.makedirs(folder)
        for block in blocks(page):
            needs = [p for p in missing if any(re.search(r"\b%s\b" % p, c) for _, c, _ in block)]
            if needs:
                skipped += len(block)
                print("skipped: %s:%d needs %s, not built here" % (name, block[0][0], needs[0]))
                continue
            for number, command, expected in block:
                run = subprocess.run(["bash", "-c", command], cwd=folder, env=env,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                     stderr=subprocess.STDOUT, timeout=600)
                actual = run.stdout.decode("utf-8", "replace").split("\n")
                if actual and actual[-1] == "":
                    actual.pop()
                checked += 1
                if expected == actual:
                    print("ok: %s:%d %s" % (name, number, command))
                else:
                    said, printed = first_difference(expected, actual)
                    print("FAILED: %s:%d %s\n  the page says   %r\n  the programs print %r"
                          % (name, number, command, said, printed))
                    failed += 1
    left = sorted(checkout_files(top) - before)
    for path in left:
        print("FAILED: the pages' commands left %s in the checkout" % os.path.relpath(path, top))
    print("%d passed, %d failed, %d skipped" % (checked - failed, failed, skipped))
    return 1 if failed or left or not checked else 0


if __name__ == "__main__":
    sys.exit(main())
