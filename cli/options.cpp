#include "options.h"

#include <cstdlib>
#include <set>

namespace lumcli {

namespace {

const std::set<std::string> Commands = {"check", "print", "refs", "find", "stats", "export"};

bool ParseCodePage(const std::string& text, std::optional<unsigned>& codePage) {
    if (text == "auto") {
        codePage.reset();
        return true;
    }
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value == 0 || value > 65535) return false;
    codePage = static_cast<unsigned>(value);
    return true;
}

}  // namespace

bool ParseOptions(int argc, char** argv, tOptions& options, std::string& error) {
    int i = 1;
    if (i < argc && (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h")) {
        options.help = true;
        return true;
    }
    if (i >= argc) {
        error = "no command given";
        return false;
    }
    options.command = argv[i++];
    if (Commands.count(options.command) == 0) {
        error = "unknown command '" + options.command + "'";
        return false;
    }
    auto valueOf = [&](const std::string& option, std::string& value) {
        if (i + 1 >= argc) {
            error = "option " + option + " needs a value";
            return false;
        }
        value = argv[++i];
        return true;
    };
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--codepage") {
            if (!valueOf(arg, value)) return false;
            if (!ParseCodePage(value, options.codePage)) {
                error = "--codepage takes a code page number or 'auto', not '" + value + "'";
                return false;
            }
        } else if (arg == "--pathmap") {
            if (!valueOf(arg, value)) return false;
            options.pathMaps.push_back(value);
        } else if (arg == "-D" || (arg.rfind("-D", 0) == 0 && arg.size() > 2)) {
            if (arg == "-D") {
                if (!valueOf(arg, value)) return false;
            } else {
                value = arg.substr(2);
            }
            const std::size_t equals = value.find('=');
            if (equals == std::string::npos || equals == 0) {
                error = "-D takes SYMBOL=PATH, not '" + value + "'";
                return false;
            }
            options.symbols.emplace_back(value.substr(0, equals), value.substr(equals + 1));
        } else if (arg == "--search-dir") {
            if (!valueOf(arg, value)) return false;
            options.searchDirs.push_back(value);
        } else if (arg == "--strict") {
            options.strict = true;
        } else if (arg == "--no-subunits") {
            options.loadSubUnits = false;
        } else if (arg == "--format") {
            if (!valueOf(arg, value)) return false;
            if (value == "json") options.format = tFormat::Json;
            else if (value == "text") options.format = tFormat::Text;
            else {
                error = "--format takes 'text' or 'json', not '" + value + "'";
                return false;
            }
        } else if (arg == "-o" || arg == "--output") {
            if (!valueOf(arg, options.outputFile)) return false;
        } else if (arg == "--unresolved") {
            options.unresolvedOnly = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option '" + arg + "'";
            return false;
        } else {
            options.operands.push_back(arg);
        }
    }
    if (options.help) return true;
    const std::size_t wanted = options.command == "find" ? 2 : 1;
    if (options.operands.size() < wanted) {
        error = options.command == "find" ? "find needs a model file and a name" : "no model file given";
        return false;
    }
    if (options.command == "find") {
        options.name = options.operands.back();
        options.operands.pop_back();
    }
    if (options.command != "check" && options.command != "find" && options.operands.size() > 1) {
        error = options.command + " takes one model file";
        return false;
    }
    if (options.format == tFormat::Json && options.command == "print") {
        error = "print writes text only";
        return false;
    }
    if (!options.outputFile.empty() && options.command != "print" && options.command != "export") {
        error = "-o is an option of print and export";
        return false;
    }
    if (options.unresolvedOnly && options.command != "refs") {
        error = "--unresolved is an option of refs";
        return false;
    }
    return true;
}

std::string HelpText(const std::string& command) {
    const std::string common =
        "\nModel options (every command):\n"
        "  --codepage N|auto   code page of the model's text; auto (the default) reads\n"
        "                      a model as UTF-8 when its main file is valid UTF-8, else in\n"
        "                      the code page its header's charSet names, else in 1252\n"
        "  --pathmap FILE      path map file (SYMBOL=PATH lines) for stored unit paths\n"
        "  -D SYMBOL=PATH      define one path symbol (repeatable); CURDIR is the main\n"
        "                      file's directory unless defined\n"
        "  --no-subunits       read the main files only\n"
        "  --search-dir DIR    look for unit files not found where stored here too\n"
        "                      (repeatable); the holding file's directory is always tried\n"
        "  --strict            a unit file that cannot be found is an error\n"
        "  -h, --help          this help\n";
    if (command == "check") {
        return "usage: lum check [options] MODEL...\n\n"
               "Loads the main files and their sub-units, binds every reference and prints\n"
               "each diagnostic (file:line: severity: message [subject]), then a summary.\n"
               "  --format json       one JSON document instead of text\n" +
               common +
               "\nExit status: 0 clean, 1 the model has errors (with --strict also: units\n"
               "missing), 2 usage or unreadable input.\n";
    }
    if (command == "print") {
        return "usage: lum print [options] MODEL\n\n"
               "Prints the loaded model as indented text (UTF-8). Models nested more than\n"
               "1000 levels deep are refused: use export.\n"
               "  -o, --output FILE   write to FILE instead of standard output\n" +
               common;
    }
    if (command == "refs") {
        return "usage: lum refs [options] MODEL [--unresolved]\n\n"
               "Lists the references of the model with their owner's path, their text and\n"
               "what they are bound to; with --unresolved only those left unbound.\n"
               "  --format json       one JSON document instead of text\n" +
               common;
    }
    if (command == "find") {
        return "usage: lum find [options] MODEL... NAME\n\n"
               "Lists the objects whose qualified name (Pkg::Class) or quid is NAME, with\n"
               "their class and path.\n"
               "  --format json       one JSON document instead of text\n" +
               common;
    }
    if (command == "export") {
        return "usage: lum export [options] MODEL [-o FILE] [--format json]\n\n"
               "Writes the whole loaded and bound model as one JSON document (format\n"
               "lum-export/1, described by schema/lum-export-1.schema.json): every object\n"
               "with its id, class, quid and set features, the files read and the\n"
               "diagnostics.\n"
               "  -o, --output FILE   write to FILE instead of standard output\n" +
               common;
    }
    if (command == "stats") {
        return "usage: lum stats [options] MODEL\n\n"
               "Counts the objects of the model per class and the diagrams per kind.\n"
               "  --format json       one JSON document instead of text\n" +
               common;
    }
    return "usage: lum COMMAND [options] MODEL...\n\n"
           "Reads models stored in the Vellum notation.\n\n"
           "Commands:\n"
           "  check   load, bind and report every diagnostic with a summary\n"
           "  print   print the whole model as indented text\n"
           "  refs    list references (--unresolved: those left unbound)\n"
           "  find    find objects by qualified name or quid\n"
           "  stats   count objects per class and diagrams per kind\n"
           "  export  the whole model as one JSON document\n\n"
           "Run 'lum COMMAND --help' for the options of a command.\n";
}

}  // namespace lumcli
