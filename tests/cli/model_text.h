#pragma once
// Builders for the small models the tool tests write: a main file whose
// logical view holds the given elements, packages kept in it or in unit
// files of their own (with the stubs that stand for them), classes.

#include <string>

namespace lumcli::test {

// The header object; without a charSet line when `charSet` is empty.
inline std::string FileHeader(const std::string& charSet = "0") {
    return "(object Vellum\n    version \t50" + (charSet.empty() ? "" : "\n    charSet \t" + charSet) + ")\n\n";
}

// A main file whose logical view holds `models`.
inline std::string MainFile(const std::string& models, const std::string& header = FileHeader()) {
    return header +
           "(object Design \"Logical View\"\n    is_unit \tTRUE\n    is_loaded \tTRUE\n    quid \t\"5D0000000001\"\n"
           "    root_category \t(object Class_Category \"Logical View\"\n\tquid \t\"5D0000000002\"\n"
           "\tlogical_models \t(list unit_reference_list\n" +
           models + "\t)\n\t))\n";
}

inline std::string ClassText(const std::string& name, const std::string& quid, const std::string& body = "") {
    return "\t    (object Class \"" + name + "\"\n\t\tquid \t\"" + quid + "\"\n" + body + "\t\t)\n";
}

inline std::string PackageText(const std::string& name, const std::string& quid, const std::string& models) {
    return "\t    (object Class_Category \"" + name + "\"\n\t\tquid \t\"" + quid +
           "\"\n\t\tlogical_models \t(list unit_reference_list\n" + models + "\t\t))\n";
}

// A package stored in a unit file at `stored` (as the model spells it).
inline std::string StubText(const std::string& name, const std::string& quid, const std::string& stored) {
    return "\t    (object Class_Category \"" + name + "\"\n\t\tis_unit \tTRUE\n\t\tis_loaded \tFALSE\n" +
           "\t\tfile_name \t\"" + stored + "\"\n\t\tquid \t\"" + quid + "\")\n";
}

inline std::string UnitFile(const std::string& name, const std::string& quid, const std::string& models) {
    return FileHeader() + "(object Class_Category \"" + name + "\"\n    is_unit \tTRUE\n    quid \t\"" + quid +
           "\"\n    logical_models \t(list unit_reference_list\n" + models + "    ))\n";
}

// A superclass reference by name and, unless empty, by the companion quid.
inline std::string SuperclassText(const std::string& quid, const std::string& supplier, const std::string& quidu) {
    return "\t\tsuperclasses \t(list inheritance_relationship_list\n\t\t    (object Inheritance_Relationship\n"
           "\t\t\tquid \t\"" + quid + "\"\n\t\t\tsupplier \t\"" + supplier + "\"" +
           (quidu.empty() ? "" : "\n\t\t\tquidu \t\"" + quidu + "\"") + "))\n";
}

inline std::string AttributeText(const std::string& name, const std::string& quid, const std::string& type) {
    return "\t\tclass_attributes \t(list class_attribute_list\n\t\t    (object ClassAttribute \"" + name +
           "\"\n\t\t\tquid \t\"" + quid + "\"\n\t\t\ttype \t\"" + type + "\"))\n";
}

}  // namespace lumcli::test
