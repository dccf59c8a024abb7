#include "lum/papyrus/papyrus.h"

#include <fstream>

#include "lum/xmi/xmi.h"
#include "papyrus/notation.h"

namespace lum::papyrus {

namespace {

// The header Papyrus writes for every model of its UML architecture.
constexpr char kDi[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<architecture:ArchitectureDescription xmi:version=\"2.0\" xmlns:xmi=\"http://www.omg.org/XMI\" "
    "xmlns:architecture=\"http://www.eclipse.org/papyrus/infra/core/architecture\" "
    "contextId=\"org.eclipse.papyrus.infra.services.edit.TypeContext\"/>\n";

}  // namespace

Summary Write(const uml::View& view, const std::filesystem::path& directory, const Options& options) {
    const std::string& name = options.name;
    Summary summary;
    const auto failed = [&summary](const std::filesystem::path& path) {
        summary.ok = false;
        summary.error = "cannot write " + path.string();
        return summary;
    };
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    const std::filesystem::path uml = directory / (name + ".uml"), notation = directory / (name + ".notation"),
                                di = directory / (name + ".di");
    xmi::WrittenIndex index;
    {
        std::ofstream file(uml, std::ios::binary);
        if (!file || !xmi::WriteXmi(view, file, {.flavour = xmi::Flavour::Eclipse}, index)) return failed(uml);
        file.close();
        if (!file) return failed(uml);
    }
    {
        std::ofstream file(notation, std::ios::binary);
        if (!file) return failed(notation);
        detail::tNotation writer(file, index, uml.filename().string(), summary);
        for (const uml::Element* diagram : view.All(uml::Kind::Diagram)) writer.Diagram(static_cast<const uml::Diagram&>(*diagram));
        if (!writer.Finish()) return failed(notation);
        file.close();
        if (!file) return failed(notation);
    }
    {
        std::ofstream file(di, std::ios::binary);
        file << kDi;
        file.close();
        if (!file) return failed(di);
    }
    return summary;
}

}  // namespace lum::papyrus
