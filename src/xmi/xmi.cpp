#include "lum/xmi/xmi.h"

#include "xmi/exporter.h"

namespace lum::xmi {

const char* FlavourName(Flavour flavour) { return flavour == Flavour::Omg ? "omg" : "eclipse"; }

const char* FileExtension(Flavour flavour) { return flavour == Flavour::Omg ? ".xmi" : ".uml"; }

bool WriteXmi(const uml::View& view, std::ostream& out, const Options& options) {
    detail::tExporter exporter(view, out, options.flavour);
    exporter.Run();
    return exporter.Good() && out.flush().good();
}

bool WriteXmi(const uml::View& view, std::ostream& out, const Options& options, WrittenIndex& index) {
    detail::tExporter exporter(view, out, options.flavour);
    exporter.Record();
    exporter.Run();
    exporter.Index(index);
    return exporter.Good() && out.flush().good();
}

}  // namespace lum::xmi
