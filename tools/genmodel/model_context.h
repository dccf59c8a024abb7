#pragma once
// tModelContext: what the writers of one generated model share: the random
// source, quids, the classes written so far (so that later packages refer to
// earlier ones), the size reached, and where unit files go. In single-file
// mode every package is written inline into the main file instead.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "random.h"

namespace genmodel {

// An object others refer to: its name, its path from the root category
// ("Logical View::Billing::Invoice") and its quid.
struct tElement {
    std::string name;
    std::string path;
    std::string quid;
};

// A visibility relationship between two top-level packages (indices into
// tModelContext::packages), drawn as an import on the main diagram.
struct tVisibility {
    int client;
    int supplier;
    std::string quid;
};

class tModelContext {
public:
    // Receives each unit file: its path relative to the model directory
    // ('/'-separated) and its text.
    using tFileSink = std::function<void(const std::string& path, const std::string& text)>;

    tModelContext(std::uint32_t seed, std::size_t targetBytes, bool singleFile, tFileSink sink);

    std::string NewQuid();

    // Bytes written so far: finished files and the texts still open.
    std::size_t Progress() const;
    bool Full() const { return Progress() >= m_targetBytes; }
    std::size_t TargetBytes() const { return m_targetBytes; }
    // A text being written counts towards the progress until it is finished,
    // that is handed to the sink.
    void Open(const std::string& text) { m_open.push_back(&text); }
    void Finish(const std::string& path, const std::string& text);
    bool SingleFile() const { return m_singleFile; }
    int UnitFiles() const { return m_unitFiles; }

    tRandom random;
    std::vector<tElement> classes;  // every class written so far
    std::vector<tElement> types;    // the foundation data types
    std::vector<tElement> packages;  // the top-level packages
    std::vector<tVisibility> visibilities;
    int unnamed = 0;  // numbers the "$UNNAMED$n" names
    std::map<std::string, std::string> unitPackages;  // unit file -> the qualified name of its package

private:
    std::size_t m_targetBytes;
    bool m_singleFile;
    tFileSink m_sink;
    std::size_t m_finishedBytes = 0;
    std::vector<const std::string*> m_open;
    std::uint32_t m_nextQuid;
    int m_unitFiles = 0;
};

}  // namespace genmodel
