// The command line itself: help, and the mistakes that end with status 2
// before any model is read.

#include "cli/model_text.h"
#include "cli/tool_runner.h"

namespace lumcli::test {
namespace {

class UsageTest : public ::testing::Test {
protected:
    tScratchDir scratch;
    std::string model = scratch.Write("m.mdl", MainFile(ClassText("A", "5D0000000101")));
};

TEST_F(UsageTest, HelpOfTheToolAndOfEachCommandGoesToStandardOutput) {
    const tRun tool = RunLum({"--help"}, scratch);
    EXPECT_EQ(tool.status, 0) << Describe(tool);
    EXPECT_TRUE(tool.out.starts_with("usage: lum COMMAND")) << tool.out;
    for (const char* command : {"check", "print", "refs", "find", "stats"}) {
        EXPECT_TRUE(Contains(tool.out, std::string("  ") + command + " ")) << command;
    }
    EXPECT_EQ(tool.err, "");

    const tRun check = RunLum({"check", "--help"}, scratch);
    EXPECT_EQ(check.status, 0) << Describe(check);
    EXPECT_TRUE(check.out.starts_with("usage: lum check [options] MODEL...")) << check.out;
    EXPECT_TRUE(Contains(check.out, "--pathmap FILE"));
    EXPECT_TRUE(Contains(check.out, "\nExit status: 0 clean, 1 the model has errors")) << check.out;
    EXPECT_EQ(check.err, "");

    // -h is the same, and help wins over a missing operand.
    const tRun find = RunLum({"find", "-h"}, scratch);
    EXPECT_EQ(find.status, 0) << Describe(find);
    EXPECT_TRUE(find.out.starts_with("usage: lum find [options] MODEL... NAME")) << find.out;
}

// Each mistake gives status 2, one "lum: " line naming it on standard
// error, and nothing on standard output.
struct tMisuse {
    std::vector<std::string> args;
    std::string message;
};

TEST_F(UsageTest, MistakesOnTheCommandLineEndWithStatusTwo) {
    const std::vector<tMisuse> cases = {
        {{}, "lum: no command given"},
        {{"verify", model}, "lum: unknown command 'verify'"},
        {{"check", "--colour", model}, "lum: unknown option '--colour'"},
        {{"check"}, "lum: no model file given"},
        {{"find", model}, "lum: find needs a model file and a name"},
        {{"check", "--codepage", "x", model}, "lum: --codepage takes a code page number or 'auto', not 'x'"},
        {{"check", "--codepage", "0", model}, "lum: --codepage takes a code page number or 'auto', not '0'"},
        {{"check", model, "--codepage"}, "lum: option --codepage needs a value"},
        {{"check", "--format", "xml", model}, "lum: --format takes 'text' or 'json', not 'xml'"},
        {{"check", "-D", "NOEQUALS", model}, "lum: -D takes SYMBOL=PATH, not 'NOEQUALS'"},
        {{"check", "-D=/tmp", model}, "lum: -D takes SYMBOL=PATH, not '=/tmp'"},
        {{"print", model, model}, "lum: print takes one model file"},
        {{"print", "--format", "json", model}, "lum: print writes text only"},
        {{"check", "-o", "out.txt", model}, "lum: -o is an option of print"},
        {{"stats", "--unresolved", model}, "lum: --unresolved is an option of refs"},
    };
    for (const tMisuse& misuse : cases) {
        std::string line;
        for (const std::string& arg : misuse.args) line += " " + arg;
        SCOPED_TRACE("lum" + line);
        const tRun run = RunLum(misuse.args, scratch);
        EXPECT_EQ(run.status, 2) << Describe(run);
        ASSERT_FALSE(run.err.empty());
        const std::string first = tRun::Lines(run.err).front();
        EXPECT_TRUE(first.starts_with(misuse.message)) << first;
        EXPECT_TRUE(Contains(run.err, "usage: lum")) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(UsageTest, OptionsMayStandAfterTheModelAndTakeTheirValueInOneWord) {
    // -DSYMBOL=PATH in one word, options after the operand, an explicit code page.
    const tRun run = RunLum({"check", model, "-DX=/nowhere", "--codepage", "1252", "--format", "text"}, scratch);
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_TRUE(Contains(run.out, "code page: 1252 (given)")) << run.out;
}

}  // namespace
}  // namespace lumcli::test
