#pragma once
// Builders for the small models the tool tests write: a main file with one
// design whose logical view holds the given elements, packages stored in
// unit files of their own, and the stubs that stand for them.

#include <string>

namespace lumcli::test {

inline std::string FileHeader() { return "(object Vellum\n    version \t50\n    charSet \t0)\n\n"; }

// A main file: the logical view holds `models` and `diagrams`.
inline std::string MainFile(const std::string& models, const std::string& diagrams = "") {
    std::string text = FileHeader();
    text +=
        "(object Design \"Logical View\"\n"
        "    is_unit \tTRUE\n"
        "    is_loaded \tTRUE\n"
        "    quid \t\"5D0000000001\"\n"
        "    root_category \t(object Class_Category \"Logical View\"\n"
        "\tquid \t\"5D0000000002\"\n"
        "\tlogical_models \t(list unit_reference_list\n" +
        models + "\t)\n";
    if (!diagrams.empty()) text += "\tlogical_presentations \t(list unit_reference_list\n" + diagrams + "\t)\n";
    text += "\t))\n";
    return text;
}

inline std::string ClassText(const std::string& name, const std::string& quid, const std::string& body = "") {
    return "\t    (object Class \"" + name + "\"\n\t\tquid \t\"" + quid + "\"\n" + body + "\t\t)\n";
}

// A package kept in the same file.
inline std::string PackageText(const std::string& name, const std::string& quid, const std::string& models) {
    return "\t    (object Class_Category \"" + name + "\"\n\t\tquid \t\"" + quid +
           "\"\n\t\tlogical_models \t(list unit_reference_list\n" + models + "\t\t))\n";
}

// A package stored in a unit file of its own at `storedPath` (written as
// it stands in the model, backslashes and symbols included).
inline std::string StubText(const std::string& name, const std::string& quid, const std::string& storedPath) {
    return "\t    (object Class_Category \"" + name + "\"\n\t\tis_unit \tTRUE\n\t\tis_loaded \tFALSE\n\t\tfile_name \t\"" +
           storedPath + "\"\n\t\tquid \t\"" + quid + "\")\n";
}

// The unit file of package `name`.
inline std::string UnitFile(const std::string& name, const std::string& quid, const std::string& models) {
    return FileHeader() + "(object Class_Category \"" + name + "\"\n    is_unit \tTRUE\n    quid \t\"" + quid +
           "\"\n    logical_models \t(list unit_reference_list\n" + models + "    ))\n";
}

// A superclass reference of a class, by name and by the companion quid.
inline std::string SuperclassText(const std::string& quid, const std::string& supplier, const std::string& quidu) {
    std::string text = "\t\tsuperclasses \t(list inheritance_relationship_list\n\t\t    (object Inheritance_Relationship\n"
                       "\t\t\tquid \t\"" +
                       quid + "\"\n\t\t\tsupplier \t\"" + supplier + "\"";
    if (!quidu.empty()) text += "\n\t\t\tquidu \t\"" + quidu + "\"";
    return text + "))\n";
}

inline std::string ClassDiagramText(const std::string& name, const std::string& quid) {
    return "\t    (object ClassDiagram \"" + name + "\"\n\t\tquid \t\"" + quid + "\"\n\t\ttitle \t\"" + name +
           "\"\n\t\tzoom \t100)\n";
}

}  // namespace lumcli::test
