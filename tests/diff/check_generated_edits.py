#!/usr/bin/env python3
# lum diff finds exactly the edits lum_genmodel made to its model.
#
#     check_generated_edits.py LUM GENMODEL WORKDIR SIZE EDITS
#
# Writes the generated model and the same model with EDITS edits (and their
# list) below WORKDIR, diffs the two with `lum diff --format json` and compares
# the changes field by field with the list: anything missing or extra fails.

import collections
import json
import shutil
import subprocess
import sys


# The changes of a lum-diff/1 document, one per changed field.
def changes(document):
    items = collections.Counter()
    for group in document["packages"]:
        for c in group["changes"]:
            head = (group["package"], c["change"], c["kind"], c["noun"], c["path"],
                    c.get("oldName", c.get("oldOwner", "")))
            for field in c.get("fields", [None]):
                items[head + ((field["field"], field["before"], field["after"]) if field else ())] += 1
    return items


def main():
    tool, genmodel, work, size, edits = sys.argv[1:6]
    base, edited, listed = f"{work}/base", f"{work}/edited", f"{work}/edits.json"
    shutil.rmtree(work, ignore_errors=True)
    subprocess.run([genmodel, "--size", size, "--out", base], check=True)
    subprocess.run([genmodel, "--size", size, "--out", edited, "--edits", edits, "--edits-out", listed], check=True)
    diff = subprocess.run([tool, "diff", "--format", "json", "--pathmap", f"{base}/model.map",
                           f"{base}/model.mdl", f"{edited}/model.mdl"], capture_output=True, text=True)
    if diff.returncode != 1:
        sys.exit(f"lum diff exited with {diff.returncode}: {diff.stderr}")
    with open(listed, encoding="utf-8") as file:
        expected = changes(json.load(file))
    found = changes(json.loads(diff.stdout))
    for what, items in (("missing", expected - found), ("extra", found - expected)):
        for item in sorted(items):
            print(what, item)
    print(f"{sum(expected.values())} changes expected, {sum(found.values())} reported")
    sys.exit(1 if expected != found else 0)


if __name__ == "__main__":
    main()
