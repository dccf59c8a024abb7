"""The UML view: elements with plain attributes, bound to each other and to the raw objects."""
import pytest


def by_name(elements, name):
    (found,) = [e for e in elements if e.name == name]
    return found


@pytest.mark.parametrize("name, sort, abstract, attributes", [
    ("Item", "class", True, [("title", "String", "", "private"), ("publicationYear", "Integer", "0", "private")]),
    ("Loan", "class", False, [("dueDate", "Date", "", "private"), ("renewals", "Integer", "0", "private")]),
    ("Person", "class", True, [("name", "String", "", "protected"), ("email", "String", "", "protected")]),
    ("Borrower", "actor", False, []),
])
def test_classifiers_and_their_attributes(library, name, sort, abstract, attributes):
    cls = by_name(library.uml.classes, name)
    assert (cls.kind, cls.sort, cls.is_abstract) == ("classifier", sort, abstract)
    assert [(a.name, str(a.type), a.default_value, a.visibility) for a in cls.attributes] == attributes
    assert cls.raw.keyword == "Class" and library.uml.element_of(cls.raw) == cls


def test_operations_with_parameters_and_exceptions(library):
    extend = by_name(by_name(library.uml.classes, "Loan").operations, "extend")
    assert [(p.name, p.type.name, p.direction) for p in extend.parameters] == [("days", "Integer", "in")]
    assert extend.return_type.name == "Boolean" and not extend.return_type.is_bound
    assert [e.name for e in extend.exceptions] == ["LoanLimitReached", "ReservedByOther"]


def test_association_ends_are_bound_to_classes(library):
    borrows = by_name(library.uml.associations, "Borrows")
    ends = [(e.name, e.type.element.name, e.multiplicity, e.aggregation, e.is_navigable) for e in borrows.ends]
    assert ends == [("borrower", "Member", "1", "none", True), ("loans", "Loan", "0..*", "composite", True)]
    assert all(end.owner == borrows for end in borrows.ends)


def test_packages_state_machines_and_diagrams(library):
    (model,) = library.uml.models
    assert model.is_model and model.kind == "package"
    assert {p.name for p in library.uml.packages} >= {"Catalog", "Lending", "People", "Accounts"}
    book = by_name(library.uml.classes, "Book")
    assert [(r.sort, r.supplier.element.name) for r in book.members if r.kind == "relationship"] == \
        [("generalization", "Item")]
    overdue = by_name(library.uml.states, "Overdue")
    assert [(a.when, a.name) for a in overdue.actions] == [("entry", "send reminder")]
    assert {(t.source.name, t.target.element.name) for t in library.uml.transitions} >= {("Active", "Overdue")}
    assert library.diagrams == library.uml.diagrams and len(library.diagrams) >= 4
    overview = by_name(library.diagrams, "Catalog overview")
    assert overview.sort == "class" and len(overview.shown) == 5
    assert all(isinstance(item.location, tuple) for item in overview.shown)
