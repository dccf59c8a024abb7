// The view of generated models (built with the benchmarks, which build the
// generator): every object of design meaning appears exactly once.

#include <unistd.h>

#include <filesystem>

#include "model_generator.h"
#include "uml/raw_counts.h"

namespace lum::test {
namespace {

class GeneratedModelTest : public UmlTest, public ::testing::WithParamInterface<std::pair<std::uint32_t, bool>> {};

TEST_P(GeneratedModelTest, EveryObjectAppearsOnce) {
    const auto [seed, singleFile] = GetParam();
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("lum-uml-generated-" + std::to_string(::getpid()) + "-" + std::to_string(seed));
    genmodel::tGenerateOptions options;
    options.bytes = 2'000'000;
    options.directory = dir.string();
    options.seed = seed;
    options.singleFile = singleFile;
    genmodel::GenerateModel(options);
    const uml::View& view = Load(dir / "model.mdl", dir / "model.map");
    ExpectEveryObjectOnce(Roots(), view);
    for (uml::Kind kind : {uml::Kind::Classifier, uml::Kind::Property, uml::Kind::Operation, uml::Kind::Association,
                           uml::Kind::Relationship, uml::Kind::UseCase, uml::Kind::State, uml::Kind::Transition,
                           uml::Kind::Diagram})
        EXPECT_GT(view.Count(kind), 0u) << uml::KindName(kind);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

INSTANTIATE_TEST_SUITE_P(Seeds, GeneratedModelTest,
                         ::testing::Values(std::make_pair(1u, false), std::make_pair(7u, false), std::make_pair(3u, true)));

}  // namespace
}  // namespace lum::test
