#pragma once
// Runs the lum tool as a child process and hands back what it wrote and how
// it ended, plus a scratch directory for the model files a test writes.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli/json_value.h"

extern char** environ;

namespace lumcli::test {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A directory of its own under the system's temporary directory, removed
// with everything in it when the object goes.
class tScratchDir {
public:
    tScratchDir() {
        static std::atomic<unsigned> counter{0};
        const std::string leaf = "lum-cli-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        m_path = fs::temp_directory_path() / leaf;
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~tScratchDir() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    tScratchDir(const tScratchDir&) = delete;
    tScratchDir& operator=(const tScratchDir&) = delete;

    const fs::path& Path() const { return m_path; }
    fs::path operator/(const std::string& leaf) const { return m_path / leaf; }
    // Writes a file below the directory and answers its full path as text.
    std::string Write(const std::string& leaf, const std::string& bytes) const {
        WriteFile(m_path / leaf, bytes);
        return (m_path / leaf).string();
    }

private:
    fs::path m_path;
};

struct tRun {
    int status = -1;  // the exit status, or -1 when the child did not exit normally
    std::string out;
    std::string err;

    // The lines of standard output.
    std::vector<std::string> OutLines() const { return Lines(out); }
    std::vector<std::string> ErrLines() const { return Lines(err); }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
};

// Runs `program` with `args` in the directory `cwd` (this process's when
// empty); standard input comes from `input` (a file, or /dev/null when
// empty), standard output and error go to files in `scratch`.
inline tRun RunProgram(const std::string& program, const std::vector<std::string>& args, const tScratchDir& scratch,
                       const std::string& input = "", const std::string& cwd = "") {
    static std::atomic<unsigned> counter{0};
    const unsigned n = counter++;
    const fs::path outFile = scratch / (".stdout-" + std::to_string(n));
    const fs::path errFile = scratch / (".stderr-" + std::to_string(n));

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.empty() ? "/dev/null" : input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());

    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);

    tRun run;
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << program << ": error " << spawned;
        return run;
    }
    int wstatus = 0;
    while (::waitpid(child, &wstatus, 0) < 0) {
        if (errno != EINTR) {
            ADD_FAILURE() << "waitpid failed for " << program;
            return run;
        }
    }
    if (WIFEXITED(wstatus)) run.status = WEXITSTATUS(wstatus);
    else ADD_FAILURE() << program << " ended by signal " << (WIFSIGNALED(wstatus) ? WTERMSIG(wstatus) : 0);
    run.out = ReadFile(outFile);
    run.err = ReadFile(errFile);
    fs::remove(outFile);
    fs::remove(errFile);
    return run;
}

inline tRun RunLum(const std::vector<std::string>& args, const tScratchDir& scratch) {
    return RunProgram(LUM_TOOL, args, scratch);
}

// The same, run from the directory `cwd`.
inline tRun RunLumIn(const std::string& cwd, const std::vector<std::string>& args, const tScratchDir& scratch) {
    return RunProgram(LUM_TOOL, args, scratch, "", cwd);
}

// Everything a failed expectation needs to show about a run.
inline std::string Describe(const tRun& run) {
    return "exit " + std::to_string(run.status) + "\n--- stdout ---\n" + run.out + "--- stderr ---\n" + run.err;
}

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The lines of `text` that look like diagnostics: "...: Severity: ...".
inline std::vector<std::string> DiagnosticLines(const std::string& text) {
    std::vector<std::string> found;
    for (const std::string& line : tRun::Lines(text)) {
        for (const char* severity : {": Information: ", ": Warning: ", ": Error: ", ": FatalError: ", ": InternalError: "}) {
            if (Contains(line, severity)) {
                found.push_back(line);
                break;
            }
        }
    }
    return found;
}

// The one line of `text` that contains `part` ("" when none, the first when several).
inline std::string LineWith(const std::string& text, const std::string& part) {
    for (const std::string& line : tRun::Lines(text)) {
        if (Contains(line, part)) return line;
    }
    return "";
}

// The JSON document that `text` holds; a failure (and a null value) when it
// is not exactly one well-formed document in UTF-8.
inline tJson JsonOf(const std::string& text) {
    EXPECT_TRUE(IsUtf8(text)) << "not UTF-8:\n" << text;
    try {
        return tJsonReader::Parse(text);
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what() << "\n" << text;
        return tJson();
    }
}

// `path` as the file system spells it here: backslashes read as separators.
inline std::string Slashed(std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

}  // namespace lumcli::test
