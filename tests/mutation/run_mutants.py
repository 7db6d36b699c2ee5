#!/usr/bin/env python3
"""Plants small faults one at a time and counts how many the suite catches.

Each mutant changes one spot of one source file: a comparison flipped or moved
by one, && swapped for ||, + for -, a number off by one, true for false, or one
statement dropped. The build tree is rebuilt, the tests of that code run, and
the file is put back. A mutant the compiler refuses is not counted; one whose
tests fail or hang is killed; one whose tests pass survived.

    run_mutants.py --build build --group core --count 60
    run_mutants.py --build build --group encoder --count 40

The sample is drawn with a fixed seed, so a run can be repeated. A survivor
is either a gap in the tests or equivalent: a change no test could observe,
such as the starting value of a variable that is always set before use.
"""

import argparse
import os
import random
import re
import signal
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

HERE = Path(__file__).resolve().parent
SOURCE = HERE.parent.parent

# Which tests judge a group's mutants (ctest label regex).
GROUP_LABELS = {"core": "core|window", "encoder": "encoder"}


@dataclass
class Mutant:
    path: str  # relative to the source tree
    line: int  # 1-based
    column: int  # 0-based start of the replaced text
    before: str
    after: str
    kind: str

    def key(self):
        return f"{self.path}:{self.line}:{self.column}: {self.before} -> {self.after}"


def GroupFiles(build, group):
    if group == "core":
        listed = (Path(build) / "tests" / "core_files.txt").read_text().split()
        return sorted(str(Path(p).resolve().relative_to(SOURCE)) for p in listed if p.endswith(".cpp"))
    return sorted(str(p.relative_to(SOURCE)) for p in (SOURCE / "encoder").glob("*.cpp") if p.name != "main.cpp")


def Masked(text):
    """The text with comments and string/char literals blanked, same length."""
    out = list(text)
    i, n = 0, len(text)
    while i < n:
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                out[i] = " "
                i += 1
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            for j in range(i, end):
                if text[j] != "\n":
                    out[j] = " "
            i = end
        elif text[i] == 'R' and text.startswith('R"', i):
            m = re.match(r'R"([^(]*)\(', text[i:])
            close = ")" + m.group(1) + '"'
            end = text.find(close, i) + len(close)
            for j in range(i, end):
                if text[j] != "\n":
                    out[j] = " "
            i = end
        elif text[i] in "\"'" and not (text[i] == "'" and i > 0 and text[i - 1].isalnum()):
            quote, j = text[i], i + 1
            while j < n and text[j] != quote:
                j += 2 if text[j] == "\\" else 1
            for k in range(i, min(j + 1, n)):
                out[k] = " "
            i = j + 1
        else:
            i += 1
    return "".join(out)


REPLACEMENTS = [
    ("comparison", r"(?<= )(<=|>=|==|!=|<|>)(?= )",
     {"<=": ["<"], ">=": [">"], "<": ["<="], ">": [">="], "==": ["!="], "!=": ["=="]}),
    ("logic", r"(?<= )(&&|\|\|)(?= )", {"&&": ["||"], "||": ["&&"]}),
    ("arithmetic", r"(?<= )(\+|-)(?= )", {"+": ["-"], "-": ["+"]}),
    ("boolean", r"\b(true|false)\b", {"true": ["false"], "false": ["true"]}),
]
NUMBER = re.compile(r"(?<![\w.])(\d+)(?![\w.'])")
STATEMENT_START = re.compile(r"^\s*(?!return\b|case\b|default\b|else\b|for\b|if\b|while\b|do\b)[A-Za-z_:(*]")
# Dropping a declaration only stops the build; such lines are not offered.
DECLARATION = re.compile(r"^\s*((const|static|constexpr|auto|unsigned|int|bool|char|double|float|long|"
                         r"size_t|u?int\d+_t)\b|(std::)?\w+(<[^;]*>)?[*&]?\s+[*&]?[a-z]\w*\s*(=|;|\(|\{|\[))")


def Sites(path):
    text = (SOURCE / path).read_text()
    masked = Masked(text).split("\n")
    lines = text.split("\n")
    sites = []
    previous = ""
    for number, (line, plain) in enumerate(zip(lines, masked), start=1):
        code = plain.rstrip()
        if code.lstrip().startswith("#") or "static_assert" in code or "CHECKPOINT()" in code or not code.strip():
            if code.strip():
                previous = code
            continue
        for kind, pattern, table in REPLACEMENTS:
            for m in re.finditer(pattern, code):
                for after in table[m.group(1)]:
                    sites.append(Mutant(path, number, m.start(), m.group(1), after, kind))
        for m in NUMBER.finditer(code):
            value = int(m.group(1))
            sites.append(Mutant(path, number, m.start(), m.group(1), str(value + 1), "constant"))
        # A whole simple statement on one line, following a complete one.
        if (code.endswith(";") and STATEMENT_START.match(code) and not DECLARATION.match(code) and
                not re.search(r"= (delete|default);$", code) and not code.lstrip().startswith("(void)") and
                "{" not in code and "}" not in code and
                code.count("(") == code.count(")") and previous.rstrip().endswith((";", "{", "}", ":"))):
            start = len(code) - len(code.lstrip())
            sites.append(Mutant(path, number, start, line.rstrip()[start:], "", "drop"))
        previous = code
    return sites


def Apply(mutant):
    file = SOURCE / mutant.path
    lines = file.read_text().split("\n")
    line = lines[mutant.line - 1]
    assert line[mutant.column:mutant.column + len(mutant.before)] == mutant.before, mutant.key()
    lines[mutant.line - 1] = line[:mutant.column] + mutant.after + line[mutant.column + len(mutant.before):]
    file.write_text("\n".join(lines))


def Run(command, timeout, cwd):
    """Runs a command in its own process group; kills that group on timeout."""
    environment = dict(os.environ, GTEST_FAIL_FAST="1", QT_QPA_PLATFORM="offscreen")
    child = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                             start_new_session=True, env=environment)
    try:
        return child.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(child.pid, signal.SIGKILL)
        child.wait()
        return None


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build")
    parser.add_argument("--group", choices=sorted(GROUP_LABELS), required=True)
    parser.add_argument("--count", type=int, default=40, help="viable mutants to run")
    parser.add_argument("--seed", type=int, default=15)
    parser.add_argument("--log", help="append one line per mutant to this file")
    parser.add_argument("--recheck", metavar="LOG", help="run again only the survivors an earlier log lists")
    args = parser.parse_args()
    build = str(Path(args.build).resolve())

    if subprocess.run(["git", "diff", "--quiet", "--", *GroupFiles(build, args.group)], cwd=SOURCE).returncode:
        sys.exit("The files to mutate have uncommitted changes; commit or stash them first.")
    sites = [s for f in GroupFiles(build, args.group) for s in Sites(f)]
    random.Random(args.seed).shuffle(sites)
    if args.recheck:
        wanted = {l.split(None, 2)[2] for l in Path(args.recheck).read_text().splitlines() if l.startswith("survived")}
        sites = [s for s in sites if s.key() in wanted]
        args.count = len(sites)
    label = GROUP_LABELS[args.group]
    test = ["ctest", "-L", label, "-j", str(os.cpu_count()), "--stop-on-failure"]

    if subprocess.run(["cmake", "--build", build], stdout=subprocess.DEVNULL).returncode:
        sys.exit("The unmutated tree does not build.")
    started = time.monotonic()
    if Run(test, None, build) != 0:
        sys.exit("The unmutated tree does not pass its tests.")
    # A mutant that makes a loop endless is caught by this limit.
    limit = 3 * (time.monotonic() - started) + 30

    killed, survived, skipped, runs = [], [], 0, 0
    log = open(args.log, "a") if args.log else None
    for mutant in sites:
        if runs == args.count:
            break
        original = (SOURCE / mutant.path).read_bytes()
        try:
            Apply(mutant)
            built = subprocess.run(["cmake", "--build", build], stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL).returncode == 0
            caught = built and Run(test, limit, build) != 0
        finally:
            (SOURCE / mutant.path).write_bytes(original)
        if not built:
            skipped += 1
            continue
        runs += 1
        (killed if caught else survived).append(mutant)
        line = f"{'killed' if caught else 'survived':10} {mutant.kind:10} {mutant.key()}"
        print(line, flush=True)
        if log:
            print(line, file=log, flush=True)

    subprocess.run(["cmake", "--build", build], stdout=subprocess.DEVNULL)
    rate = 100.0 * len(killed) / runs if runs else 0.0
    print(f"{args.group}: {len(killed)} of {runs} mutants killed ({rate:.0f}%), {skipped} did not compile")
    return 0


if __name__ == "__main__":
    sys.exit(main())
