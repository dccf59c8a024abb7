#include "publish/text.h"

#include "lum/text/utf8.h"

namespace lum::publish::detail {

std::string Utf8(const ClumIdent& ident) { return ToUtf8(std::wstring(ident.c_str(), ident.GetLength())); }

std::string Utf8(const std::wstring& text) { return ToUtf8(text); }

std::string TypeText(const uml::TypeRef& type) {
    if (type.element != nullptr && type.element->name.GetLength() != 0) return Utf8(type.element->name);
    return Utf8(type.name);
}

namespace {

std::string Sign(uml::Visibility visibility) {
    const char sign = uml::VisibilitySign(visibility);
    return sign == ' ' ? std::string() : std::string(1, sign) + ' ';
}

}  // namespace

std::string AttributeText(const uml::Property& property, bool visibility) {
    std::string text = (visibility ? Sign(property.visibility) : std::string()) + (property.isDerived ? "/" : "") + Utf8(property.name);
    if (property.type.name.GetLength() != 0) text += " : " + TypeText(property.type);
    if (property.multiplicity.IsSpecified()) text += " [" + property.multiplicity.ToString() + "]";
    if (!property.defaultValue.empty()) text += " = " + Utf8(property.defaultValue);
    return text;
}

std::string OperationText(const uml::Operation& operation, bool signature, bool visibility) {
    std::string text = (visibility ? Sign(operation.visibility) : std::string()) + Utf8(operation.name) + "(";
    if (signature) {
        bool first = true;
        for (const uml::Parameter* parameter : operation.Members<uml::Parameter>()) {
            if (!first) text += ", ";
            first = false;
            if (parameter->direction != uml::Direction::In) (text += uml::DirectionName(parameter->direction)) += ' ';
            text += Utf8(parameter->name);
            if (parameter->type.name.GetLength() != 0) text += " : " + TypeText(parameter->type);
        }
    }
    text += ")";
    if (signature && operation.returnType.name.GetLength() != 0) text += " : " + TypeText(operation.returnType);
    return text;
}

std::string Html(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default:
                // Control characters other than tab and line breaks are not allowed in HTML.
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') out += "\xEF\xBF\xBD";
                else out += c;
        }
    }
    return out;
}

}  // namespace lum::publish::detail
