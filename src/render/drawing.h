#pragma once
// What the painter's files share: tests of a raw item's class, the texts of
// elements, and the ends of lines.

#include <string>

#include "lum/uml/elements.h"
#include "render/canvas.h"

namespace lum::render::detail {

template <class T>
const T* AsRaw(const ClumVellumEntity* object) {
    return object != nullptr && object->GetMetaClass().IsKindOf(&T::StaticGetMetaClass()) ? static_cast<const T*>(object)
                                                                                           : nullptr;
}

std::wstring Wide(const ClumIdent& ident);
std::wstring NameOf(const uml::Element* element);
// «name»; a text already written with << >> gets guillemets instead.
std::wstring Guillemets(const ClumIdent& stereotype);
// The written type: the bound element's name, else the text.
std::wstring TypeText(const uml::TypeRef& type);

double Length(tPoint a, tPoint b);
// The unit vector from `from` towards `tip`; false when they coincide.
bool Direction(tPoint from, tPoint tip, tPoint& unit);

enum class tEnd { OpenArrow, HollowTriangle, FilledTriangle, HollowDiamond, FilledDiamond };
// The shape at `tip` of a line arriving from `from`.
void DrawEnd(tCanvas& canvas, tPoint from, tPoint tip, tEnd end, const std::string& stroke);

// The lowest point of the messages and activations of a sequence diagram; -kFar when it has none.
double LowestInteraction(const ClumDiagram& diagram);

inline constexpr const char* kDashed = " stroke-dasharray=\"6,4\"";

}  // namespace lum::render::detail
