#pragma once
// Diagrams as PlantUML text. A class, use-case, component or deployment
// diagram becomes a description diagram, a state or activity diagram a
// state diagram; each holds only the elements the diagram shows, with the
// stereotypes, attributes and operations its class symbols show,
// associations with role names and multiplicities, relationships,
// transitions and notes. Every element is declared under an alias (E1,
// E2, ...) with its name quoted, and model texts are escaped so that
// PlantUML shows them as text: quotes, angle brackets, ampersands, braces,
// tildes, backslashes, doubled markup characters and line breaks.

#include "lum/export.h"

#include <ostream>
#include <string>
#include <string_view>

#include "lum/uml/elements.h"

LUM_API_BEGIN
namespace lum::publish {

// True for the kinds written: class, use case, state, activity, component, deployment.
bool HasPlantUml(const uml::Diagram& diagram);
// Writes one @startuml ... @enduml document for the diagram; false when the stream failed.
bool WritePlantUml(const uml::Diagram& diagram, std::ostream& out);
// A UTF-8 model text as PlantUML shows it literally inside a quoted name or label.
std::string PlantUmlText(std::string_view utf8);

}  // namespace lum::publish
LUM_API_END
