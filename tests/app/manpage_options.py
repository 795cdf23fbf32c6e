#!/usr/bin/python3
"""Checks a manual page against its program's --help: every option --help lists is documented in
the page's OPTIONS section, every option documented there is one --help lists, and the synopsis
names no other option.

Usage: manpage_options.py PAGE PROGRAM. Needs no display: --help is answered without one.
"""
import os
import re
import subprocess
import sys

# An option as written: -h, --help, --pidgin-account. Not the tail of a longer word.
OPTION = re.compile(r"(?<![\w-])(--?[A-Za-z][\w-]*)")


def help_options(program):
    """The options in the left column of --help's "Options:" list."""
    env = dict(os.environ, LC_ALL="C.UTF-8", LANG="C.UTF-8", LANGUAGE="",
               QT_QPA_PLATFORM="offscreen")
    run = subprocess.run([program, "--help"], capture_output=True, text=True, env=env,
                         timeout=120)
    if run.returncode != 0:
        sys.exit("%s --help ended with %d:\n%s" % (program, run.returncode, run.stderr))
    options = set()
    listing = False
    for line in run.stdout.splitlines():
        if not line.strip():
            listing = False
        elif line.rstrip().endswith(":") and not line.startswith(" "):
            listing = line.strip() == "Options:"
        elif listing:
            # "  -v, --version   Displays..." or "  --fail <method[:n]>  Answer...": the option
            # column ends at the first run of two spaces; wrapped descriptions start further in.
            column = re.match(r"  (-\S.*?)(?:\s{2,}|$)", line)
            if column:
                options.update(OPTION.findall(re.sub(r"<[^>]*>", "", column.group(1))))
    return options


def plain(troff):
    """A line of troff as text: no font changes, no macro, real hyphens."""
    text = re.sub(r"\\f(\[[^]]*\]|\(..|.)", "", troff).replace("\\-", "-").replace('"', " ")
    return re.sub(r"^\.[A-Za-z]+\s*", "", text)


def section(page, text, name):
    found = re.search(r"^\.SH %s\n(.*?)(?=^\.SH |\Z)" % name, text, re.S | re.M)
    if not found:
        sys.exit("%s has no %s section" % (page, name))
    return found.group(1).splitlines()


def page_options(page):
    """The options the OPTIONS section documents (the tag line after each .TP), and the options
    the SYNOPSIS names."""
    with open(page, encoding="utf-8") as source:
        text = source.read()
    documented = set()
    lines = section(page, text, "OPTIONS")
    for before, tag in zip(lines, lines[1:]):
        if before.startswith(".TP"):
            documented.update(OPTION.findall(plain(tag)))
    synopsis = {option for line in section(page, text, "SYNOPSIS")
                for option in OPTION.findall(plain(line))}
    return documented, synopsis


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    page, program = sys.argv[1:]
    listed = help_options(program)
    documented, synopsis = page_options(page)
    name = os.path.basename(page)
    problems = []
    if not listed:
        problems.append("found no options in %s --help" % program)
    if not documented:
        problems.append("found no options in the OPTIONS section of %s" % name)
    for options, what in ((listed - documented, "--help lists, but the OPTIONS section of %s "
                           "does not document" % name),
                          (documented - listed, "the OPTIONS section of %s documents, but "
                           "--help does not list" % name),
                          (synopsis - listed, "the SYNOPSIS of %s names, but --help does not "
                           "list" % name)):
        if options:
            problems.append("options that %s: %s" % (what, ", ".join(sorted(options))))
    for problem in problems:
        print("FAIL " + problem)
    if problems:
        return 1
    print("ok   %s documents the %d options of --help: %s"
          % (name, len(listed), ", ".join(sorted(listed))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
