#pragma once
// XMI export of the UML view: the whole model as one UML document that UML
// tools load. Two flavours: Eclipse UML2 5.x (`.uml`, root uml:Model) and
// OMG UML 2.5.1 (`.xmi`, root xmi:XMI, with the diagrams as UMLDI). The
// document is written straight to the stream while the view is walked (with
// its own stack, so models of any depth are written). Every element's
// xmi:id comes from its quid or from its place under an element that has
// one, so two exports of one model are the same bytes. Texts are escaped;
// characters XML cannot hold become U+FFFD.

#include "lum/export.h"

#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>

#include "lum/uml/view.h"

LUM_API_BEGIN
namespace lum::xmi {

enum class Flavour { Eclipse, Omg };
const char* FlavourName(Flavour flavour);  // "eclipse", "omg"
const char* FileExtension(Flavour flavour);  // ".uml", ".xmi"

struct Options {
    Flavour flavour = Flavour::Eclipse;
};

// Writes the view as one XMI document; false when the stream failed.
bool WriteXmi(const uml::View& view, std::ostream& out, const Options& options = {});

// What an export wrote, for files that point into the document: each
// element written with its xmi:id and metaclass ("uml:Class"; an
// association written as its association class answers that class), and the
// model written as the document's root.
struct Written {
    std::string id;
    std::string_view type;  // a literal, valid for the program's life
};
struct WrittenIndex {
    std::unordered_map<const uml::Element*, Written> elements;
    std::unordered_map<const uml::Element*, std::string> regions;  // the id of a state machine's region
    // The execution specification each focus of control of a sequence diagram was written as.
    std::unordered_map<const ClumDiagramItem*, std::string> executions;
    Written root;
};

// WriteXmi that also fills `index` with what it wrote.
bool WriteXmi(const uml::View& view, std::ostream& out, const Options& options, WrittenIndex& index);

}  // namespace lum::xmi
LUM_API_END
