"""The type stubs name what the module has: every class, and every public attribute of each."""
import ast
import pathlib

import pytest

import lum

STUBS = pathlib.Path(__file__).resolve().parents[1] / "stubs" / "lum-stubs"


def stub_classes(path):
    """Class name -> the public names it declares, its bases' included."""
    tree = ast.parse(path.read_text())
    own, bases = {}, {}
    for node in tree.body:
        if isinstance(node, ast.ClassDef):
            own[node.name] = {item.name if isinstance(item, ast.FunctionDef) else item.target.id
                              for item in node.body if isinstance(item, (ast.FunctionDef, ast.AnnAssign))}
            bases[node.name] = [b.id for b in node.bases if isinstance(b, ast.Name) and b.id in own]

    def names(cls):
        return {n for n in own[cls] if not n.startswith("_")}.union(*(names(b) for b in bases[cls]))

    return {cls: names(cls) for cls in own}


@pytest.mark.parametrize("module, stub", [(lum, "__init__.pyi"), (lum.uml, "uml.pyi")])
def test_stubs_match_the_module(module, stub):
    declared = stub_classes(STUBS / stub)
    runtime = {name for name, value in vars(module).items() if isinstance(value, type)}
    assert set(declared) == runtime
    for name, names in declared.items():
        cls = getattr(module, name)
        if issubclass(cls, BaseException):
            continue
        assert names == {n for n in dir(cls) if not n.startswith("_")}, name
