// lum: reads models stored in the Vellum notation and reports on them.
// Exit status: 0 clean, 1 the model has errors, 2 usage or unreadable input.

#include <cstdint>
#include <iostream>

#include "commands.h"
#include "heap_tuning.h"

int main(int argc, char** argv) {
    using namespace lumcli;
    TuneHeap(argv);
    tOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::cerr << "lum: " << error << "\n\n" << HelpText(options.command);
        return 2;
    }
    if (options.help) {
        std::cout << HelpText(options.command);
        return 0;
    }
    tLoadedModel model;
    const std::size_t maxDepth = options.command == "print" ? kPrintableDepth : SIZE_MAX;
    if (!model.Load(options, maxDepth, error)) {
        std::cerr << "lum: " << error << '\n';
        return 2;
    }
    if (options.command == "check") return RunCheck(model, options, std::cout);
    if (options.command == "print") return RunPrint(model, options, std::cout);
    if (options.command == "refs") return RunRefs(model, options, std::cout);
    if (options.command == "find") return RunFind(model, options, std::cout);
    if (options.command == "export") return RunExport(model, options, std::cout);
    return RunStats(model, options, std::cout);
}
