#include "options.h"

namespace lumcli {

namespace {

// The options of every command that loads a model.
void AddModelOptions(CLI::App& command, tOptions& options) {
    command
        .add_option_function<std::string>(
            "--codepage",
            [&options](const std::string& value) {
                options.load.codePage = value == "auto" ? 0 : static_cast<unsigned>(std::stoul(value));
            },
            "code page of the model's text; auto (the default) reads a model as UTF-8 when its main files are "
            "UTF-8 beyond plain ASCII, else in the code page of the charSet its header declares (0: 1252, "
            "128: 932, 134: 936, 204: 1251, ...), else as UTF-8 for plain ASCII and 1252 otherwise")
        ->type_name("N|auto")
        ->check(CLI::IsMember({"auto"}) | CLI::Range(1u, 65535u));
    command.add_option("--pathmap", options.load.pathMaps,
                       "a path map (SYMBOL=PATH lines, or ;-separated) for the stored paths of unit files")
        ->type_name("FILE")
        ->take_all();
    command
        .add_option_function<std::vector<std::string>>(
            "-D",
            [&options](const std::vector<std::string>& definitions) {
                for (const std::string& definition : definitions) {
                    const std::size_t equals = definition.find('=');
                    options.load.symbols.emplace_back(definition.substr(0, equals), definition.substr(equals + 1));
                }
            },
            "define one path symbol (repeatable); CURDIR is the main file's directory unless defined")
        ->type_name("SYMBOL=PATH")
        ->check(CLI::Validator(
            [](std::string& value) {
                const std::size_t equals = value.find('=');
                return equals == std::string::npos || equals == 0 ? "-D takes SYMBOL=PATH, not '" + value + "'"
                                                                  : std::string();
            },
            "SYMBOL=PATH"));
    command.add_flag("!--no-subunits", options.load.loadSubUnits, "read the main files only");
    command.add_option("--search-dir", options.load.searchDirs,
                       "where else unit files may lie (repeatable); a unit file not found where stored is looked for "
                       "next to the file that holds its stub, then by its file name there and in these directories, "
                       "without regard to case")
        ->type_name("DIR")
        ->take_all();
    command.add_flag("--strict", options.load.strict, "a unit file that cannot be found makes the model fail (exit 1)");
}

void AddFormat(CLI::App& command, tOptions& options) {
    command.add_option("--format", options.format, "text (the default) or one JSON document")
        ->transform(CLI::CheckedTransformer(std::map<std::string, tFormat>{{"text", tFormat::Text},
                                                                           {"json", tFormat::Json}}));
}

CLI::App* AddCommand(CLI::App& app, tOptions& options, const std::string& name, const std::string& description) {
    CLI::App* command = app.add_subcommand(name, description);
    command->callback([&options, name] { options.command = name; });
    AddModelOptions(*command, options);
    return command;
}

}  // namespace

void DefineCommands(CLI::App& app, tOptions& options) {
    app.require_subcommand(1);
    app.footer(
        "Exit status: 0 clean, 1 the model has errors (a diagnostic of severity Error or worse; with --strict also "
        "a unit file that could not be loaded), 2 a usage error or an input that cannot be read.");

    CLI::App* check = AddCommand(app, options, "check", "load, bind and report every diagnostic with a summary");
    check->add_option("MODEL", options.models, "the main files")->required();
    AddFormat(*check, options);

    CLI::App* print = AddCommand(app, options, "print",
                                 "print the whole model as indented text (UTF-8); models nested more than 1000 "
                                 "levels deep are refused: use export");
    print->add_option("MODEL", options.models, "the main files")->required();
    print->add_option("-o,--output", options.outputFile, "write to FILE instead of standard output")
        ->type_name("FILE");

    CLI::App* refs = AddCommand(app, options, "refs", "list references with what they are bound to");
    refs->add_option("MODEL", options.models, "the main files")->required();
    refs->add_flag("--unresolved", options.unresolvedOnly,
                   "only the references left unbound that name something (each with why: dangling, in a missing "
                   "unit, or an unmodelled type)");
    AddFormat(*refs, options);

    CLI::App* find = AddCommand(app, options, "find",
                                "find objects by quid, qualified name (Pkg::Class), simple name anywhere, or a "
                                "pattern with * and ?");
    find->add_option("MODEL", options.models, "the main files, then the name looked for")->required()->expected(2, -1);
    find->callback([&options] {
        options.command = "find";
        options.name = options.models.back();
        options.models.pop_back();
    });
    AddFormat(*find, options);

    CLI::App* stats = AddCommand(app, options, "stats", "count objects per class and diagrams per kind");
    stats->add_option("MODEL", options.models, "the main files")->required();
    AddFormat(*stats, options);

    CLI::App* outline = AddCommand(app, options, "outline",
                                   "the model as its authors meant it: packages, classes with attributes and "
                                   "operations, associations, relationships, use cases, state machines (JSON: "
                                   "lum-outline/1, schema/lum-outline-1.schema.json)");
    outline->add_option("MODEL", options.models, "the main files")->required();
    AddFormat(*outline, options);

    CLI::App* diff = AddCommand(app, options, "diff",
                                "what changed from OLD to NEW, element by element: added, removed, renamed, moved "
                                "and changed elements by package (JSON: lum-diff/1, schema/lum-diff-1.schema.json); "
                                "also takes git's seven arguments of an external diff driver. Exit status: 0 the "
                                "same, 1 different (0 under git), 2 a usage error or a model that cannot be read");
    diff->add_option("OLD NEW", options.models, "the two versions (or git's PATH OLD-FILE OLD-HEX OLD-MODE NEW-FILE "
                                                "NEW-HEX NEW-MODE)")
        ->required()
        ->expected(2, 7);
    diff->callback([&options] {
        options.command = "diff";
        if (options.models.size() == 7) {
            options.diffPath = options.models[0];
            options.models = {options.models[1], options.models[4]};
        } else if (options.models.size() != 2) {
            throw CLI::ValidationError("OLD NEW", "diff takes two models, OLD and NEW, or git's seven arguments");
        }
    });
    diff->add_flag("--with-layout", options.withLayout,
                   "also compare where diagrams draw their symbols: moved or resized beyond the tolerance");
    diff->add_option("--layout-tolerance", options.layoutTolerance,
                     "units a symbol may move or grow before it counts (default 10)")
        ->check(CLI::NonNegativeNumber);
    AddFormat(*diff, options);

    CLI::App* exported = AddCommand(app, options, "export",
                                    "the whole model as one JSON document (lum-export/1, described by "
                                    "schema/lum-export-1.schema.json)");
    exported->add_option("MODEL", options.models, "the main files")->required();
    exported->add_option("-o,--output", options.outputFile, "write to FILE instead of standard output")
        ->type_name("FILE");
}

}  // namespace lumcli
