#!/usr/bin/env python3
# lum diff finds exactly the edits lum_genmodel made to its model.
#
#     check_generated_edits.py LUM GENMODEL WORKDIR SIZE EDITS
#
# Writes the generated model and the same model with EDITS edits (and their
# list) below WORKDIR, diffs the two with `lum diff --format json` and compares
# the changes field by field with the list: anything missing or extra fails.

import collections, json, shutil, subprocess, sys


# The changes of a lum-diff/1 document, one per changed field.
def changes(document):
    items = collections.Counter()
    for group in document["packages"]:
        for c in group["changes"]:
            head = (group["package"], c["change"], c["kind"], c["noun"], c["path"], c.get("oldName", c.get("oldOwner", "")))
            for field in c.get("fields", [None]):
                items[head + ((field["field"], field["before"], field["after"]) if field else ())] += 1
    return items


tool, genmodel, work, size, edits = sys.argv[1:6]
shutil.rmtree(work, ignore_errors=True)
subprocess.run([genmodel, "--size", size, "--out", f"{work}/base"], check=True)
subprocess.run([genmodel, "--size", size, "--out", f"{work}/edited", "--edits", edits,
                "--edits-out", f"{work}/edits.json"], check=True)
diff = subprocess.run([tool, "diff", "--format", "json", "--pathmap", f"{work}/base/model.map", f"{work}/base/model.mdl",
                       f"{work}/edited/model.mdl"], capture_output=True, text=True)
assert diff.returncode == 1, f"lum diff exited with {diff.returncode}: {diff.stderr}"
with open(f"{work}/edits.json", encoding="utf-8") as file:
    expected = changes(json.load(file))
found = changes(json.loads(diff.stdout))
for item in [("missing",) + i for i in sorted(expected - found)] + [("extra",) + i for i in sorted(found - expected)]:
    print(*item)
print(f"{sum(expected.values())} changes expected, {sum(found.values())} reported")
sys.exit(1 if expected != found else 0)
