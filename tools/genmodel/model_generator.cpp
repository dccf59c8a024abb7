#include "model_generator.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

#include "diagram_writer.h"
#include "model_context.h"
#include "package_writer.h"
#include "usecase_writer.h"
#include "vocabulary.h"

namespace genmodel {

namespace {

namespace fs = std::filesystem;

// Use case packages per byte of model: about one per 2.5 MB.
constexpr std::size_t kBytesPerUseCasePackage = 2'500'000;
// Packages shown on one overview diagram of the root category.
constexpr int kPackagesPerOverview = 40;

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

class tMainWriter {
public:
    tMainWriter(tModelContext& context, tNotationWriter& out) : m_context(context), m_random(context.random), m_out(out) {}

    void Write() {
        WriteFileHeader(m_out);
        m_out.Line(0, "(object Design \"Logical View\"");
        m_out.Bool(1, "is_unit", true);
        m_out.Bool(1, "is_loaded", true);
        m_out.Quoted(1, "quid", m_context.NewQuid());
        m_out.Bool(1, "enforceClosureAutoLoad", false);
        Defaults();
        UseCaseView();
        LogicalView();
        ComponentView();
        DeploymentView();
        Properties();
        m_out.Close();
        m_out.Append("\n");
    }

private:
    std::string UniqueName(const std::string& base) {
        const int seen = m_names[base]++;
        return seen == 0 ? base : base + " " + std::to_string(seen + 1);
    }

    void Defaults() {
        m_out.ObjectFeature(1, "defaults", "defaults");
        for (const char* margin : {"rightMargin", "leftMargin", "topMargin"}) m_out.Feature(2, margin, "0.250000");
        m_out.Feature(2, "bottomMargin", "0.500000");
        m_out.Feature(2, "pageOverlap", "0.250000");
        m_out.Bool(2, "clipIconLabels", true);
        m_out.Bool(2, "autoResize", true);
        m_out.Bool(2, "snapToGrid", true);
        m_out.Number(2, "gridX", 16);
        m_out.Number(2, "gridY", 16);
        m_out.ObjectFeature(2, "defaultFont", "Font");
        m_out.Number(3, "size", 10);
        m_out.Quoted(3, "face", "Sans");
        for (const char* flag : {"bold", "italics", "underline", "strike"}) m_out.Bool(3, flag, false);
        m_out.Number(3, "color", 0);
        m_out.Bool(3, "default_color", true);
        m_out.Close();
        m_out.Number(2, "showMessageNum", 1);
        m_out.Bool(2, "showClassOfObject", true);
        m_out.Quoted(2, "notation", "Unified");
        m_out.Close();
    }

    void UseCaseView() {
        const tElement root{"Use Case View", "Use Case View", m_context.NewQuid()};
        m_out.ObjectFeature(1, "root_usecase_package", "Class_Category \"Use Case View\"");
        m_out.Quoted(2, "quid", root.quid);
        m_out.Quoted(2, "exportControl", "Public");
        m_out.Bool(2, "global", true);
        m_out.ListFeature(2, "logical_models", "unit_reference_list");
        std::vector<tElement> packages;
        const std::size_t count = 1 + m_context.TargetBytes() / kBytesPerUseCasePackage;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string name = UniqueName(PackageName(m_random) + " use cases");
            const std::string stem = FileStem(name);
            tPackagePlace place{{name, root.path + "::" + name, m_context.NewQuid()}, "usecases/" + stem + ".cat",
                                "$USECASES\\" + stem + ".cat", 0};
            WriteUseCasePackage(m_context, m_out, 3, place);
            packages.push_back(place.element);
        }
        m_out.Close();
        m_out.ListFeature(2, "logical_presentations", "unit_reference_list");
        int labels = 1;
        tDiagramWriter diagram(m_out, m_random, labels);
        diagram.BeginDiagram(3, "UseCaseDiagram", "Main", m_context.NewQuid());
        int n = 0;
        for (const tElement& package : packages) {
            diagram.CategoryView(package.path, package.name, package.quid, {240 + 400 * (n % 5), 200 + 300 * (n / 5)});
            ++n;
        }
        diagram.EndDiagram();
        m_out.Close(2);
    }

    void LogicalView() {
        m_root = {"Logical View", "Logical View", m_context.NewQuid()};
        m_subsystemQuid = m_context.NewQuid();
        m_out.ObjectFeature(1, "root_category", "Class_Category \"Logical View\"");
        m_out.Quoted(2, "quid", m_root.quid);
        m_out.Quoted(2, "exportControl", "Public");
        m_out.Bool(2, "global", true);
        m_out.Quoted(2, "subsystem", "Component View");
        m_out.Quoted(2, "quidu", m_subsystemQuid);
        m_out.ListFeature(2, "logical_models", "unit_reference_list");
        const tPackagePlace types{{"Foundation Types", "Logical View::Foundation Types", m_context.NewQuid()},
                                  "types/foundation_types.cat", "$MODELDIR\\types\\foundation_types.cat", 0};
        WriteTypesPackage(m_context, m_out, 3, types);
        while (!m_context.Full()) {
            const std::string name = UniqueName(PackageName(m_random));
            const std::string stem = FileStem(name);
            tPackagePlace place{{name, m_root.path + "::" + name, m_context.NewQuid()},
                                "packages/" + stem + "/" + stem + ".cat", "$PACKAGES\\" + stem + "\\" + stem + ".cat", 0};
            m_context.packages.push_back(place.element);
            WriteLogicalPackage(m_context, m_out, 3, place);
        }
        m_out.Close();
        m_out.ListFeature(2, "logical_presentations", "unit_reference_list");
        Overviews();
        m_out.Close(2);
    }

    // Class diagrams of the root category: the top-level packages, so many
    // to a diagram, with the imports between those on the same diagram.
    void Overviews() {
        const int count = static_cast<int>(m_context.packages.size());
        int labels = 1;
        for (int first = 0; first < count; first += kPackagesPerOverview) {
            tDiagramWriter diagram(m_out, m_random, labels);
            const int end = std::min(count, first + kPackagesPerOverview);
            diagram.BeginDiagram(3, "ClassDiagram", first == 0 ? "Main" : "Packages " + std::to_string(first / kPackagesPerOverview + 1),
                                 m_context.NewQuid());
            std::map<int, std::pair<int, tPoint>> views;
            for (int p = first; p < end; ++p) {
                const tElement& package = m_context.packages[static_cast<std::size_t>(p)];
                const tPoint at{240 + 420 * ((p - first) % 6), 200 + 320 * ((p - first) / 6)};
                views[p] = {diagram.CategoryView(package.path, package.name, package.quid, at), at};
            }
            for (const tVisibility& v : m_context.visibilities) {
                const auto client = views.find(v.client), supplier = views.find(v.supplier);
                if (client == views.end() || supplier == views.end()) continue;
                diagram.RelationLine("ImportView", v.quid, client->second.first, client->second.second,
                                     supplier->second.first, supplier->second.second);
            }
            diagram.EndDiagram();
        }
    }

    void ComponentView() {
        m_out.ObjectFeature(1, "root_subsystem", "SubSystem \"Component View\"");
        m_out.Quoted(2, "quid", m_subsystemQuid);
        m_out.Quoted(2, "category", "Logical View");
        m_out.Quoted(2, "quidu", m_root.quid);
        m_out.ListFeature(2, "physical_models", "unit_reference_list");
        for (const tElement& package : m_context.packages) {
            m_out.Line(3, "(object module ");
            m_out.Append(Quote(package.name));
            m_out.Append(" \"NotAModuleType\" \"NotAModulePart\"");
            m_out.Quoted(4, "quid", m_context.NewQuid());
            m_out.Quoted(4, "language", "C++");
            m_out.Close();
        }
        m_out.Close(2);
    }

    void DeploymentView() {
        m_out.ObjectFeature(1, "process_structure", "Processes \"Deployment View\"");
        m_out.Quoted(2, "quid", m_context.NewQuid());
        m_out.Key(2, "ProcsNDevs");
        m_out.Append("(list");
        for (int i = 1; i <= 4; ++i) {
            m_out.Line(3, "(object Processor ");
            m_out.Append(Quote("Server " + std::to_string(i)));
            m_out.Quoted(4, "quid", m_context.NewQuid());
            m_out.Quoted(4, "characteristics", "Backed up every night; 2 \x96 4 cores.");
            m_out.Quoted(4, "scheduling", "Preemptive");
            m_out.Close();
        }
        m_out.Close(2);
    }

    // The model-wide property sets, one per tool, some with nested sets.
    void Properties() {
        m_out.ObjectFeature(1, "properties", "Properties");
        m_out.ListFeature(2, "attributes", "Attribute_Set");
        for (const char* tool : {"Codegen", "Schema", "Docs"}) {
            for (int i = 0; i < 12; ++i) {
                m_out.Line(3, "(object Attribute");
                m_out.Quoted(4, "tool", tool);
                m_out.Quoted(4, "name", "setting" + std::to_string(i));
                if (i % 4 == 3) {
                    m_out.ListFeature(4, "value", "Attribute_Set");
                    for (int j = 0; j < 3; ++j) {
                        m_out.Line(5, "(object Attribute");
                        m_out.Quoted(6, "tool", tool);
                        m_out.Quoted(6, "name", "option" + std::to_string(j));
                        m_out.Feature(6, "value", j == 0 ? "TRUE" : j == 1 ? "(value Text \"h\")" : "\"default\"");
                        m_out.Close();
                    }
                    m_out.Close();
                } else {
                    m_out.Feature(4, "value", i % 2 == 0 ? "TRUE" : "\"value\"");
                }
                m_out.Close();
            }
        }
        m_out.Close();
        m_out.Quoted(2, "quid", m_context.NewQuid());
        m_out.Close();
    }

    tModelContext& m_context;
    tRandom& m_random;
    tNotationWriter& m_out;
    std::map<std::string, int> m_names;
    tElement m_root;
    std::string m_subsystemQuid;
};

}  // namespace

tGenerateResult GenerateModel(const tGenerateOptions& options) {
    const fs::path directory(options.directory);
    fs::create_directories(directory);
    tGenerateResult result;
    std::vector<tModelFile> files;  // kept to be edited before they are written
    tModelContext context(options.seed, options.bytes, options.singleFile,
                          [&](const std::string& path, const std::string& text) {
                              if (options.edits > 0) files.push_back({path, text, nullptr});
                              else WriteFile(directory / path, text);
                              result.bytes += text.size();
                          });
    std::string text;
    context.Open(text);
    tNotationWriter out(text);
    tMainWriter(context, out).Write();
    result.bytes += text.size();
    if (options.edits > 0) {
        files.push_back({"model.mdl", std::move(text), nullptr});
        for (tModelFile& file : files) file.tree = std::make_unique<tNotationTree>(file.text);
        result.changes = ApplyEdits(files, context.unitPackages, options.edits, options.seed);
        result.bytes = 0;
        for (tModelFile& file : files) {
            file.tree.reset();
            WriteFile(directory / file.path, file.text);
            result.bytes += file.text.size();
        }
    } else {
        WriteFile(directory / "model.mdl", text);
    }
    WriteFile(directory / "model.map", "MODELDIR=&\nPACKAGES=$MODELDIR\\packages\nUSECASES=$MODELDIR\\usecases\n");
    result.unitFiles = context.UnitFiles();
    result.classes = static_cast<int>(context.classes.size());
    result.packages = static_cast<int>(context.packages.size());
    return result;
}

}  // namespace genmodel
