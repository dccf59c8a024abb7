#pragma once
// Runs the built lum tool (through the shell) from a scratch directory of
// its own, removed afterwards, and reads what it wrote: lines and JSON.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

namespace lumcli::test {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The lines of `text` that contain `part` (all of them for "").
inline std::vector<std::string> LinesWith(const std::string& text, const std::string& part = "") {
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (Contains(line, part)) found.push_back(line);
    }
    return found;
}

// The first line of `text` that contains `part`, "" when none does.
inline std::string LineWith(const std::string& text, const std::string& part) {
    const std::vector<std::string> found = LinesWith(text, part);
    return found.empty() ? "" : found.front();
}

// The diagnostics `lum check` wrote: the lines before its summary.
inline std::vector<std::string> DiagnosticLines(const std::string& out) {
    return LinesWith(out.substr(0, out.find("\nfiles: ")));
}

inline bool IsUtf8(const std::string& text) {
    try {
        return !Json(text).dump().empty();  // dump() refuses malformed UTF-8
    } catch (const Json::exception&) {
        return false;
    }
}

// The one JSON document `text` holds; a failure, and null, when it is not one.
inline Json JsonOf(const std::string& text) {
    try {
        return Json::parse(text);
    } catch (const Json::exception& e) {
        ADD_FAILURE() << e.what() << "\n" << text;
        return Json();
    }
}

struct tRun {
    int status = -1;  // the exit status; -1 when the child did not exit normally
    std::string out, err;
    static std::vector<std::string> Lines(const std::string& text) { return LinesWith(text); }
};

inline std::string Describe(const tRun& run) {
    return "exit " + std::to_string(run.status) + "\n--- stdout ---\n" + run.out + "--- stderr ---\n" + run.err;
}

class tScratchDir {
public:
    tScratchDir() : m_path(fs::temp_directory_path() / ("lum-cli-" + std::to_string(getpid()) + "-" + Next())) {
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~tScratchDir() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    tScratchDir(const tScratchDir&) = delete;
    tScratchDir& operator=(const tScratchDir&) = delete;

    fs::path operator/(const std::string& leaf) const { return m_path / leaf; }
    // Writes a file below the directory; answers its full name.
    std::string Write(const std::string& leaf, const std::string& bytes) const {
        fs::create_directories((m_path / leaf).parent_path());
        std::ofstream(m_path / leaf, std::ios::binary | std::ios::trunc) << bytes;
        return (m_path / leaf).string();
    }

    // Runs `program` in `cwd` (below the scratch directory unless absolute).
    tRun Run(const std::string& program, const std::vector<std::string>& args, const std::string& cwd = "") const {
        const std::string out = m_path / (".out-" + Next()), err = out + ".err";
        std::string command = "cd " + Quoted(m_path / cwd) + " && exec " + Quoted(program);
        for (const std::string& arg : args) command.append(" ").append(Quoted(arg));
        command.append(" </dev/null >").append(Quoted(out)).append(" 2>").append(Quoted(err));
        const int status = std::system(command.c_str());
        tRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
        if (!WIFEXITED(status)) ADD_FAILURE() << program << " ended by signal " << WTERMSIG(status);
        fs::remove(out);
        fs::remove(err);
        return run;
    }
    tRun Lum(const std::vector<std::string>& args, const std::string& cwd = "") const {
        return Run(LUM_TOOL, args, cwd);
    }

private:
    // `text` as one word of the shell.
    static std::string Quoted(const std::string& text) {
        std::string quoted = "'";
        for (const char c : text) quoted.append(c == '\'' ? "'\\''" : std::string(1, c));
        return quoted.append("'");
    }
    static std::string Next() {
        static std::atomic<unsigned> counter{0};
        return std::to_string(counter++);
    }
    fs::path m_path;
};

// `program` run in the scratch directory (as the hostile-input tests do).
inline tRun RunProgram(const std::string& program, const std::vector<std::string>& args, const tScratchDir& scratch) {
    return scratch.Run(program, args);
}

}  // namespace lumcli::test
