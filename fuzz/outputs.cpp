// Fuzz target: every output of a model that loads, written into memory. The
// input is cut at lines "%%" into a main file and up to three unit files,
// written to a private directory as main.mdl, a.cat, b.cat and pkg/c.cat
// (CURDIR is that directory), and loaded as the tool loads a model. Then the
// UML view is built and written as both outlines, every diagram rendered as
// SVG and written as PlantUML, the model exported as JSON and as XMI in both
// flavours, every page of the site written, and every file object written
// back in the notation, with each unit loaded from a file of its own also
// written as that file.

#include <filesystem>
#include <sstream>

#include <lum/json/export.h>
#include <lum/reader/file_layout.h>
#include <lum/publish/plantuml.h>
#include <lum/render/svg.h>
#include <lum/traverse/depth_first.h>
#include <lum/uml/outline.h>
#include <lum/uml/presentation.h>
#include <lum/xmi/xmi.h>

#include "fuzz_support.h"
#include "publish/site_pages.h"

namespace {

namespace fs = std::filesystem;

const char* const kFileNames[] = {"main.mdl", "a.cat", "b.cat", "pkg/c.cat"};

// Each file written as saved models are laid out, and again keeping the
// layout of the file as it was read.
void WriteBack(const lum::Model& model) {
    lum::fuzz::tStringSink sink;
    for (const lum::ClumVellumFile* file : model.Files()) {
        lum::write::FileOptions options;
        options.codePage = model.CodePage();
        options.setAside = &file->setAside;
        lum::FileLayout original;
        for (const bool keep : {false, true}) {
            options.original = keep && original.Read(file->fileName.Get(), model.CodePage()) ? &original : nullptr;
            lum::write::WriteFile(*file, sink, options);
        }
        const lum::ClumVellum* header = file->version.IsEmpty() ? nullptr : file->version.Get(0);
        for (const lum::DepthFirst::Step& step : lum::DepthFirst({file})) {
            if (!step.entity->GetMetaClass().IsKindOf(&lum::ClumUnitObject::StaticGetMetaClass())) continue;
            const auto* unit = static_cast<const lum::ClumUnitObject*>(step.entity);
            if (!unit->is_loaded.Get() || unit->file_name.IsEmpty()) continue;
            lum::FileLayout unitOriginal;
            for (const bool keep : {false, true}) {
                options.original =
                    keep && unitOriginal.Read(unit->file_name.Get(), model.CodePage()) ? &unitOriginal : nullptr;
                lum::write::WriteUnitFile(header, *unit, sink, options);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lum::fuzz::tSession session(data, size);
    const fs::path& directory = lum::fuzz::ScratchDirectory();
    for (const fs::directory_entry& entry : fs::directory_iterator(directory)) fs::remove_all(entry.path());
    const std::vector<std::string_view> parts = lum::fuzz::SplitInput(session.Text(), "\n%%\n");
    for (std::size_t i = 0; i < parts.size() && i < std::size(kFileNames); ++i) {
        lum::fuzz::WriteFile(directory / kFileNames[i], parts[i]);
    }
    const lum::Model model = lum::Model::Load({(directory / kFileNames[0]).string()},
                                              {.codePage = lum::WString::GetLocalePage(), .threads = 1});
    if (!model) return 0;

    std::ostringstream out;
    const lum::uml::View& view = lum::uml::View::Of(model);
    lum::uml::WriteOutline(view, out);
    lum::uml::WriteOutlineJson(view, out);
    std::vector<const lum::uml::Diagram*> diagrams;
    for (const lum::uml::Element* element : view.All(lum::uml::Kind::Diagram)) {
        const auto* diagram = lum::uml::As<lum::uml::Diagram>(element);
        diagrams.push_back(diagram);
        lum::render::WriteSvg(*diagram, out);
        if (lum::publish::HasPlantUml(*diagram)) lum::publish::WritePlantUml(*diagram, out);
        out.str({});
    }
    lum::uml::FileStems(diagrams);
    lum::json::WriteJson(model, out, {.threads = 1});
    lum::xmi::WriteXmi(view, out, {.flavour = lum::xmi::Flavour::Eclipse});
    lum::xmi::WriteXmi(view, out, {.flavour = lum::xmi::Flavour::Omg});
    out.str({});
    const lum::publish::detail::tSiteIndex site(model);
    lum::publish::detail::WriteHome(site, out);
    for (std::size_t page = 0; page < site.pages.size(); ++page) {
        lum::publish::detail::WritePage(site, static_cast<long>(page), out);
        out.str({});
    }
    WriteBack(model);
    return 0;
}
