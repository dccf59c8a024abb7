// lum: reads models stored in the Vellum notation and reports on them.
// Exit status: 0 clean, 1 the model has errors, 2 usage, unreadable input or unwritable output.

#include <cstdlib>
#include <iostream>

#include "commands.h"
#include "manual.h"
#include "progress.h"

namespace {

using namespace lumcli;

int RunCommand(const lum::Model& model, const tOptions& options) {
    if (options.command == "check") return RunCheck(model, options, std::cout);
    if (options.command == "print") return RunPrint(model, options, std::cout);
    if (options.command == "refs") return RunRefs(model, options, std::cout);
    if (options.command == "find") return RunFind(model, options, std::cout);
    if (options.command == "export") return RunExport(model, options, std::cout);
    if (options.command == "outline") return RunOutline(model, options, std::cout);
    if (options.command == "write") return RunWrite(model, options, std::cout);
    if (options.command == "render") return RunRender(model, options, std::cout);
    if (options.command == "xmi") return RunXmi(model, options, std::cout);
    if (options.command == "papyrus") return RunPapyrus(model, options, std::cout);
    if (options.command == "plantuml") return RunPlantUml(model, options, std::cout);
    if (options.command == "site") return RunSite(model, options, std::cout);
    return RunStats(model, options, std::cout);
}

// Ends the process with the model still loaded: the system takes its memory
// back at once, where deleting its millions of objects one by one would
// cost a tenth of a second at 100 MB. Builds with a leak checker tear the
// model down as usual, so that their runs still check it.
int EndKeepingModel(int status) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return status;
#else
    std::cout.flush();
    std::cerr.flush();
    std::exit(status);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    using namespace lumcli;
    CLI::App app("Reads models stored in the Vellum notation.", "lum");
    tOptions options;
    DefineCommands(app, options);
    app.set_version_flag("--version", std::string("lum ") + LUM_VERSION_STRING + " (library " + lum::Version() +
                                          ")\nreads models in the Vellum notation: main files and unit files, any "
                                          "header version (kept as read when written back)");
    AddManualOptions(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version);
    } catch (const CLI::Success&) {
        return 0;
    } catch (const CLI::ParseError& error) {
        std::cerr << "lum: " << error.what() << "\nRun 'lum --help' or 'lum COMMAND --help' for the options.\n";
        return 2;
    }

    // What the system refuses (a file name, memory) ends the command with a
    // message, never with an exception leaving the tool.
    try {
        if (options.command == "diff") return RunDiff(options, std::cout);
        lum::Model model = [&] {
            const tProgress progress("loading " + options.models.front());
            return lum::Model::Load(options.models, options.load);
        }();
        if (!model) {
            for (const lum::Diagnostic& diagnostic : model.Diagnostics()) {
                std::cerr << "lum: " << diagnostic.message << '\n';
            }
            return 2;
        }
        const int status = RunCommand(model, options);
        return EndKeepingModel(status);
    } catch (const std::exception& failure) {
        std::cerr << "lum: " << failure.what() << '\n';
        return 2;
    }
}
