#!/usr/bin/env python3
"""Validates scenario files against the scenario schema.

Every file given after --valid (or found in a folder given there, *.json,
not descending) must validate; every file after --invalid must be refused,
by the schema or as JSON that does not parse. The schema itself must be a
valid draft 2020-12 schema.

Usage: check_schema.py SCHEMA --valid PATH... --invalid PATH...
"""
import json
import os
import sys

import jsonschema


def files(paths):
    for path in paths:
        if os.path.isdir(path):
            for name in sorted(os.listdir(path)):
                full = os.path.join(path, name)
                if name.endswith(".json") and os.path.isfile(full):
                    yield full
        else:
            yield path


def problem(validator, path):
    """Why the file is refused, or None when it validates."""
    try:
        with open(path, encoding="utf-8") as source:
            document = json.load(source)
    except ValueError as error:
        return "not JSON: %s" % error
    error = jsonschema.exceptions.best_match(validator.iter_errors(document))
    if error is None:
        return None
    return "%s: %s" % ("/".join(str(part) for part in error.absolute_path) or "(top)", error.message)


def main():
    args = sys.argv[1:]
    if len(args) < 1 or "--valid" not in args or "--invalid" not in args:
        sys.exit(__doc__)
    with open(args[0], encoding="utf-8") as source:
        schema = json.load(source)
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    valid = args[args.index("--valid") + 1:args.index("--invalid")]
    invalid = args[args.index("--invalid") + 1:]
    faults = 0
    counts = [0, 0]
    for path in files(valid):
        counts[0] += 1
        found = problem(validator, path)
        if found is not None:
            print("FAULT %s is refused: %s" % (path, found))
            faults += 1
    for path in files(invalid):
        counts[1] += 1
        found = problem(validator, path)
        if found is None:
            print("FAULT %s validates, but is wrong" % path)
            faults += 1
        else:
            print("refused %s: %s" % (os.path.basename(path), found))
    if faults:
        sys.exit("%d fault(s)" % faults)
    print("%d scenario(s) validate, %d wrong one(s) are refused" % tuple(counts))


if __name__ == "__main__":
    main()
