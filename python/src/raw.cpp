// The raw side of the module: lum.load, lum.Model, lum.Object, the
// diagnostics, the files read and the units missing.

#include <filesystem>
#include <fstream>
#include <optional>
#include <utility>
#include <vector>

#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include "handles.h"

namespace lumpy {

namespace {

py::object Text(const std::wstring& text) { return py::str(Utf8(text)); }

// A number as Python reads it (the same in every locale); the text itself
// when it is not one.
py::object Number(const std::string& text, bool integral) {
    PyObject* value = integral ? PyLong_FromString(text.c_str(), nullptr, 10)
                               : PyFloat_FromString(py::str(text).ptr());
    if (value == nullptr) {
        PyErr_Clear();
        return py::str(text);
    }
    return py::reinterpret_steal<py::object>(value);
}

py::tuple Point(const lum::tLocation& point) { return py::make_tuple(point.x, point.y); }

py::object AttributeValue(const lum::ClumMetaFeature& feature, const lum::IlumAttribute& attribute) {
    lum::WString text;
    attribute.Encode(text);
    switch (lum::GetValueType(feature)) {
        case lum::ValueType::Bool: return py::bool_(text == L"true");
        case lum::ValueType::Int: return Number(Utf8(text), true);
        case lum::ValueType::Float: return Number(Utf8(text), false);
        case lum::ValueType::Location: return Point(lum::tLocation::Decode(text));
        case lum::ValueType::PointVector: {
            py::list points;
            for (const lum::tLocation& point : lum::tPointVector::Decode(text)) points.append(Point(point));
            return points;
        }
        default: return Text(text);
    }
}

// A reference value: the object it is bound to, else the text it stores.
py::object ReferenceValue(const ModelPtr& model, const lum::IlumReference& reference, long index) {
    if (const lum::ClumVellumEntity* target = reference.GetTarget(index)) return Wrap(model, target);
    lum::WString text;
    reference.EncodeReference(text, index);
    return Text(text);
}

py::list LinkObjects(const ModelPtr& model, const lum::IlumLink& link) {
    py::list objects;
    for (int i = 0; i < link.GetSize(); ++i) objects.append(Wrap(model, link.GetAt(i)));
    return objects;
}

const lum::IlumFeature* Member(const lum::ClumVellumEntity* entity, const lum::ClumMetaFeature& feature) {
    return feature.m_pfnGetFeature(const_cast<lum::ClumVellumEntity*>(entity));
}

// The set features of an object, in metamodel order.
py::dict Features(const ObjectHandle& object) {
    py::dict features;
    for (const lum::ClumMetaFeature* feature : object.entity->GetMetaClass().m_allFeatures) {
        const lum::IlumFeature* member = Member(object.entity, *feature);
        if (member == nullptr || member->IsEmpty()) continue;
        py::object value;
        if (const lum::IlumAttribute* attribute = member->GetAttribute()) {
            value = AttributeValue(*feature, *attribute);
        } else if (const lum::IlumReference* reference = member->GetReference()) {
            if (reference->IsSingle()) {
                value = ReferenceValue(object.model, *reference, -1);
            } else {
                py::list values;
                for (int i = 0; i < reference->GetCount(); ++i) values.append(ReferenceValue(object.model, *reference, i));
                value = values;
            }
        } else if (const lum::IlumLink* link = member->GetLink()) {
            value = LinkObjects(object.model, *link);
        }
        features[py::str(Utf8(feature->GetName()))] = value;
    }
    return features;
}

py::list Children(const ObjectHandle& object) {
    py::list children;
    for (const lum::ClumMetaFeature* feature : object.entity->GetMetaClass().m_linkFeatures) {
        const lum::IlumFeature* member = Member(object.entity, *feature);
        if (member != nullptr && member->GetLink() != nullptr)
            for (const py::handle child : LinkObjects(object.model, *member->GetLink())) children.append(child);
    }
    return children;
}

py::object OptionalText(const lum::ClumIdent& ident) {
    if (ident.GetLength() == 0) return py::none();
    return py::str(Utf8(ident));
}

// The lazy walk of Model.objects(): the walk lives on the heap because its
// iterator points at it.
struct Walk {
    ModelPtr model;
    std::unique_ptr<lum::DepthFirst> walk;
    lum::DepthFirst::iterator at;
    bool started = false;

    py::object Next() {
        if (!started) {
            at = walk->begin();
            started = true;
        } else if (at != walk->end()) {
            ++at;
        }
        if (at == walk->end()) throw py::stop_iteration();
        return Wrap(model, at->entity);
    }
};

struct MissingUnitValue {
    py::object stub;
    std::string unit, stored, resolved, holder, undefinedSymbol, cyclicSymbol;
};

py::list Strings(const py::object& value) {
    py::list out;
    if (value.is_none()) return out;
    const py::module_ os = py::module_::import("os");
    if (py::isinstance<py::str>(value) || py::hasattr(value, "__fspath__")) {
        out.append(os.attr("fspath")(value));
        return out;
    }
    for (const py::handle item : value) out.append(os.attr("fspath")(item));
    return out;
}

unsigned CodePage(const py::object& codepage) {
    if (py::isinstance<py::int_>(codepage)) return codepage.cast<unsigned>();
    const std::string text = py::str(codepage);
    if (text == "auto") return 0;
    try {
        std::size_t used = 0;
        const unsigned long page = std::stoul(text, &used);
        if (used == text.size()) return static_cast<unsigned>(page);
    } catch (const std::exception&) {
    }
    throw py::value_error("codepage must be \"auto\" or a code page number, not \"" + text + "\"");
}

// lum.LoadError; never released, so that nothing is left to drop after the interpreter is gone.
py::handle g_loadError;

// Raises lum.LoadError with the diagnostics attached.
[[noreturn]] void RaiseLoadError(const lum::Model& model, const std::string& why) {
    std::string message = why;
    for (const lum::Diagnostic& diagnostic : model.Diagnostics())
        if (diagnostic.severity >= lum::tError::Error) message.append(1, '\n').append(lum::FormatDiagnostic(diagnostic));
    py::object error = g_loadError(message);
    error.attr("diagnostics") = py::cast(model.Diagnostics());
    PyErr_SetObject(g_loadError.ptr(), error.ptr());
    throw py::error_already_set();
}

ModelHandle Load(const py::object& paths, const py::object& codepage, const py::object& pathmap,
                 const py::dict& symbols, const py::object& searchDirs, bool subunits, bool strict) {
    const std::vector<std::string> files = Strings(paths).cast<std::vector<std::string>>();
    if (files.empty()) throw py::value_error("load needs at least one model file");
    lum::LoadOptions options;
    options.codePage = CodePage(codepage);
    options.pathMaps = Strings(pathmap).cast<std::vector<std::string>>();
    const py::module_ os = py::module_::import("os");
    for (const auto& [symbol, path] : symbols)
        options.symbols.emplace_back(py::str(symbol), os.attr("fspath")(path).cast<std::string>());
    options.searchDirs = Strings(searchDirs).cast<std::vector<std::string>>();
    options.loadSubUnits = subunits;
    options.strict = strict;
    std::shared_ptr<lum::Model> model;
    {
        py::gil_scoped_release unlocked;
        model = std::make_shared<lum::Model>(lum::Model::Load(files, options));
    }
    if (!model->Loaded()) RaiseLoadError(*model, "the model could not be loaded");
    // Strict loading fails on a unit file that cannot be loaded, as `lum --strict` does.
    if (strict && !model->MissingUnits().empty()) RaiseLoadError(*model, "unit files are missing (strict)");
    return ModelHandle{std::move(model)};
}

py::dict Stats(const lum::Model& model) {
    const lum::ReferenceSummary summary = model.References();
    std::size_t objects = 0;
    const auto classes = model.CountByClass();
    for (const auto& [keyword, count] : classes) objects += count;
    py::dict references;
    references["values"] = summary.values;
    references["bound"] = summary.bound;
    references["empty"] = summary.empty;
    references["in_missing_units"] = summary.inMissingUnit;
    references["unmodelled_types"] = summary.unmodelled;
    references["dangling"] = summary.dangling;
    references["ambiguous"] = summary.ambiguous;
    py::dict stats;
    stats["objects"] = objects;
    stats["classes"] = classes;
    stats["diagrams"] = model.CountByClass(true);
    stats["references"] = references;
    return stats;
}

py::list Objects(const ModelPtr& model, const std::vector<const lum::ClumVellumEntity*>& entities) {
    py::list out;
    for (const lum::ClumVellumEntity* entity : entities) out.append(Wrap(model, entity));
    return out;
}

}  // namespace

py::object Wrap(const ModelPtr& model, const lum::ClumVellumEntity* entity) {
    if (entity == nullptr) return py::none();
    return py::cast(ObjectHandle{model, entity});
}

void BindRaw(py::module_& module) {
    g_loadError = PyErr_NewExceptionWithDoc("lum.LoadError", "A model that could not be loaded; `diagnostics` says why.",
                                            PyExc_RuntimeError, nullptr);
    if (!g_loadError) throw py::error_already_set();
    g_loadError.attr("diagnostics") = py::list();
    module.attr("LoadError") = g_loadError;

    py::class_<lum::Diagnostic>(module, "Diagnostic", "One diagnostic of loading: code, severity, file, line, message, subject.")
        .def_property_readonly("code", [](const lum::Diagnostic& d) { return lum::diag::Name(d.code); },
                               "the stable code, the enumerator's name (\"UnitNotFound\", \"SyntaxError\", ...)")
        .def_property_readonly("severity", [](const lum::Diagnostic& d) { return lum::SeverityName(d.severity); },
                               "\"Information\", \"Warning\", \"Error\", \"FatalError\" or \"InternalError\"")
        .def_readonly("file", &lum::Diagnostic::file)
        .def_readonly("line", &lum::Diagnostic::line, "0 when not known")
        .def_readonly("message", &lum::Diagnostic::message)
        .def_readonly("subject", &lum::Diagnostic::subject)
        .def("__str__", &lum::FormatDiagnostic)
        .def("__repr__", [](const lum::Diagnostic& d) { return "<lum.Diagnostic " + lum::FormatDiagnostic(d) + ">"; });

    py::class_<lum::LoadedFile>(module, "File", "A file that was read: a main file or a unit file.")
        .def_readonly("name", &lum::LoadedFile::name, "as given, or relative to the main file")
        .def_readonly("path", &lum::LoadedFile::path, "absolute")
        .def_readonly("main", &lum::LoadedFile::main)
        .def_readonly("bytes", &lum::LoadedFile::bytes)
        .def("__repr__", [](const lum::LoadedFile& f) { return "<lum.File " + f.name + ">"; });

    py::class_<MissingUnitValue>(module, "MissingUnit", "A unit whose file could not be loaded.")
        .def_readonly("stub", &MissingUnitValue::stub, "the unit object left in the model")
        .def_readonly("unit", &MissingUnitValue::unit)
        .def_readonly("stored", &MissingUnitValue::stored, "its path as the model stores it")
        .def_readonly("resolved", &MissingUnitValue::resolved, "the path that was tried")
        .def_readonly("holder", &MissingUnitValue::holder, "the file that holds the stub")
        .def_readonly("undefined_symbol", &MissingUnitValue::undefinedSymbol)
        .def_readonly("cyclic_symbol", &MissingUnitValue::cyclicSymbol)
        .def("__repr__", [](const MissingUnitValue& m) { return "<lum.MissingUnit " + m.unit + ": " + m.resolved + ">"; });

    py::class_<ObjectHandle>(module, "Object", "One raw object of a model; keeps its model alive.")
        .def_property_readonly("keyword", [](const ObjectHandle& o) { return Utf8(o.entity->GetMetaClass().GetName()); },
                               "the class keyword (\"Class\", \"ClassAttribute\", ...)")
        .def_property_readonly("name", [](const ObjectHandle& o) { return OptionalText(lum::ClumUtilityFunctions::GetName(o.entity)); },
                               "the name, or None")
        .def_property_readonly("quid", [](const ObjectHandle& o) { return OptionalText(lum::ClumUtilityFunctions::GetQuid(o.entity)); },
                               "the quid, or None")
        .def_property_readonly("owner", [](const ObjectHandle& o) { return Wrap(o.model, o.entity->Owner()); },
                               "the object whose link holds this one; None for a file object")
        .def_property_readonly("features", &Features,
                               "the set features by name: str, int, float, bool, (x, y) for locations, lists of objects "
                               "for links, the bound object or the stored text for references")
        .def_property_readonly("children", &Children, "the objects of its links, in order")
        .def_property_readonly("path", [](const ObjectHandle& o) { return lum::Model::PathOf(o.entity); },
                               "the names of the object and its named ancestors joined by ::")
        .def("__eq__", [](const ObjectHandle& a, const py::object& b) {
            return py::isinstance<ObjectHandle>(b) && b.cast<const ObjectHandle&>().entity == a.entity;
        })
        .def("__hash__", [](const ObjectHandle& o) { return std::hash<const void*>()(o.entity); })
        .def("__repr__", [](const ObjectHandle& o) {
            return "<lum.Object " + Utf8(o.entity->GetMetaClass().GetName()) + " " + lum::Model::PathOf(o.entity) + ">";
        });

    py::class_<Walk>(module, "Walk", "A depth-first walk of a model's objects, parents before children.")
        .def("__iter__", [](Walk& walk) -> Walk& { return walk; })
        .def("__next__", &Walk::Next);

    py::class_<ModelHandle>(module, "Model", "A loaded and bound model.")
        .def_property_readonly("files", [](const ModelHandle& m) { return m.model->FilesRead(); },
                               "the files read: main files first, then unit files")
        .def_property_readonly("roots", [](const ModelHandle& m) {
            return Objects(m.model, {m.model->Files().begin(), m.model->Files().end()});
        }, "the main file objects, in the order given")
        .def_property_readonly("missing_units", [](const ModelHandle& m) {
            py::list out;
            for (const lum::MissingUnit& u : m.model->MissingUnits())
                out.append(MissingUnitValue{Wrap(m.model, u.stub), u.unit, u.stored, u.resolved, u.holder,
                                            u.undefinedSymbol, u.cyclicSymbol});
            return out;
        })
        .def_property_readonly("diagnostics", [](const ModelHandle& m) { return m.model->Diagnostics(); })
        .def_property_readonly("has_errors", [](const ModelHandle& m) { return m.model->HasErrors(); },
                               "a diagnostic of severity Error or worse, or, when strict, a missing unit")
        .def_property_readonly("code_page", [](const ModelHandle& m) { return m.model->CodePage(); })
        .def_property_readonly("seconds", [](const ModelHandle& m) { return m.model->Seconds(); }, "loading and binding")
        .def("objects", [](const ModelHandle& m) {
            return Walk{m.model, std::make_unique<lum::DepthFirst>(m.model->Files()), {}, false};
        }, "every object, depth first, parents before children, the file objects first of each file")
        .def("find", [](const ModelHandle& m, const std::string& what) { return Objects(m.model, m.model->Find(what)); },
             py::arg("what"),
             "objects by quid, qualified name (A::B::C), simple name, or a pattern with * and ? (over qualified "
             "names when it holds ::); model elements only, in walking order")
        .def("referrers", [](const ModelHandle& m, const ObjectHandle& target) {
            // One entry per referring object, in the order of their references.
            py::list out;
            py::set seen;
            for (const lum::IlumReference* reference : m.model->Referrers(target.entity)) {
                py::object owner = Wrap(m.model, reference->GetOwner());
                if (seen.contains(owner)) continue;
                seen.add(owner);
                out.append(owner);
            }
            return out;
        }, py::arg("obj"), "the objects whose references are bound to obj")
        .def("export_json", [](const ModelHandle& m, const std::filesystem::path& path, bool compact) {
            bool written = false;
            {
                py::gil_scoped_release unlocked;
                std::ofstream out(path, std::ios::binary);
                written = out && lum::json::WriteJson(*m.model, out, {compact});
            }
            if (!written) {
                PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.c_str());
                throw py::error_already_set();
            }
        }, py::arg("path"), py::arg("compact") = false,
             "writes the whole model as one JSON document (lum-export/1), as `lum export` does; raises OSError "
             "when the file cannot be written; the GIL is released while writing")
        .def("export_xmi", [](const ModelHandle& m, const std::filesystem::path& path, const std::string& flavour) {
            if (flavour != "eclipse" && flavour != "omg") throw py::value_error("flavour is 'eclipse' or 'omg'");
            bool written = false;
            {
                py::gil_scoped_release unlocked;
                std::ofstream out(path, std::ios::binary);
                const lum::xmi::Options options{flavour == "omg" ? lum::xmi::Flavour::Omg : lum::xmi::Flavour::Eclipse};
                written = out && lum::xmi::WriteXmi(lum::uml::View::Of(*m.model), out, options) && out.flush();
            }
            if (!written) {
                PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.c_str());
                throw py::error_already_set();
            }
        }, py::arg("path"), py::arg("flavour") = "eclipse",
             "writes the UML view as one XMI document, as `lum xmi` does: 'eclipse' (Eclipse UML2, .uml) or 'omg' "
             "(OMG UML 2.5.1 with the diagrams, .xmi); raises OSError when the file cannot be written; the GIL is "
             "released while writing")
        .def("export_papyrus", [](const ModelHandle& m, const std::filesystem::path& directory, py::object name) {
            std::string stem;
            if (!name.is_none()) stem = name.cast<std::string>();
            else if (!m.model->FilesRead().empty()) stem = std::filesystem::path(m.model->FilesRead().front().name).stem().string();
            if (stem.empty()) stem = "model";
            lum::papyrus::Summary summary;
            {
                py::gil_scoped_release unlocked;
                summary = lum::papyrus::Write(lum::uml::View::Of(*m.model), directory, {.name = stem});
            }
            if (!summary.ok) {
                PyErr_SetString(PyExc_OSError, summary.error.c_str());
                throw py::error_already_set();
            }
            py::dict diagrams;
            for (std::size_t kind = 0; kind < summary.diagrams.size(); ++kind)
                if (summary.diagrams[kind] != 0)
                    diagrams[lum::uml::DiagramKindName(static_cast<lum::uml::DiagramKind>(kind))] = summary.diagrams[kind];
            py::list leftOut;
            for (const lum::papyrus::LeftOut& left : summary.leftOut) leftOut.append(py::make_tuple(left.diagram, left.what, left.why));
            py::dict out;
            out["diagrams"] = diagrams;
            out["views"] = summary.views;
            out["left_out"] = leftOut;
            return out;
        }, py::arg("directory"), py::arg("name") = py::none(),
             "writes the model with its diagrams for Eclipse Papyrus, as `lum papyrus` does: NAME.uml, NAME.notation "
             "and NAME.di in the directory (NAME: the first main file's name unless given); returns the diagrams "
             "written per kind, the views, and what was left out as (diagram, what, why); raises OSError when a "
             "file cannot be written; the GIL is released while writing")
        .def("stats", [](const ModelHandle& m) { return Stats(*m.model); },
             "objects, counts per class keyword, diagrams per kind, and what became of the references")
        .def("__repr__", [](const ModelHandle& m) {
            return "<lum.Model " + (m.model->FilesRead().empty() ? std::string() : m.model->FilesRead().front().name) + ">";
        });

    module.def("load", &Load, py::arg("paths"), py::arg("codepage") = "auto", py::arg("pathmap") = py::none(),
               py::arg("symbols") = py::dict(), py::arg("search_dirs") = py::list(), py::arg("subunits") = true,
               py::arg("strict") = false,
               "Loads the main files with their unit files and binds every reference. Raises LoadError (with "
               "`diagnostics`) when a main file or path map cannot be read, or, when strict, a unit file is missing; "
               "any other problem is reported in Model.diagnostics. The GIL is released while loading.");
}

}  // namespace lumpy
