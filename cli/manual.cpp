#include "manual.h"

#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include <lum/version.h>

namespace lumcli {

namespace {

// Text as roff shows it: backslashes doubled, hyphens as minus signs, and a
// line that would start with a control character guarded.
std::string Roff(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::vector<const CLI::App*> Commands(const CLI::App& app) {
    return app.get_subcommands([](const CLI::App*) { return true; });
}

// The options a user types: not the positional operands, not the hidden ones.
std::vector<const CLI::Option*> Flags(const CLI::App& command) {
    return command.get_options(
        [](const CLI::Option* option) { return option->nonpositional() && !option->get_group().empty(); });
}

std::string Synopsis(const CLI::App& command) {
    std::string line = "lum " + command.get_name() + " [OPTIONS]";
    for (const CLI::Option* option : command.get_options([](const CLI::Option* o) { return !o->nonpositional(); }))
        line.append(" ").append(option->get_name(true)).append("...");
    return line;
}

// An option's names as typed ("-o", "--output").
std::vector<std::string> Names(const CLI::Option& option) {
    std::vector<std::string> names;
    for (const std::string& name : option.get_snames()) names.push_back("-" + name);
    for (const std::string& name : option.get_lnames()) names.push_back("--" + name);
    return names;
}

// What an option's value is called ("FILE", "N|auto"), without the checks
// CLI11 appends after a colon.
std::string Operand(const CLI::Option& option) {
    const std::string type = option.get_type_name();
    return option.get_expected_max() == 0 ? "" : type.substr(0, type.find(':'));
}

// The words of a completion: commands, or the option names of one command.
std::string Words(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& word : words) out += (out.empty() ? "" : " ") + word;
    return out;
}

}  // namespace

void WriteManPage(const CLI::App& app, std::ostream& out) {
    out << ".TH LUM 1 \"\" \"lum " << LUM_VERSION_STRING << "\" \"User Commands\"\n"
        << ".SH NAME\nlum \\- " << Roff(app.get_description()) << "\n"
        << ".SH SYNOPSIS\n.B lum\n.I COMMAND\n[\\fIOPTIONS\\fR] \\fIMODEL\\fR...\n.br\n.B lum \\-\\-version\n"
        << ".SH DESCRIPTION\nEach command loads the main files named, with the unit files their stubs name, binds "
           "every reference and reports on the model; \\fBdiff\\fR loads two models.\n"
        << ".SH COMMANDS\n";
    for (const CLI::App* command : Commands(app)) {
        out << ".SS \"" << Roff(Synopsis(*command)) << "\"\n" << Roff(command->get_description()) << "\n";
        for (const CLI::Option* option : Flags(*command)) {
            std::string names;
            for (const std::string& name : Names(*option)) names += (names.empty() ? "" : ", ") + name;
            out << ".TP\n.B " << Roff(names);
            if (!Operand(*option).empty()) out << " \" " << Roff(Operand(*option)) << "\"";
            out << "\n" << Roff(option->get_description()) << "\n";
        }
    }
    out << ".SH EXIT STATUS\n" << Roff(app.get_footer()) << "\n"
        << ".SH SEE ALSO\n\\fBlum COMMAND \\-\\-help\\fR, the README and docs/ of the lum sources.\n";
}

void WriteBashCompletion(const CLI::App& app, std::ostream& out) {
    std::vector<std::string> names;
    for (const CLI::App* command : Commands(app)) names.push_back(command->get_name());
    out << "# bash completion for lum, written by `lum --bash-completion`\n"
        << "_lum() {\n"
        << "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
        << "    if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
        << "        COMPREPLY=($(compgen -W \"" << Words(names) << " --help --version\" -- \"$cur\"))\n"
        << "        return\n    fi\n"
        << "    case $prev in\n"
        << "        --format) COMPREPLY=($(compgen -W \"text json svg png\" -- \"$cur\")); return ;;\n"
        << "        --flavour) COMPREPLY=($(compgen -W \"eclipse omg\" -- \"$cur\")); return ;;\n"
        << "        --codepage|--read-codepage) COMPREPLY=($(compgen -W \"auto 1252 65001 932 936 1251\" -- \"$cur\")); "
           "return ;;\n"
        << "        -o|--output|--pathmap|--search-dir|--diagram|-D|--relocate|--layout-tolerance)\n"
        << "            compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n"
        << "    esac\n"
        << "    local options\n"
        << "    case ${COMP_WORDS[1]} in\n";
    for (const CLI::App* command : Commands(app)) {
        std::vector<std::string> flags;
        for (const CLI::Option* option : Flags(*command))
            for (const std::string& name : Names(*option)) flags.push_back(name);
        out << "        " << command->get_name() << ") options=\"" << Words(flags) << "\" ;;\n";
    }
    out << "    esac\n"
        << "    if [[ $cur == -* ]]; then\n"
        << "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
        << "        return\n    fi\n"
        << "    # Model files: main files, unit files, and the directories that may hold them.\n"
        << "    compopt -o filenames 2>/dev/null\n"
        << "    COMPREPLY=($(compgen -d -- \"$cur\") $(compgen -f -X '!*.@(mdl|MDL|cat|CAT|sub|SUB)' -- \"$cur\"))\n"
        << "}\n"
        << "shopt -s extglob\n"
        << "complete -F _lum lum\n";
}

void AddManualOptions(CLI::App& app) {
    for (const auto& [flag, write] : {std::pair{"--manpage", &WriteManPage}, {"--bash-completion", &WriteBashCompletion}}) {
        app.add_flag_callback(flag, [&app, write = write] {
               write(app, std::cout);
               throw CLI::Success();
           })
            ->group("")
            ->trigger_on_parse();
    }
}

}  // namespace lumcli
