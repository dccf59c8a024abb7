// The JSON export: written on several threads, part by part, it is the same
// document byte for byte as written on one.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <lum/lum.h>

namespace {

namespace fs = std::filesystem;

const std::string kSamples = LUM_SAMPLES_DIR;

std::string Export(const lum::Model& model, lum::json::Options options) {
    std::ostringstream out;
    EXPECT_TRUE(lum::json::WriteJson(model, out, options));
    return out.str();
}

// A main file whose classes nest attribute sets 40 levels deep, so that its
// indented document goes past the depth written on one line.
std::string WriteDeepModel(const fs::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << "(object Vellum\n    version 50\n    charSet 0)\n\n(object Design \"Logical View\"\n"
        << "    root_category (object Class_Category \"Logical View\"\n\tlogical_models (list unit_reference_list\n";
    for (int c = 0; c < 3; ++c) {
        out << "\t    (object Class \"Deep" << c << "\" quid \"5F000000000" << c << "\"\n"
            << "\t\tattributes (list Attribute_Set\n";
        for (int i = 0; i < 40; ++i) out << "(object Attribute tool \"T\" name \"a\" value (list Attribute_Set\n";
        out << "(object Attribute tool \"T\" name \"leaf\" value \"x\")";
        for (int i = 0; i < 40; ++i) out << "))";
        out << "))\n";
    }
    out << ")))\n";
    return path.string();
}

TEST(JsonExport, PartsWrittenOnSeveralThreadsGiveTheDocumentOneThreadWrites) {
    const fs::path deep = fs::temp_directory_path() / "lum-json-export-deep.mdl";
    // Two main files: the files themselves are siblings that a part may join.
    const lum::Model model = lum::Model::Load({kSamples + "/library/library.mdl", WriteDeepModel(deep)},
                                              {.pathMaps = {kSamples + "/library/library.map"}});
    fs::remove(deep);
    ASSERT_EQ(model.Files().size(), 2u);
    for (const bool compact : {true, false}) {
        const std::string serial = Export(model, {.compact = compact, .threads = 1});
        ASSERT_NE(serial.find("\"leaf\""), std::string::npos);
        // From a part per object without children to parts of whole classes
        // and files.
        for (const std::size_t perPart : {1, 2, 3, 7, 50, 400}) {
            EXPECT_EQ(Export(model, {.compact = compact, .threads = 3, .objectsPerPart = perPart}), serial)
                << (compact ? "compact" : "indented") << ", at most " << perPart << " objects a part";
        }
    }
}

TEST(JsonExport, SplicedValuesTakeTheirPlaceInTheArray) {
    // Values written apart at the array's depth, spliced first into an empty
    // array and then after a value.
    std::string part;
    {
        lum::JsonWriter values(part, false, 2);
        values.Number(1LL);
        values.BeginArray();
        values.EndArray();
    }
    std::ostringstream spliced, direct;
    {
        lum::JsonWriter json(spliced);
        json.BeginObject();
        json.Key("a");
        json.BeginArray();
        json.Splice(part);
        json.Splice(part);
        json.EndArray();
        json.EndObject();
    }
    {
        lum::JsonWriter json(direct);
        json.BeginObject();
        json.Key("a");
        json.BeginArray();
        for (int i = 0; i < 2; ++i) {
            json.Number(1LL);
            json.BeginArray();
            json.EndArray();
        }
        json.EndArray();
        json.EndObject();
    }
    EXPECT_EQ(spliced.str(), direct.str());
}

}  // namespace
