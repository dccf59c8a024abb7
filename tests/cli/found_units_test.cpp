// Models copied off other machines: text in the code page their header
// declares, unit files that lie elsewhere than stored or in another case.

#include "cli/model_text.h"
#include "cli/tool_runner.h"

namespace lumcli::test {
namespace {

TEST(FoundUnitsTest, DoubleByteHeaderCharSetIsReadWhole) {
    tScratchDir scratch;
    // "你好" in the double-byte page of character set 134.
    std::string text = MainFile(ClassText("\xC4\xE3\xBA\xC3", "C1"));
    text.replace(text.find("charSet \t0"), 10, "charSet \t134");
    const std::string main = scratch.Write("m.mdl", text);
    const tRun run = RunLum({"print", main}, scratch);
    ASSERT_EQ(run.status, 0) << Describe(run);
    EXPECT_TRUE(Contains(run.out, "name = \xE4\xBD\xA0\xE5\xA5\xBD;")) << run.out;
    const tRun check = RunLum({"check", main}, scratch);
    EXPECT_TRUE(Contains(check.out, "code page 936: its header declares charSet 134")) << check.out;
}

TEST(FoundUnitsTest, UnitFilesAreFoundWhereverTheyLieAndReported) {
    tScratchDir scratch;
    // An undefined symbol whose file lies next to the main file, a name
    // stored in another case, and a bare relative name.
    const std::string main = scratch.Write(
        "model/m.mdl", MainFile(StubText("P", "QP", "$GONE\\p.cat") + StubText("Q", "QQ", "$CURDIR\\Q.CAT") +
                                StubText("R", "QR", "r.cat")));
    scratch.Write("model/p.cat", UnitFile("P", "QP", ClassText("A", "QA")));
    scratch.Write("model/q.cat", UnitFile("Q", "QQ", ClassText("B", "QB")));
    scratch.Write("model/r.cat", UnitFile("R", "QR", ClassText("C", "QC")));
    fs::create_directories(scratch / "elsewhere");
    const tRun run = RunLumIn((scratch / "elsewhere").string(), {"check", main}, scratch);
    ASSERT_EQ(run.status, 0) << Describe(run);
    EXPECT_TRUE(Contains(run.out, "files: 1 main, 3 unit files loaded, 0 missing")) << run.out;
    EXPECT_TRUE(Contains(run.out, "Information: Unit 'P' (stored as '$GONE\\p.cat') found at")) << run.out;
}

TEST(FoundUnitsTest, MissingUnitWithAnUndefinedSymbolGetsAdvice) {
    tScratchDir scratch;
    const std::string main = scratch.Write("m.mdl", MainFile(StubText("P", "QP", "$LIBS\\p.cat")));
    const tRun run = RunLum({"check", main}, scratch);
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_EQ(LineWith(run.out, "not defined"),
              main + ": Information: the symbol 'LIBS' is not defined: define it with -D LIBS=DIR or in a --pathmap file");
    EXPECT_EQ(RunLum({"check", "--strict", main}, scratch).status, 1);
}

TEST(ExportTest, SampleExportIsValidAndItsReferencesPointAtTheirTargets) {
    tScratchDir scratch;
    const std::string sample = std::string(LUM_SAMPLES_DIR) + "/library";
    const std::string json = (scratch / "model.json").string();
    const tRun run = RunLum({"export", sample + "/library.mdl", "--pathmap", sample + "/library.map", "-o", json}, scratch);
    ASSERT_EQ(run.status, 0) << Describe(run);
    const std::string text = ReadFile(json);
    ASSERT_TRUE(IsUtf8(text));
    const tJson document = JsonOf(text);
    EXPECT_EQ(document["format"].text, "lum-export/1");

    // Every object once, ids in walk order; every bound reference names an
    // object whose quid or name is what the reference says.
    std::vector<const tJson*> objects;
    std::vector<const tJson*> pending;
    for (const tJson& model : document["models"].items) pending.push_back(&model);
    std::vector<std::pair<const tJson*, const tJson*>> references;  // (reference, owner)
    while (!pending.empty()) {
        const tJson* object = pending.back();
        pending.pop_back();
        objects.push_back(object);
        std::vector<const tJson*> children;
        for (const std::string& key : (*object)["features"].order) {
            const tJson& value = (*object)["features"][key];
            std::vector<const tJson*> items{&value};
            if (value.IsArray()) {
                items.clear();
                for (const tJson& item : value.items) items.push_back(&item);
            }
            for (const tJson* item : items) {
                if (item->kind != tJson::tKind::Object) continue;
                if (item->Has("id")) children.push_back(item);
                else if (item->Has("target")) references.emplace_back(item, object);
            }
        }
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    ASSERT_EQ(static_cast<long long>(objects.size()), document["objectCount"].Int());
    for (std::size_t i = 0; i < objects.size(); ++i) ASSERT_EQ((*objects[i])["id"].Int(), static_cast<long long>(i));
    ASSERT_FALSE(references.empty());
    for (const auto& [reference, owner] : references) {
        const tJson& target = *objects.at(static_cast<std::size_t>((*reference)["target"].Int()));
        const std::string& written = (*reference)["text"].text;
        const bool byQuid = target.Has("quid") && target["quid"].text == written;
        const bool byName = target["features"].Has("name") &&
                            written.size() >= target["features"]["name"].text.size() &&
                            written.compare(written.size() - target["features"]["name"].text.size(), std::string::npos,
                                            target["features"]["name"].text) == 0;
        const bool madeFromObject = written == target["class"].text;  // fonts: no text, the class
        EXPECT_TRUE(byQuid || byName || madeFromObject) << written << " -> object " << target["id"].Int();
    }

    // The documented schema accepts it (where the system's jsonschema is).
    if (std::system("/usr/bin/python3 -c 'import jsonschema' 2>/dev/null") == 0) {
        const std::string schema = std::string(LUM_SOURCE_DIR) + "/schema/lum-export-1.schema.json";
        const std::string command = "/usr/bin/python3 -c 'import json,sys,jsonschema; "
                                    "jsonschema.validate(json.load(open(sys.argv[2])), json.load(open(sys.argv[1])))' " +
                                    schema + " " + json;
        EXPECT_EQ(std::system(command.c_str()), 0);
    }
}

}  // namespace
}  // namespace lumcli::test
