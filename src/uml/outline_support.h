#pragma once
// Texts shared by the outline writers.

#include <string>
#include <vector>

#include "lum/text/utf8.h"
#include "lum/uml/elements.h"

namespace lum::uml::detail {

inline std::string Text(const ClumIdent& ident) { return ToUtf8(std::wstring(ident.c_str(), ident.GetLength())); }

// The element's own name where the reference is bound, else the text written.
inline std::string TypeText(const TypeRef& type) {
    if (type.element != nullptr && type.element->name.GetLength() != 0) return Text(type.element->name);
    return Text(type.name);
}

// "in p : T = d, out q : U"; the direction only where it is not "in".
inline std::string ParameterList(const Operation& operation) {
    std::vector<std::string> parameters;
    for (const Parameter* parameter : operation.Members<Parameter>()) {
        std::string text;
        if (parameter->direction != Direction::In) text += std::string(DirectionName(parameter->direction)) + " ";
        text += Text(parameter->name);
        if (parameter->type.name.GetLength() != 0) text += " : " + TypeText(parameter->type);
        if (!parameter->defaultValue.empty()) text += " = " + ToUtf8(parameter->defaultValue);
        parameters.push_back(text);
    }
    return Join(parameters, ", ");
}

}  // namespace lum::uml::detail
