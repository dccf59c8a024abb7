#pragma once
// What a symbol shows: the texts of the UML view as the drawing tool set them
// on its diagrams (the real models' pictures are the reference), in UTF-8, for
// every output: pictures, site pages, PlantUML, XMI, the outline and the diff.
// Outputs only escape them or wrap them in their own markup. Visibility, where
// it is text, is UML's signs (+ # - ~); PlantUML reads the same signs as its
// visibility characters, so no output needs another set.

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lum/export.h"
#include "lum/uml/elements.h"

LUM_API_BEGIN
namespace lum::uml {

// A stored text as the tool shows it: UTF-8, without the backslash a file
// keeps in front of a quote or a backslash in a string.
std::string ShownText(std::wstring_view stored);
// The same of an identifier (a template, so that wide strings, which convert
// to an identifier too, take the overload above).
template <std::same_as<ClumIdent> Ident>
std::string ShownText(const Ident& stored) {
    return ShownText(stored.View());
}
// The shown name, or for an unnamed element its kind ("initial", "decision",
// "transition", ...): how the outline and the diff name it.
std::string NameOrKind(const Element& element);
// The name of a type: the bound element's name, else the text as written.
std::string TypeText(const TypeRef& type);
// The multiplicity as written ("0..n" stays "0..n"); empty when unspecified.
std::string MultiplicityText(const Multiplicity& multiplicity);
// The sign and a space ("+ ") that text outputs write before a member;
// empty when unspecified. Diagrams show visibility as an icon instead.
std::string VisibilityPrefix(Visibility visibility);
// "<<name>>", as the tool writes a stereotype, of a shown name (one already
// between << and >> stays as it is); empty for an empty name.
std::string StereotypeText(std::string_view name);

// "/name : Type[0..*] = initial": an attribute as its class shows it, with no
// visibility sign. The multiplicity stands as written, right after the type,
// where the file keeps it inside the type text.
std::string AttributeText(const Property& property);

// How much of an operation's signature its text shows.
enum class Signature : std::uint8_t {
    Hidden,    // "name()": a class view that does not show signatures
    Shown,     // "name(a : T, b : U) : R": the tool's class symbols
    Complete,  // "name(inout a : T = 1) : R": directions and default values too (outline, site)
};

// A text in parts, each with the element it names (the bound type of a
// parameter or result), null for the rest: what an output links.
struct TextPart {
    std::string text;
    const Element* element = nullptr;
};

// An operation, with no visibility sign (as AttributeText).
std::vector<TextPart> OperationParts(const Operation& operation, Signature signature);
std::string OperationText(const Operation& operation, Signature signature);
// "event(parameters)".
std::string EventText(const ClumIdent& event, const WString& parameters);
// "^target.event(parameters)": a sent event.
std::string SendText(const WString& target, const ClumIdent& event, const WString& parameters);
// "[ condition ]", as the tool writes guards (the pictures: a space inside
// the brackets); empty for none.
std::string GuardText(const WString& condition);
// What an action does, as its text shows it after the slash: "act", or
// "^target.act" for a sent event.
std::string ActionExpression(const Action& action);
// "entry/ act", "exit/ act", "do/ act", "event name [ condition ]/ ^target.act"
// (the pictures: "event e/" where the action has no name).
std::string ActionText(const Action& action);
// "event(parameters) [ guard ] / action ^target.send(parameters)"; the
// transition's name where it has none of these.
std::string TransitionText(const Transition& transition);

// The shown names of the element and its named owners, top down, joined by
// `separator`; the model packages are left out.
std::string QualifiedName(const Element& element, std::string_view separator = "::");
// A file name without extension for each diagram, in order: its qualified
// name with '.' between the names, every character other than letters,
// digits, '-', '.' and UTF-8 beyond ASCII as '_', at most 120 bytes, and
// "-2", "-3", ... appended where two would be the same (they may still be
// the same but for case).
std::vector<std::string> FileStems(const std::vector<const Diagram*>& diagrams);

}  // namespace lum::uml
LUM_API_END
