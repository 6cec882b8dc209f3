#!/usr/bin/env python3
"""Plants one fault at a time in the action code and counts how many the tests catch.

Each mutant is one change of a kind developers really make, planted in a
copy of the sources (vantorel/, cobrinth/, frame/); only what it touches is
rebuilt, and the tests run against a time limit: first the examples in one
actionhost process (quick, and most faults show there), then the whole lean
ctest suite. A mutant is caught, survived, or not compilable. Two workers
run side by side, each with a copy of the tree and a build of its own.
"""

import argparse
import hashlib
import os
import random
import re
import signal
import subprocess
import sys
import threading
import time
from concurrent.futures import ThreadPoolExecutor
from dataclasses import dataclass

SOURCE_DIRS = ("vantorel", "cobrinth", "frame")
SOURCE_SUFFIXES = (".cpp", ".h")
# Only the Windows entry point is left out: no native build compiles it.
SKIPPED_FILES = ("frame/DllMain_windows.cpp",)

HOST_CALL = re.compile(
    r"\b(Log|SetProperty|GetParameter|readParameter|GetPropertyText|ResolveText|GetRootFeature|"
    r"GetDiskCostList|GetChildren|GetId|IsEnabled|GetInstalledState|GetInstallingState|"
    r"SetRequestedState|GetMarkerState|GetDefaultState)\s*\(")
REMOVABLE_CALL = re.compile(r"^\s*(?:[\w.]+(?:\.|->))?(Log|SetProperty)\s*\(")
RELATIONAL = {" < ": " <= ", " <= ": " < ", " > ": " >= ", " >= ": " > ", " == ": " != ", " != ": " == "}
CONDITION = re.compile(r"\b(if|while)\s*\(")
INTEGER = re.compile(r"(?<![\w.'])(\d+)(?![\w.'])")


@dataclass
class Mutant:
    path: str        # relative to the tree
    line: int        # 1-based, first line changed
    kind: str
    before: str      # the lines as they were (joined by \n)
    after: str       # the lines as the mutant has them
    span: int = 1    # how many lines it replaces
    occurrence: int = 0  # earlier mutants of the same file with the same text

    def key(self):
        """Stable across edits elsewhere: the file, the kind and the text,
        and which of several identical sites of a file it is."""
        text = "\n".join((self.path, self.kind, self.before.strip(), self.after.strip()))
        if self.occurrence:
            text += "\n#%d" % self.occurrence
        return hashlib.sha1(text.encode()).hexdigest()[:12]

    def describe(self):
        first_before = self.before.strip().splitlines()
        first_after = self.after.strip().splitlines() or ["(removed)"]
        return "%s:%d: %s: %s  =>  %s" % (self.path, self.line, self.kind, " / ".join(l.strip() for l in first_before),
                                        " / ".join(l.strip() for l in first_after))


def mask(line, in_comment):
    """The line with string and character literals and comments blanked, so
    that patterns match code only. Returns (masked, still_in_block_comment)."""
    out = []
    i = 0
    n = len(line)
    while i < n:
        if in_comment:
            end = line.find("*/", i)
            if end < 0:
                out.append(" " * (n - i))
                return "".join(out), True
            out.append(" " * (end + 2 - i))
            i = end + 2
            in_comment = False
            continue
        c = line[i]
        if line.startswith("//", i):
            out.append(" " * (n - i))
            break
        if line.startswith("/*", i):
            in_comment = True
            continue
        if c in "\"'":
            j = i + 1
            while j < n and line[j] != c:
                j += 2 if line[j] == "\\" else 1
            out.append(c + " " * (min(j, n) - i - 1) + (c if j < n else ""))
            i = j + 1
            continue
        out.append(c)
        i += 1
    return "".join(out), in_comment


def matching_paren(text, open_index):
    depth = 0
    for i in range(open_index, len(text)):
        if text[i] == "(":
            depth += 1
        elif text[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def statement_end(masked_lines, start):
    """The last line of a statement that begins at start: where its
    parentheses close and a semicolon follows. -1 when it is no plain
    statement within a few lines."""
    depth = 0
    for i in range(start, min(start + 8, len(masked_lines))):
        for c in masked_lines[i]:
            depth += (c == "(") - (c == ")")
        if depth == 0 and masked_lines[i].rstrip().endswith(";"):
            return i
        if masked_lines[i].rstrip().endswith(("{", "}")):
            return -1
    return -1


def mutants_of(path, text):
    lines = text.split("\n")
    masked = []
    in_comment = False
    for line in lines:
        m, in_comment = mask(line, in_comment)
        masked.append(m)
    found = []
    for i, (line, code) in enumerate(zip(lines, masked)):
        stripped = code.strip()
        if not stripped or stripped.startswith("#"):
            continue
        # A relational operator turned into its neighbour.
        for op, replacement in RELATIONAL.items():
            for m in re.finditer(re.escape(op), code):
                if op in (" < ", " > ") and (code[m.start():m.start() + 4] in (" << ", " >> ") or
                                             code[m.end() - 1:m.end() + 1] in ("<<", ">>", "<=", ">=")):
                    continue
                after = line[:m.start()] + replacement + line[m.end():]
                found.append(Mutant(path, i + 1, "relational", line, after))
        # && and || swapped.
        for m in re.finditer(r"&&|\|\|", code):
            after = line[:m.start()] + ("||" if m.group() == "&&" else "&&") + line[m.end():]
            found.append(Mutant(path, i + 1, "logical", line, after))
        # A condition negated.
        for m in CONDITION.finditer(code):
            open_index = code.index("(", m.start())
            close = matching_paren(code, open_index)
            if close < 0:
                continue
            after = line[:open_index + 1] + "!(" + line[open_index + 1:close] + ")" + line[close:]
            found.append(Mutant(path, i + 1, "negated", line, after))
        # A constant moved by one (not in array bounds of declarations, not
        # in case labels, where a clash would not compile anyway).
        if not re.match(r"\s*(case\b|enum\b|const\s+\w+\s+k\w+\[)", code):
            for m in INTEGER.finditer(code):
                value = int(m.group(1))
                after = line[:m.start()] + str(value + 1) + line[m.end():]
                found.append(Mutant(path, i + 1, "constant", line, after))
        # return 0 turned into return 1.
        for m in re.finditer(r"\breturn\s+(0|kActionSuccess)\s*;", code):
            replacement = "return 1;" if m.group(1) == "0" else "return kActionFailure;"
            after = line[:m.start()] + replacement + line[m.end():]
            found.append(Mutant(path, i + 1, "return", line, after))
        # A call to Log or SetProperty removed (the whole statement).
        if REMOVABLE_CALL.match(code):
            end = statement_end(masked, i)
            if end >= 0:
                indent = line[:len(line) - len(line.lstrip())]
                found.append(Mutant(path, i + 1, "removed call", "\n".join(lines[i:end + 1]), indent + "{}",
                                    end - i + 1))
        # Two adjacent host calls swapped: two one-line statements in a row.
        if (i + 1 < len(lines) and HOST_CALL.search(code) and HOST_CALL.search(masked[i + 1]) and
                statement_end(masked, i) == i and statement_end(masked, i + 1) == i + 1):
            indent = line[:len(line) - len(line.lstrip())]
            next_line = lines[i + 1]
            if next_line.startswith(indent) and not next_line[len(indent)].isspace():
                found.append(Mutant(path, i + 1, "swapped calls", line + "\n" + next_line,
                                    next_line + "\n" + line, 2))
    return found


def catalogue(tree):
    mutants = []
    for directory in SOURCE_DIRS:
        for root, _, files in os.walk(os.path.join(tree, directory)):
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.relpath(os.path.join(root, name), tree)
                if path in SKIPPED_FILES:
                    continue
                with open(os.path.join(tree, path), encoding="utf-8") as source:
                    mutants.extend(mutants_of(path, source.read()))
    mutants.sort(key=lambda m: (m.path, m.line, m.kind, m.after))
    # One mutant per distinct change ("return 0" made "return 1" is a
    # constant moved and a return changed at once).
    distinct = {}
    for m in mutants:
        distinct.setdefault((m.path, m.line, m.after), m)
    mutants = [m for m in mutants if distinct[(m.path, m.line, m.after)] is m]
    seen = {}
    for m in mutants:
        text = (m.path, m.kind, m.before.strip(), m.after.strip())
        m.occurrence = seen.get(text, 0)
        seen[text] = m.occurrence + 1
    return mutants


def read_equivalents(path):
    """key -> reason, from lines 'KEY reason' (the key as the report gives it)."""
    equivalents = {}
    if os.path.exists(path):
        with open(path, encoding="utf-8") as listing:
            for line in listing:
                line = line.strip()
                if line and not line.startswith("#"):
                    key, _, reason = line.partition(" ")
                    equivalents[key] = reason.strip()
    return equivalents


# The sanitizer build of the project's own suite: a fault that only corrupts
# memory or leaks (a buffer one unit short, a key never closed) shows there.
SANITIZER_FLAGS = "-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"


class Worker:
    def __init__(self, root, index, jobs_per_build, sanitize=False):
        self.tree = os.path.join(root, "w%d" % index)
        self.build = os.path.join(self.tree, "build")
        self.jobs = jobs_per_build
        self.sanitize = sanitize

    def prepare(self, source):
        files = subprocess.run(["git", "ls-files", "-z"], cwd=source, check=True,
                               capture_output=True).stdout.decode().split("\0")
        for name in filter(None, files):
            target = os.path.join(self.tree, name)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(os.path.join(source, name), "rb") as a:
                data = a.read()
            if not os.path.exists(target) or open(target, "rb").read() != data:
                with open(target, "wb") as b:
                    b.write(data)
        flags = ["-DCMAKE_CXX_FLAGS=" + (SANITIZER_FLAGS if self.sanitize else "")]
        subprocess.run(["cmake", "-S", self.tree, "-B", self.build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                        "-DACTIONS_LEAN_TESTS=ON", "-DACTIONS_WARNINGS_AS_ERRORS=OFF"] + flags,
                       check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", self.build, "-j", str(self.jobs)], check=True,
                       stdout=subprocess.DEVNULL)

    def run_tests(self, timeout):
        """True when the tests pass (the mutant survived)."""
        deadline = time.monotonic() + timeout
        # The unit tests stop at their first failure: a caught mutant needs
        # no more.
        environment = dict(os.environ, GTEST_FAIL_FAST="1")
        for selection in (["-R", "examples_in_process"], ["-E", "examples_in_process"]):
            left = deadline - time.monotonic()
            if left <= 0:
                return False
            # In a session of its own, so that a hanging test dies with it.
            tests = subprocess.Popen(["ctest", "--test-dir", self.build, "--stop-on-failure",
                                      "--timeout", str(int(max(1, left)))] + selection,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=environment,
                                     start_new_session=True)
            try:
                status = tests.wait(timeout=left + 5)
            except subprocess.TimeoutExpired:
                status = None  # a mutant that hangs is caught by the time limit
            finally:
                try:
                    os.killpg(tests.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                tests.wait()
            if status != 0:
                return False
        return True

    def try_mutant(self, mutant, timeout):
        path = os.path.join(self.tree, mutant.path)
        with open(path, encoding="utf-8") as source:
            original = source.read()
        lines = original.split("\n")
        start = mutant.line - 1
        if "\n".join(lines[start:start + mutant.span]) != mutant.before:
            return "stale"
        mutated = "\n".join(lines[:start] + mutant.after.split("\n") + lines[start + mutant.span:])
        try:
            with open(path, "w", encoding="utf-8") as target:
                target.write(mutated)
            build = subprocess.run(["cmake", "--build", self.build, "-j", str(self.jobs)],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            if build.returncode != 0:
                return "not compilable"
            return "survived" if self.run_tests(timeout) else "caught"
        finally:
            with open(path, "w", encoding="utf-8") as target:
                target.write(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sample", type=int, default=0, help="try N mutants chosen at random (default: all)")
    parser.add_argument("--seed", type=int, default=1, help="the seed of --sample")
    parser.add_argument("--timeout", type=float, default=60, help="seconds the tests of one mutant may take")
    parser.add_argument("--workers", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--list", action="store_true", help="print the catalogue and stop")
    parser.add_argument("--only", default="", help="only mutants whose file path contains this text")
    parser.add_argument("--work", default="build/mutate", help="where the workers' copies and builds live")
    parser.add_argument("--equivalent", default="scripts/mutate/equivalent.txt")
    parser.add_argument("--rerun", default="", help="only the survivors of an earlier report (its file); the "
                        "report then counts the earlier run's caught mutants in")
    parser.add_argument("--sanitize", action="store_true", help="build with AddressSanitizer and "
                        "UndefinedBehaviorSanitizer, as CI's sanitizer suite does (default work folder "
                        "build/mutate-sanitize)")
    args = parser.parse_args()
    if args.sanitize and args.work == parser.get_default("work"):
        args.work = "build/mutate-sanitize"

    source = subprocess.run(["git", "rev-parse", "--show-toplevel"], check=True, capture_output=True,
                            text=True).stdout.strip()
    os.chdir(source)
    mutants = [m for m in catalogue(source) if args.only in m.path]
    if args.list:
        for m in mutants:
            print(m.key(), m.describe())
        print("%d mutants" % len(mutants))
        return 0
    equivalents = read_equivalents(args.equivalent)
    earlier = None
    if args.rerun:
        with open(args.rerun, encoding="utf-8") as report:
            lines = report.read().splitlines()
        keys = {line.split()[1] for line in lines if line.startswith("survived: ")}
        mutants = [m for m in mutants if m.key() in keys]
        earlier = re.match(r"mutants: (\d+) \(caught (\d+), survived (\d+), equivalent (\d+), "
                           r"not compilable (\d+)", lines[0])
        if earlier is None:
            print("mutate: %s is no report of this script" % args.rerun, file=sys.stderr)
            return 2
    if args.sample:
        mutants = random.Random(args.seed).sample(mutants, min(args.sample, len(mutants)))
    workers = [Worker(os.path.abspath(args.work), i, 1 if args.workers > 1 else 2, args.sanitize)
               for i in range(max(1, args.workers))]
    started = time.monotonic()
    print("mutate: preparing %d worker build(s) in %s" % (len(workers), args.work), flush=True)
    with ThreadPoolExecutor(len(workers)) as pool:
        list(pool.map(lambda w: w.prepare(source), workers))
    for w in workers:
        if not w.run_tests(args.timeout * 3):
            print("mutate: the tests fail without any mutant; nothing to measure", file=sys.stderr)
            return 2

    outcomes = {}
    queue = list(enumerate(mutants))
    lock = threading.Lock()

    def work(worker):
        while True:
            with lock:
                if not queue:
                    return
                index, mutant = queue.pop(0)
            outcome = worker.try_mutant(mutant, args.timeout)
            with lock:
                outcomes[index] = outcome
                done = len(outcomes)
                if outcome == "survived" and mutant.key() not in equivalents:
                    print("SURVIVED %s %s" % (mutant.key(), mutant.describe()), flush=True)
                if done % 25 == 0:
                    print("mutate: %d of %d tried, %.0f s" % (done, len(mutants), time.monotonic() - started),
                          flush=True)

    with ThreadPoolExecutor(len(workers)) as pool:
        list(pool.map(work, workers))

    counts = {"caught": 0, "survived": 0, "not compilable": 0, "equivalent": 0, "stale": 0}
    survivors = []
    equivalent_seen = []
    for index, mutant in enumerate(mutants):
        outcome = outcomes[index]
        if outcome == "survived" and mutant.key() in equivalents:
            counts["equivalent"] += 1
            equivalent_seen.append((mutant, equivalents[mutant.key()]))
        else:
            counts[outcome] += 1
            if outcome == "survived":
                survivors.append(mutant)
    total = len(mutants)
    rerun_line = []
    if earlier:
        # The earlier run's survivors were tried again; what it caught, it
        # still counts, and so does what it set apart.
        rerun_line = ["rerun: %d survivor(s) of %s tried again%s: %d now caught" % (
            len(mutants), args.rerun, " with sanitizers" if args.sanitize else "", counts["caught"])]
        earlier_total, earlier_caught, _, earlier_equivalent, earlier_broken = map(int, earlier.groups())
        total = earlier_total
        counts["caught"] += earlier_caught
        counts["not compilable"] += earlier_broken
        # Survivors since marked equivalent were counted as survivors then.
        counts["equivalent"] += earlier_equivalent
    scored = counts["caught"] + counts["survived"]
    score = 100.0 * counts["caught"] / scored if scored else 100.0
    elapsed = time.monotonic() - started
    report = ["mutants: %d (caught %d, survived %d, equivalent %d, not compilable %d%s)" % (
        total, counts["caught"], counts["survived"], counts["equivalent"], counts["not compilable"],
        ", stale %d" % counts["stale"] if counts["stale"] else ""),
        "score: %.1f %% of %d non-equivalent mutants caught" % (score, scored),
        "time: %.0f s with %d worker(s)" % (elapsed, len(workers))] + rerun_line
    report += ["survived: " + m.key() + " " + m.describe() for m in survivors]
    report += ["equivalent: " + m.key() + " " + m.describe() + "  -- " + reason for m, reason in equivalent_seen]
    os.makedirs(args.work, exist_ok=True)
    with open(os.path.join(args.work, "report.txt"), "w", encoding="utf-8") as out:
        out.write("\n".join(report) + "\n")
    print("\n".join(report))
    print("mutate: report in %s" % os.path.join(args.work, "report.txt"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
