#!/usr/bin/env python3
"""check_json_schema.py SCHEMA FILE...: every FILE holds one JSON value that
SCHEMA accepts; names each file that does not, with why, and exits 1."""
import json
import sys

import jsonschema


def main():
    schema = json.load(open(sys.argv[1], encoding="utf-8"))
    validator = jsonschema.Draft202012Validator(schema)
    failed = 0
    for name in sys.argv[2:]:
        text = open(name, encoding="utf-8").read()
        try:
            value = json.loads(text)
        except ValueError as error:
            print(f"{name}: not one JSON value ({error}): {text[:200]!r}")
            failed += 1
            continue
        for error in validator.iter_errors(value):
            print(f"{name}: {'/'.join(map(str, error.absolute_path))}: {error.message}")
            failed += 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
