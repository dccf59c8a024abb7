"""Lists the classes of a model with their attributes.

    python3 python/examples/list_classes.py samples/library/library.mdl samples/library/library.map
"""
import sys

import lum


def main(argv):
    if len(argv) < 2:
        print("usage: list_classes.py MODEL [PATHMAP]")
        return 2
    model = lum.load(argv[1], pathmap=argv[2] if len(argv) > 2 else None)
    for diagnostic in model.diagnostics:
        if diagnostic.severity != "Information":
            print(diagnostic)
    for cls in model.uml.classes:
        if cls.sort != "class":
            continue
        print(f"{cls.path}{' (abstract)' if cls.is_abstract else ''}")
        for attribute in cls.attributes:
            default = f" = {attribute.default_value}" if attribute.default_value else ""
            print(f"    {attribute.name} : {attribute.type}{default}")
    return 1 if model.has_errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
