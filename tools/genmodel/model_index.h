#pragma once
// tModelIndex: where the logical packages, classes and associations of a
// generated model lie in its files (parsed into tNotationTree), their
// qualified names as the diff writes them, and what the class diagrams draw:
// the diagrams each element is shown on, the elements notes are attached to.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "notation_tree.h"

namespace genmodel {

// One model file: its path, text and objects.
struct tModelFile {
    std::string path;
    std::string text;
    std::unique_ptr<tNotationTree> tree;
};

// An object of a file: the file's index and the node's.
struct tPlace {
    int file = -1;
    int node = -1;
};

struct tPackageEntry {
    tPlace at;
    std::string path;
    int models = -1;  // its logical_models list
};

struct tClassEntry {
    tPlace at;
    int package = -1;  // into tModelIndex::packages
    std::string name;
    std::string path;
    std::string quid;
};

struct tAssociationEntry {
    tPlace at;
    int package = -1;
    std::string name;
    std::string quid;
    std::vector<int> roles;  // the Role nodes
};

class tModelIndex {
public:
    // `unitPackages`: the qualified name of the package each unit file holds.
    tModelIndex(const std::vector<tModelFile>& files, const std::map<std::string, std::string>& unitPackages);

    std::vector<tPackageEntry> packages;  // of the logical view, the data types aside
    std::vector<tClassEntry> classes;
    std::vector<tAssociationEntry> associations;
    std::map<std::string, std::set<std::string>> shownOn;  // quid -> the class diagrams drawing it
    std::set<std::string> annotated;                        // quids of elements a note is attached to
    std::map<std::string, std::string> types;               // the data types: name -> quid

private:
    void Walk(const std::vector<tModelFile>& files, int file, int node, const std::string& package);
    void Diagram(const tNotationTree& tree, int node, const std::string& path);

    std::map<std::string, int> m_packageAt;  // path -> index into packages
};

}  // namespace genmodel
