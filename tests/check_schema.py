#!/usr/bin/env python3
"""One verdict on every scenario file: the schema (Python's jsonschema) and
the loader (actionhost check) accept the same files and refuse the same.

Every file given after --valid (or found in a folder given there, *.json,
not descending) must be accepted by both; every file after --invalid must
be refused by both, the schema refusing it or it not being JSON, except
the files of UNSEEN: what no schema can express, which the loader alone
refuses. Files after --schema-only are run with a library given on the
command line: the schema alone must accept them. The list is exact: a file that disagrees and is not on it fails,
and so does a file on it that no longer disagrees. The schema itself must
be a valid draft 2020-12 schema.

Usage: check_schema.py SCHEMA --actionhost PROGRAM --library LIBRARY
                       --valid PATH... [--schema-only PATH...] --invalid PATH...
"""
import collections
import json
import os
import subprocess
import sys
import tempfile

import jsonschema

# What no schema can see, each with its reason.
UNSEEN = {
    "unseen.duplicate-key.json":
        "JSON Schema sees the document parsed, where a key given twice is one key",
    "unseen.lone-surrogate.json":
        "Python's JSON reader takes an unpaired surrogate as text; the loader refuses it as invalid UTF-16",
    "unseen.missing-action-of-library-by-path.json":
        "a library given by path is known only when it is opened",
    "unseen.library-path-that-does-not-exist.json":
        "a schema cannot look at the file system",
}


def files(paths):
    for path in paths:
        if os.path.isdir(path):
            for name in sorted(os.listdir(path)):
                full = os.path.join(path, name)
                if name.endswith(".json") and os.path.isfile(full):
                    yield full
        else:
            yield path


def schema_problem(validator, path):
    """Why the schema refuses the file, or None when it validates."""
    try:
        with open(path, encoding="utf-8") as source:
            document = json.load(source)
    except ValueError as error:
        return "not JSON: %s" % error
    error = jsonschema.exceptions.best_match(validator.iter_errors(document))
    if error is None:
        return None
    return "%s: %s" % ("/".join(str(part) for part in error.absolute_path) or "(top)", error.message)


def loader_problem(actionhost, path):
    """Why actionhost check refuses the file, or None when it loads."""
    done = subprocess.run([actionhost, "check", path], capture_output=True, text=True, errors="replace")
    if done.returncode == 0:
        return None
    if done.returncode != 2:
        sys.exit("actionhost check %s: exit status %d\n%s%s" % (path, done.returncode, done.stdout, done.stderr))
    return (done.stdout + done.stderr).strip()


def library_cases(folder, library):
    """The two files about libraries given by path, made where they can
    name a real library."""
    cases = {
        "unseen.missing-action-of-library-by-path.json":
            {"library": os.path.abspath(library), "action": "NoSuchAction"},
        "unseen.library-path-that-does-not-exist.json":
            {"library": "no/such/library", "action": "SetVexaName"},
    }
    for name, document in cases.items():
        with open(os.path.join(folder, name), "w", encoding="utf-8") as out:
            json.dump(document, out)
        yield os.path.join(folder, name)


def main():
    args = sys.argv[1:]
    try:
        schema_file = args[0]
        actionhost = args[args.index("--actionhost") + 1]
        library = args[args.index("--library") + 1]
        ends = args.index("--schema-only") if "--schema-only" in args else args.index("--invalid")
        valid = args[args.index("--valid") + 1:ends]
        schema_only = args[ends + 1:args.index("--invalid")] if "--schema-only" in args else []
        invalid = args[args.index("--invalid") + 1:]
    except (IndexError, ValueError):
        sys.exit(__doc__)
    with open(schema_file, encoding="utf-8") as source:
        schema = json.load(source)
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)

    faults = []
    accepted = 0
    kinds = collections.Counter()
    disagreeing = set()
    for path in files(valid):
        accepted += 1
        for who, problem in (("the schema", schema_problem(validator, path)),
                             ("the loader", loader_problem(actionhost, path))):
            if problem is not None:
                faults.append("%s refuses %s: %s" % (who, path, problem))
    for path in files(schema_only):
        accepted += 1
        problem = schema_problem(validator, path)
        if problem is not None:
            faults.append("the schema refuses %s: %s" % (path, problem))
    with tempfile.TemporaryDirectory() as scratch:
        for path in list(files(invalid)) + list(library_cases(scratch, library)):
            name = os.path.basename(path)
            kinds[name.split(".")[0]] += 1
            by_schema = schema_problem(validator, path)
            by_loader = loader_problem(actionhost, path)
            if by_loader is None:
                faults.append("the loader accepts %s, which is wrong" % path)
            elif by_schema is None:
                disagreeing.add(name)
                if name not in UNSEEN:
                    faults.append("the schema accepts %s, which the loader refuses: %s" % (path, by_loader))
            print("refused %s\n  schema: %s\n  loader: %s" % (name, by_schema or "accepts (%s)" % UNSEEN.get(name),
                                                             by_loader))
    for name in sorted(set(UNSEEN) - disagreeing):
        faults.append("%s is listed as what no schema can see, but the two agree on it" % name)
    for fault in faults:
        print("FAULT " + fault)
    print("%d scenario(s) accepted by both; refused by both, per kind: %s; by the loader alone: %d (%s)" %
          (accepted, ", ".join("%s %d" % item for item in sorted(kinds.items()) if item[0] != "unseen"),
           len(disagreeing), ", ".join(sorted(disagreeing))))
    if faults:
        sys.exit("%d fault(s)" % len(faults))


if __name__ == "__main__":
    main()
