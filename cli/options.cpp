#include "options.h"

namespace lumcli {

namespace {

// SYMBOL=VALUE words, as -D and --relocate take them.
CLI::Validator Definition(const std::string& option) {
    return CLI::Validator(
        [option](std::string& value) {
            const std::size_t equals = value.find('=');
            return equals == std::string::npos || equals == 0
                       ? option + " takes SYMBOL=" + (option == "-D" ? "PATH" : "NEWPATH") + ", not '" + value + "'"
                       : std::string();
        },
        "SYMBOL=PATH");
}

std::pair<std::string, std::string> SplitDefinition(const std::string& definition) {
    const std::size_t equals = definition.find('=');
    return {definition.substr(0, equals), definition.substr(equals + 1)};
}

// The options of every command that loads a model. `codePageFlag` names
// the code page it is read in (write has --codepage for what it writes).
void AddModelOptions(CLI::App& command, tOptions& options, const std::string& codePageFlag) {
    command
        .add_option_function<std::string>(
            codePageFlag,
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
        ->allow_extra_args(false);
    command
        .add_option_function<std::vector<std::string>>(
            "-D",
            [&options](const std::vector<std::string>& definitions) {
                for (const std::string& definition : definitions) options.load.symbols.push_back(SplitDefinition(definition));
            },
            "define one path symbol (repeatable); CURDIR is the main file's directory unless defined")
        ->type_name("SYMBOL=PATH")
        ->allow_extra_args(false)
        ->check(Definition("-D"));
    command.add_flag("!--no-subunits", options.load.loadSubUnits, "read the main files only");
    command.add_option("--search-dir", options.load.searchDirs,
                       "where else unit files may lie (repeatable); a unit file not found where stored is looked for "
                       "next to the file that holds its stub, then by its file name there and in these directories, "
                       "without regard to case")
        ->type_name("DIR")
        ->allow_extra_args(false);
    command.add_flag("--strict", options.load.strict, "a unit file that cannot be found makes the model fail (exit 1)");
    command.add_option("--threads", options.load.threads,
                       "threads that read unit files and large main files, index, bind and count references, "
                       "and write exports (0, the default: one per core; 1: all in turn on one thread); the "
                       "model, its diagnostics and the output are the same")
        ->type_name("N");
}

void AddFormat(CLI::App& command, tOptions& options) {
    command.add_option("--format", options.format, "text (the default) or one JSON document")
        ->transform(CLI::CheckedTransformer(std::map<std::string, tFormat>{{"text", tFormat::Text},
                                                                           {"json", tFormat::Json}}));
}

enum class tOutput { Text, TextOrJson };

// A command that loads the models named by its operands.
CLI::App* AddCommand(CLI::App& app, tOptions& options, const std::string& name, const std::string& description,
                     tOutput output, const std::string& codePageFlag = "--codepage") {
    CLI::App* command = app.add_subcommand(name, description);
    command->callback([&options, name] { options.command = name; });
    command->add_option("MODEL", options.models, "the main files")->required();
    AddModelOptions(*command, options, codePageFlag);
    if (output == tOutput::TextOrJson) AddFormat(*command, options);
    return command;
}

// The diagrams a command works on: all, or those named.
void AddDiagramFilter(CLI::App& command, tOptions& options) {
    command.add_option("--diagram", options.diagram, "only the diagrams with this name, qualified name or quid")
        ->type_name("NAME|QUID");
}

// The directory a command writes its files into.
void AddOutputDirectory(CLI::App& command, tOptions& options, bool required) {
    command
        .add_option("-o,--output", options.outputFile,
                    required ? "the directory to write into (made if missing)"
                             : "the directory to write into (made if missing; default .)")
        ->type_name("DIR")
        ->required(required);
}

}  // namespace

void DefineCommands(CLI::App& app, tOptions& options) {
    app.require_subcommand(1);
    app.footer(
        "Exit status: 0 clean, 1 the model has errors (a diagnostic of severity Error or worse; with --strict also "
        "a unit file that could not be loaded), 2 a usage error, an input that cannot be read or an output that "
        "cannot be written.");

    AddCommand(app, options, "check", "load, bind and report every diagnostic with a summary", tOutput::TextOrJson);

    CLI::App* print = AddCommand(app, options, "print",
                                 "print the whole model as indented text (UTF-8); models nested more than 1000 "
                                 "levels deep are refused: use export",
                                 tOutput::Text);
    print->add_option("-o,--output", options.outputFile, "write to FILE instead of standard output")
        ->type_name("FILE");

    CLI::App* refs =
        AddCommand(app, options, "refs", "list references with what they are bound to", tOutput::TextOrJson);
    refs->add_flag("--unresolved", options.unresolvedOnly,
                   "only the references left unbound that name something (each with why: dangling, in a missing "
                   "unit, or an unmodelled type)");

    CLI::App* find = AddCommand(app, options, "find",
                                "find objects by quid, qualified name (Pkg::Class), simple name anywhere, or a "
                                "pattern with * and ?",
                                tOutput::TextOrJson);
    find->get_option("MODEL")->description("the main files, then the name looked for");
    find->callback([&options] {
        // Checked here rather than by a count on MODEL, so that -h after one
        // operand still asks for help.
        if (options.models.size() < 2) {
            throw CLI::ValidationError("MODEL", "find needs a model file and then the name looked for");
        }
        options.command = "find";
        options.name = options.models.back();
        options.models.pop_back();
    });

    AddCommand(app, options, "stats", "count objects per class and diagrams per kind", tOutput::TextOrJson);

    AddCommand(app, options, "outline",
               "the model as its authors meant it: packages, classes with attributes and operations, associations, "
               "relationships, use cases, state machines (JSON: lum-outline/1, schema/lum-outline-1.schema.json)",
               tOutput::TextOrJson);

    CLI::App* render = AddCommand(app, options, "render",
                                  "draw diagrams as pictures: one SVG (or PNG, through rsvg-convert) per diagram, "
                                  "named after its qualified name",
                                  tOutput::Text);
    AddDiagramFilter(*render, options);
    AddOutputDirectory(*render, options, false);
    render->add_option("--format", options.imageFormat, "svg (the default) or png")->check(CLI::IsMember({"svg", "png"}));
    render->add_flag("--list", options.list, "list the diagrams with kind and element count instead");
    render->add_flag("--stored-sequence", options.storedSequence,
                     "number messages with their stored sequence (1.2.1) instead of their order in the diagram (4)");

    CLI::App* xmi = AddCommand(app, options, "xmi",
                               "the model as one UML document in XMI: Eclipse UML2 (.uml, the default) or OMG UML 2.5.1 "
                               "with its diagrams (.xmi)",
                               tOutput::Text);
    xmi->add_option("-o,--output", options.outputFile, "the file to write")->type_name("FILE")->required();
    xmi->add_option("--flavour", options.xmiFlavour, "eclipse (the default) or omg")
        ->check(CLI::IsMember({"eclipse", "omg"}));

    CLI::App* papyrus = AddCommand(app, options, "papyrus",
                                   "the model with its diagrams for Eclipse Papyrus: NAME.uml (as xmi writes it), "
                                   "NAME.notation (every diagram laid out as stored) and NAME.di, NAME being the "
                                   "first model file's name; open NAME.di in Papyrus. Lists what Papyrus cannot show",
                                   tOutput::Text);
    AddOutputDirectory(*papyrus, options, true);

    CLI::App* plantuml = AddCommand(app, options, "plantuml",
                                    "one PlantUML file per class, use-case, state, activity, component and "
                                    "deployment diagram, holding what the diagram shows",
                                    tOutput::Text);
    AddDiagramFilter(*plantuml, options);
    AddOutputDirectory(*plantuml, options, true);

    CLI::App* site = AddCommand(app, options, "site",
                                "a static web site of the model (HTML, CSS and a little JavaScript, opened from the "
                                "file system): a package tree, a page per package, classifier, use case, component, "
                                "node and diagram, and a search box",
                                tOutput::Text);
    AddOutputDirectory(*site, options, true);

    CLI::App* diff = AddCommand(app, options, "diff",
                                "what changed from OLD to NEW, element by element: added, removed, renamed, moved "
                                "and changed elements by package (JSON: lum-diff/1, schema/lum-diff-1.schema.json); "
                                "also takes git's seven arguments of an external diff driver. Exit status: 0 the "
                                "same, 1 different (0 under git), 2 a usage error or a model that cannot be read",
                                tOutput::TextOrJson);
    diff->get_option("MODEL")->description(
        "the two versions, OLD and NEW (or git's PATH OLD-FILE OLD-HEX OLD-MODE NEW-FILE NEW-HEX NEW-MODE)");
    diff->callback([&options] {
        options.command = "diff";
        if (options.models.size() == 7) {
            options.diffPath = options.models[0];
            options.models = {options.models[1], options.models[4]};
        } else if (options.models.size() != 2) {
            throw CLI::ValidationError("MODEL", "diff takes two models, OLD and NEW, or git's seven arguments");
        }
    });
    diff->add_flag("--with-layout", options.withLayout,
                   "also compare where diagrams draw their symbols: moved or resized beyond the tolerance");
    diff->add_option("--layout-tolerance", options.layoutTolerance,
                     "units a symbol may move or grow before it counts (default 10)")
        ->check(CLI::NonNegativeNumber);

    CLI::App* exported = AddCommand(app, options, "export",
                                    "the whole model as one JSON document (lum-export/1, described by "
                                    "schema/lum-export-1.schema.json)",
                                    tOutput::Text);
    exported->add_option("-o,--output", options.outputFile, "write to FILE instead of standard output")
        ->type_name("FILE");
    exported->add_flag("--compact", options.compact, "no indentation or spaces: a smaller file, written faster");

    CLI::App* write = AddCommand(app, options, "write",
                                 "write the model back in the notation: every loaded file under DIR, unit files in "
                                 "their folders relative to the main file, each change reported",
                                 tOutput::Text, "--read-codepage");
    write->add_option("-o,--output", options.outputFile, "the directory to write into")->type_name("DIR");
    write
        ->add_option_function<std::string>(
            "--codepage",
            [&options](const std::string& value) {
                options.writeCodePage = value == "utf-8" ? 65001 : static_cast<unsigned>(std::stoul(value));
            },
            "the code page of the text written (default: the one the model was read in); the header's charSet "
            "follows")
        ->type_name("N|utf-8")
        ->check(CLI::IsMember({"utf-8"}) | CLI::Range(1u, 65535u));
    write
        ->add_option_function<std::vector<std::string>>(
            "--relocate",
            [&options](const std::vector<std::string>& definitions) {
                for (const std::string& definition : definitions) options.relocations.push_back(SplitDefinition(definition));
            },
            "stored unit paths that name $SYMBOL name NEWPATH instead (another symbol or a path; repeatable)")
        ->type_name("SYMBOL=NEWPATH")
        ->allow_extra_args(false)
        ->check(Definition("--relocate"));
    write->add_flag("--relative", options.relative,
                    "stored unit paths relative to the file that holds each stub, so the model loads without a "
                    "path map");
    write->add_flag("--in-place", options.inPlace,
                    "replace the files the model was read from (each through a temporary file renamed over it)");
    write->callback([&options] {
        if (options.outputFile.empty() == !options.inPlace) {
            throw CLI::ValidationError("-o", "write needs either -o DIR or --in-place");
        }
        options.command = "write";
    });
}

}  // namespace lumcli
