// Throughput of the Vellum notation reader.
//
// About 100 MB of model text is generated once, in memory and always the
// same: packages of classes with quoted names, quids, integer and boolean
// features, documentation in bar strings and quoted strings (some of it
// non-ASCII), attribute and operation lists, and class diagrams whose views
// carry locations as tuples, fonts, labels and "Points" lists.
//
// Benchmarks:
//   ScanMemchr, ScanCount   plain scans of the same bytes, as a baseline
//   TokenizeMemory          the whole reading loop with a reader that does
//                           nothing with its events, from a zero-copy buffer
//   TokenizeFile            the same from a temporary file (binary ifstream)
// Each reports bytes processed, so the output shows the rate per second.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <random>
#include <streambuf>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "lum/reader/vellum_lexer.h"
#include "lum/reader/vellum_reader.h"

namespace {

constexpr std::size_t kTargetSize = 100u * 1000u * 1000u;

std::string Cat(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (std::string_view part : parts) out += part;
    return out;
}

std::string Tuple(int x, int y) { return Cat({"(", std::to_string(x), ", ", std::to_string(y), ")"}); }

class tModelWriter {
public:
    std::string Build(std::size_t target) {
        m_out.reserve(target + target / 16);
        Header();
        while (m_out.size() < target) Package();
        Line(0, "\t    )))");  // closes the package list, the root category and the design
        return std::move(m_out);
    }

private:
    // The engine's sequence is fixed by the standard, so the text is the
    // same everywhere.
    std::uint32_t Next() { return static_cast<std::uint32_t>(m_random()); }
    int Pick(int below) { return static_cast<int>(Next() % static_cast<std::uint32_t>(below)); }

    std::string Quid() {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%06X%06X", Next() & 0xFFFFFF, Next() & 0xFFFFFF);
        return Cat({"\"", buffer, "\""});
    }
    std::string Bool() { return Pick(2) ? "TRUE" : "FALSE"; }

    void Line(int tabs, const std::string& text) {
        m_out.append(static_cast<std::size_t>(tabs), '\t');
        m_out += text;
        m_out += '\n';
    }
    void Feature(int tabs, const char* name, const std::string& value) {
        m_out.append(static_cast<std::size_t>(tabs), '\t');
        m_out += name;
        m_out += " \t";
        m_out += value;
        m_out += '\n';
    }

    // Documentation of a few bar lines, now and then with accented letters.
    void BarDocumentation(int tabs, const std::string& subject) {
        Line(tabs, "documentation \t");
        static const char* const kSentences[] = {
            "keeps the state of one %s between two saves.",
            "is created by the factory and owned by its container (see %s).",
            "holds the r\xC3\xA9sum\xC3\xA9 of a %s; na\xC3\xAFve readers copy it.",
            "may be empty; then the %s uses the defaults of the model.",
            "is written as \"%s\" in exported files, with quotes.",
        };
        const int lines = 1 + Pick(4);
        for (int i = 0; i < lines; ++i) {
            char buffer[160];
            std::snprintf(buffer, sizeof buffer, kSentences[Pick(5)], subject.c_str());
            m_out += "|The ";
            m_out += subject;
            m_out += ' ';
            m_out += buffer;
            m_out += '\n';
        }
        if (Pick(3) == 0) m_out += '\n';
    }

    void Header() {
        Line(0, "(object Vellum");
        Feature(1, "version", "47");
        Feature(1, "_written", "\"lum benchmark generator\"");
        Feature(1, "charSet", "0)");
        Line(0, "");
        Line(0, "(object Design \"Logical View\"");
        Feature(1, "is_unit", "TRUE");
        Feature(1, "is_loaded", "TRUE");
        Feature(1, "quid", Quid());
        Feature(1, "defaults", "(object defaults");
        Feature(2, "rightMargin", "0.250000");
        Feature(2, "leftMargin", "0.250000");
        Feature(2, "showGrid", "TRUE");
        Feature(2, "gridX", "16)");
        Feature(1, "root_category", "(object Class_Category \"Logical View\"");
        Feature(2, "quid", Quid());
        Feature(2, "exportControl", "\"Public\"");
        Feature(2, "logical_models", "(list unit_reference_list");
    }

    void Package() {
        const int index = m_nPackages++;
        const std::string name = Cat({"Package ", std::to_string(index)});
        Line(3, Cat({"(object Class_Category \"", name, "\""}));
        Feature(4, "quid", Quid());
        BarDocumentation(4, "package");
        Feature(4, "exportControl", "\"Public\"");
        Feature(4, "logical_models", "(list unit_reference_list");
        const int classes = 8 + Pick(16);
        std::vector<std::string> classNames;
        for (int c = 0; c < classes; ++c) {
            classNames.push_back(Cat({"Class_", std::to_string(index), "_", std::to_string(c)}));
            Class(classNames.back());
        }
        Line(4, ")");
        Feature(4, "logical_presentations", "(list unit_reference_list");
        Diagram(name, classNames);
        Line(4, "))");
    }

    void Class(const std::string& name) {
        Line(5, Cat({"(object Class \"", name, "\""}));
        Feature(6, "quid", Quid());
        BarDocumentation(6, "class");
        Feature(6, "exportControl", "\"Public\"");
        Feature(6, "abstract", Bool());
        const int attributes = Pick(5);
        if (attributes > 0) {
            Feature(6, "class_attributes", "(list class_attribute_list");
            for (int a = 0; a < attributes; ++a) {
                Line(7, Cat({"(object ClassAttribute \"attribute", std::to_string(a), "\""}));
                Feature(8, "quid", Quid());
                Feature(8, "type", Pick(2) ? "\"Integer\"" : "\"String\"");
                Feature(8, "initv", Cat({"\"", std::to_string(Pick(1000)), "\""}));
                Feature(8, "static", Bool());
                Feature(8, "exportControl", "\"Private\")");
            }
            Line(6, ")");
        }
        const int operations = Pick(4);
        if (operations > 0) {
            Feature(6, "operations", "(list Operations");
            for (int o = 0; o < operations; ++o) {
                Line(7, Cat({"(object Operation \"operation", std::to_string(o), "\""}));
                Feature(8, "quid", Quid());
                Feature(8, "documentation", Cat({"\"Computes the caf\xC3\xA9 total; see \\\"", name, "\\\".\""}));
                Feature(8, "parameters", "(list Parameters");
                Line(9, "(object Parameter \"value\"");
                Feature(10, "quid", Quid());
                Feature(10, "type", "\"Integer\"))");
                Feature(8, "result", "\"Integer\"");
                Feature(8, "concurrency", "\"Sequential\"");
                Feature(8, "opExportControl", "\"Public\"");
                Feature(8, "uid", Cat({std::to_string(Next() % 100000), ")"}));
            }
            Line(6, ")");
        }
        Feature(6, "language", "\"C++\")");
    }

    void Diagram(const std::string& packageName, const std::vector<std::string>& classNames) {
        Line(5, "(object ClassDiagram \"Main\"");
        Feature(6, "quid", Quid());
        Feature(6, "title", "\"Main\"");
        Feature(6, "zoom", "100");
        Feature(6, "max_height", "28350");
        Feature(6, "max_width", "21600");
        Feature(6, "origin_x", "0");
        Feature(6, "origin_y", "0");
        Feature(6, "items", "(list diagram_item_list");
        int label = 1;
        std::vector<int> views;
        for (const std::string& name : classNames) {
            const int x = 100 + Pick(2000), y = 100 + Pick(1500);
            views.push_back(label);
            Line(7, Cat({"(object ClassView \"Class\" \"Logical View::", packageName, "::", name, "\" @",
                         std::to_string(label)}));
            Feature(8, "ShowCompartmentStereotypes", "TRUE");
            Feature(8, "IncludeAttribute", Bool());
            Feature(8, "location", Tuple(x, y));
            Feature(8, "font", "(object Font");
            Feature(9, "size", "10");
            Feature(9, "face", "\"Sans\"");
            Feature(9, "bold", "FALSE");
            Feature(9, "italics", "FALSE");
            Feature(9, "color", "0");
            Feature(9, "default_color", "TRUE)");
            Feature(8, "label", "(object ItemLabel");
            Feature(9, "Parent_View", Cat({"@", std::to_string(label)}));
            Feature(9, "location", Tuple(x - 110, y - 80));
            Feature(9, "fill_color", "13434879");
            Feature(9, "nlines", "1");
            Feature(9, "max_width", "230");
            Feature(9, "justify", "0");
            Feature(9, "label", Cat({"\"", name, "\")"}));
            Feature(8, "icon_style", "\"Icon\"");
            Feature(8, "fill_color", "16777215");
            Feature(8, "quidu", Quid());
            Feature(8, "width", "248");
            Feature(8, "height", std::to_string(120 + Pick(100)));
            Feature(8, "autoResize", "TRUE)");
            ++label;
        }
        for (std::size_t i = 1; i < views.size(); ++i) {
            Line(7, Cat({"(object AttachView \"\" @", std::to_string(label++)}));
            Feature(8, "line_color", "3342489");
            Feature(8, "quidu", Quid());
            Feature(8, "client", Cat({"@", std::to_string(views[i])}));
            Feature(8, "supplier", Cat({"@", std::to_string(views[Pick(static_cast<int>(i))])}));
            m_out.append(8, '\t');
            m_out += "vertices \t(list Points";
            const int points = 2 + Pick(3);
            for (int p = 0; p < points; ++p) {
                m_out += "\n\t\t\t\t\t\t\t\t\t";
                m_out += Tuple(Pick(3000), Pick(2000));
            }
            m_out += ")\n";
            Feature(8, "line_style", "0)");
        }
        Line(6, "))");
    }

    std::string m_out;
    std::mt19937 m_random{20240601u};
    int m_nPackages = 0;
};

const std::string& Model() {
    static const std::string model = tModelWriter().Build(kTargetSize);
    return model;
}

// A get area set over existing bytes: the stream reads them without a copy.
class tMemoryBuffer : public std::streambuf {
public:
    tMemoryBuffer(const char* data, std::size_t size) {
        char* begin = const_cast<char*>(data);
        setg(begin, begin, begin + size);
    }
};

// Receives every event and does nothing with it.
class tNullReader final : public lum::tVellumReader {
protected:
    void OnConstruct(const lum::WString&, const lum::WString&, const std::vector<lum::WString>&) override {}
    void OnClose() override {}
    void OnFeature(const lum::WString&, const lum::WString&, bool) override {}
};

void SetThroughput(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(Model().size()));
    state.counters["MB"] = static_cast<double>(Model().size()) / 1e6;
}

void ScanMemchr(benchmark::State& state) {
    const std::string& model = Model();
    for (auto _ : state) {
        std::size_t lines = 0;
        const char* p = model.data();
        const char* end = p + model.size();
        while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr) {
            ++lines;
            ++p;
        }
        benchmark::DoNotOptimize(lines);
    }
    SetThroughput(state);
}
BENCHMARK(ScanMemchr)->Unit(benchmark::kMillisecond);

void ScanCount(benchmark::State& state) {
    const std::string& model = Model();
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::count(model.begin(), model.end(), '('));
    }
    SetThroughput(state);
}
BENCHMARK(ScanCount)->Unit(benchmark::kMillisecond);

void TokenizeMemory(benchmark::State& state) {
    const std::string& model = Model();
    for (auto _ : state) {
        tMemoryBuffer buffer(model.data(), model.size());
        std::istream in(&buffer);
        lum::tVellumLexer lexer(in);
        tNullReader reader;
        reader.Run(lexer);
        benchmark::DoNotOptimize(lexer.GetLine());
    }
    SetThroughput(state);
}
BENCHMARK(TokenizeMemory)->Unit(benchmark::kMillisecond);

std::filesystem::path ModelFileName() {
    return std::filesystem::temp_directory_path() / Cat({"lum_reader_bench_", std::to_string(getpid()), ".mdl"});
}

// The model written once to a temporary file, removed at the end of main.
std::filesystem::path ModelFile() {
    static const std::filesystem::path path = [] {
        const std::filesystem::path file = ModelFileName();
        std::ofstream out(file, std::ios::out | std::ios::binary | std::ios::trunc);
        out.write(Model().data(), static_cast<std::streamsize>(Model().size()));
        return file;
    }();
    return path;
}

void TokenizeFile(benchmark::State& state) {
    const std::filesystem::path file = ModelFile();
    for (auto _ : state) {
        std::ifstream in(file, std::ios::in | std::ios::binary);
        if (!in) {
            state.SkipWithError("cannot open the temporary model file");
            break;
        }
        lum::tVellumLexer lexer(in);
        tNullReader reader;
        reader.Run(lexer);
        benchmark::DoNotOptimize(lexer.GetLine());
    }
    SetThroughput(state);
}
BENCHMARK(TokenizeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove(ModelFileName(), ignored);
    return 0;
}
