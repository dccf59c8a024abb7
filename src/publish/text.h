#pragma once
// Texts of the UML view as the publishing writers need them: UTF-8, the
// written type of a typed thing, and the one-line forms of attributes and
// operations that both the site and the PlantUML files show.

#include <string>
#include <string_view>

#include "lum/uml/elements.h"

namespace lum::publish::detail {

std::string Utf8(const ClumIdent& ident);
std::string Utf8(const std::wstring& text);
// The bound element's name, else the text as written.
std::string TypeText(const uml::TypeRef& type);
// "- name : Type [0..1] = value" (visibility sign only when specified and asked for).
std::string AttributeText(const uml::Property& property, bool visibility = true);
// "+ name(a : T, inout b : U) : R"; without parameters and result unless `signature`.
std::string OperationText(const uml::Operation& operation, bool signature, bool visibility = true);
// Text for HTML element content and attribute values: & < > " ' escaped.
std::string Html(std::string_view utf8);

}  // namespace lum::publish::detail
