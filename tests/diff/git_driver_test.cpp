// lum diff as git's external diff driver and lum outline as its textconv
// filter, in a scratch repository, with the lines the README gives; the
// tool's exit status.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace lum::test {
namespace {

namespace fs = std::filesystem;

std::string Model(const char* type) {
    std::string text = "(object Vellum version 50 charSet 0)\n(object Design \"Logical View\" quid \"QD\" root_category"
                       " (object Class_Category \"Logical View\" quid \"QL\" logical_models (list unit_reference_list"
                       " (object Class \"A\" quid \"QA\" class_attributes (list class_attribute_list"
                       " (object ClassAttribute \"x\" quid \"QX\" type \"";
    text += type;
    text += "\"))))))\n";
    return text;
}

class GitDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        repo = fs::temp_directory_path() / ("lum_git_" + std::to_string(::getpid()));
        fs::remove_all(repo);
        fs::create_directories(repo);
        ::unsetenv("GIT_DIR");
        ::unsetenv("GIT_WORK_TREE");
        ::unsetenv("GIT_EXTERNAL_DIFF");
        ASSERT_EQ(Git("init -q").second, 0);
        Git("config user.name Tester");
        Git("config user.email tester@example.com");
        Git("config diff.lum.command '" LUM_TOOL " diff'");
        Git("config diff.lum.textconv '" LUM_TOOL " outline'");
        std::ofstream(repo / ".gitattributes") << "*.mdl diff=lum\n";
        Write(Model("Integer"));
        ASSERT_EQ(Git("add . && git -C " + repo.string() + " commit -qm v1").second, 0);
    }
    void TearDown() override { fs::remove_all(repo); }

    void Write(const std::string& text) { std::ofstream(repo / "model.mdl", std::ios::binary) << text; }
    // git's output and exit status.
    std::pair<std::string, int> Git(const std::string& arguments) {
        FILE* pipe = ::popen(("git -C " + repo.string() + " " + arguments + " 2>&1").c_str(), "r");
        std::string out;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        const int status = ::pclose(pipe);
        return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
    }

    fs::path repo;
};

TEST_F(GitDriverTest, ExternalDiffAndTextconv) {
    struct tCase {
        const char* command;
        const char* expected;
    };
    const tCase cases[] = {
        {"diff", "lum diff model.mdl\npackage Logical View\n  changed attribute Logical View::A::x\n"
                 "    type: Integer -> String\n"},
        {"diff --no-ext-diff", "\n+      x : String\n"},
        {"diff --no-ext-diff", "\n-      x : Integer\n"},
    };
    EXPECT_EQ(Git("diff"), std::make_pair(std::string(), 0)) << "nothing changed yet";
    Write(Model("String"));
    for (const tCase& c : cases) {
        const auto [out, status] = Git(c.command);
        EXPECT_EQ(status, 0) << c.command << "\n" << out;
        EXPECT_NE(out.find(c.expected), std::string::npos) << c.command << "\n" << out;
    }
    ASSERT_EQ(Git("commit -qam v2").second, 0);
    EXPECT_NE(Git("log -p --ext-diff -1").first.find("type: Integer -> String"), std::string::npos);
}

// As diff(1): 0 the same, 1 different, 2 trouble; under git 0 for different too.
TEST_F(GitDriverTest, ExitStatus) {
    std::ofstream(repo / "other.mdl", std::ios::binary) << Model("String");
    const std::string old = (repo / "model.mdl").string(), now = (repo / "other.mdl").string();
    const struct {
        std::string arguments;
        int status;
    } cases[] = {
        {old + " " + old, 0},
        {old + " " + now, 1},
        {"model.mdl " + old + " 1111 100644 " + now + " 2222 100644", 0},
        {old + " " + (repo / "missing.mdl").string(), 2},
        {old + " " + now + " " + now, 2},
    };
    for (const auto& c : cases) {
        const int status = std::system((LUM_TOOL " diff " + c.arguments + " > /dev/null 2>&1").c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status) << c.arguments;
    }
}

}  // namespace
}  // namespace lum::test
