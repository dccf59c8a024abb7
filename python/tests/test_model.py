"""The raw model: loading, walking, finding, features, referrers, errors."""
import gc
import threading

import pytest

import lum
from conftest import BROKEN, LIBRARY, LIBRARY_MAP


def test_sample_loads_every_file_and_binds(library):
    assert [f.main for f in library.files] == [True] + [False] * 5
    assert library.missing_units == []
    assert not library.has_errors
    assert [d.code for d in library.diagnostics] == ["CodePageChosen"]
    stats = library.stats()
    assert stats["objects"] == 230 == sum(stats["classes"].values())
    assert stats["references"]["bound"] == 155 and stats["references"]["dangling"] == 0


def test_walk_is_lazy_and_parents_come_first(library):
    walk = library.objects()
    first = next(walk)
    assert first.owner is None and first.keyword == "VellumFile"
    seen = {first}
    for obj in walk:
        assert obj.owner in seen
        seen.add(obj)
    assert len(seen) == library.stats()["objects"] + len(library.roots)  # the file objects too


@pytest.mark.parametrize("what, paths", [
    ("Logical View::Catalog::Book", ["Logical View::Catalog::Book"]),
    ("Book", ["Logical View::Catalog::Book"]),
    ("Logical View::*::L*", ["Logical View::Lending::Loan", "Logical View::Lending::LoanPolicy",
                            "Logical View::People::Librarian"]),
    ("NoSuchThing", []),
])
def test_find(library, what, paths):
    assert [o.path for o in library.find(what) if o.keyword == "Class"] == paths


def test_find_by_quid_gives_the_same_object(library):
    (book,) = library.find("Logical View::Catalog::Book")
    assert library.find(book.quid) == [book]


def test_features_are_python_values(library):
    (book,) = library.find("Logical View::Catalog::Book")
    features = book.features
    assert features["name"] == "Book" and features["quid"] == book.quid
    assert [a.name for a in features["class_attributes"]] == ["isbn", "author"]
    assert all(a.owner == book for a in features["class_attributes"])
    (generalization,) = features["superclasses"]
    (item,) = library.find("Logical View::Catalog::Item")
    assert generalization.features["supplier"] == item  # a bound reference gives its target
    assert [r.keyword for r in library.referrers(item)] == ["Inheritance_Relationship", "ClassAttribute", "ClassView", "Role"]
    assert library.referrers(item)[0] == generalization
    views = [o for o in library.objects() if o.keyword == "ClassView"]
    assert views and all(isinstance(v.features["location"], tuple) for v in views)
    attribute = book.features["class_attributes"][0]
    assert attribute.features["type"] == "String"  # an unmodelled type keeps its text
    (defaults,) = [o for o in library.objects() if o.keyword == "defaults"]
    typed = {k: (type(v), v) for k, v in defaults.features.items() if k in ("rightMargin", "gridX", "clipIconLabels", "notation")}
    assert typed == {"rightMargin": (float, 0.25), "gridX": (int, 16), "clipIconLabels": (bool, True),
                     "notation": (str, "Unified")}


def test_broken_file_loads_with_its_errors_reported():
    model = lum.load(BROKEN)
    assert model.has_errors
    syntax = [d for d in model.diagnostics if d.code == "SyntaxError"]
    assert [(d.severity, d.line, d.file) for d in syntax] == [("Error", 5, str(BROKEN))]


@pytest.mark.parametrize("kwargs, code", [
    (dict(paths="no/such/model.mdl"), "FileNotReadable"),
    (dict(paths=LIBRARY, pathmap="no/such/library.map"), "FileNotReadable"),
    (dict(paths=LIBRARY, symbols={"LIBRARY": "/no/such/dir"}, search_dirs=[], strict=True), "UnitNotFound"),
])
def test_failures_raise_load_error_with_diagnostics(kwargs, code):
    with pytest.raises(lum.LoadError) as raised:
        lum.load(**kwargs)
    assert code in [d.code for d in raised.value.diagnostics]


@pytest.mark.parametrize("kwargs", [dict(paths=[]), dict(paths=LIBRARY, codepage="utf-9")])
def test_bad_arguments_raise_value_error(kwargs):
    with pytest.raises(ValueError):
        lum.load(**kwargs)


def test_objects_outlive_their_model():
    model = lum.load(LIBRARY, pathmap=LIBRARY_MAP)
    walk = model.objects()
    (loan,) = model.find("Loan")
    element = model.uml.element_of(loan)
    view = model.uml
    del model
    gc.collect()
    assert loan.features["name"] == "Loan" and loan.owner.path == "Logical View::Lending"
    assert [a.name for a in element.attributes] == ["dueDate", "renewals"]
    assert len(view.classes) > 0
    assert sum(1 for _ in walk) == 231


def test_two_threads_load_at_once():
    results = [None, None]

    def load(i):
        model = lum.load([LIBRARY, BROKEN][i], pathmap=[LIBRARY_MAP, None][i])
        results[i] = (model.stats()["objects"], [d.code for d in model.diagnostics])

    threads = [threading.Thread(target=load, args=(i,)) for i in range(2)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert results[0] == (230, ["CodePageChosen"])
    assert results[1][0] == 2 and "SyntaxError" in results[1][1]


def test_exports_json_and_renders_every_diagram(library, tmp_path):
    import json
    import xml.etree.ElementTree as ET
    for compact in (False, True):
        library.export_json(tmp_path / "model.json", compact=compact)
        document = json.loads((tmp_path / "model.json").read_text(encoding="utf-8"))
        assert document["objectCount"] == sum(1 for _ in library.objects())
    with pytest.raises(OSError):
        library.export_json(tmp_path / "no" / "such" / "dir.json")
    for flavour, root in (("eclipse", "{http://www.eclipse.org/uml2/5.0.0/UML}Model"),
                          ("omg", "{http://www.omg.org/spec/XMI/20131001}XMI")):
        library.export_xmi(tmp_path / "model.xmi", flavour)
        assert ET.parse(tmp_path / "model.xmi").getroot().tag == root
    with pytest.raises(ValueError):
        library.export_xmi(tmp_path / "model.xmi", "ecore")
    report = library.export_papyrus(tmp_path / "papyrus")
    assert sum(report["diagrams"].values()) == len(library.diagrams) and report["views"] > 0
    assert ET.parse(tmp_path / "papyrus" / "library.notation").getroot().tag == "{http://www.omg.org/XMI}XMI"
    with pytest.raises(OSError):
        library.export_papyrus(tmp_path / "model.xmi")
    for diagram in library.diagrams:
        assert ET.fromstring(library.render_svg(diagram)).tag == "{http://www.w3.org/2000/svg}svg"
    other = lum.load(LIBRARY, pathmap=LIBRARY_MAP)
    with pytest.raises(ValueError):
        other.render_svg(library.diagrams[0])
