#include "model_index.h"

namespace genmodel {

namespace {

constexpr std::string_view kTypesPackage = "Logical View::Foundation Types";

bool InLogicalView(const std::string& path) { return path.rfind("Logical View::", 0) == 0 && path != kTypesPackage; }

}  // namespace

tModelIndex::tModelIndex(const std::vector<tModelFile>& files, const std::map<std::string, std::string>& unitPackages) {
    for (int file = 0; file < static_cast<int>(files.size()); ++file) {
        const auto unit = unitPackages.find(files[static_cast<std::size_t>(file)].path);
        const std::string package = unit != unitPackages.end() ? unit->second : std::string();
        const tNotationTree& tree = *files[static_cast<std::size_t>(file)].tree;
        for (int node = 0; node < static_cast<int>(tree.Nodes().size()); ++node)
            if (tree.Node(node).parent < 0) Walk(files, file, node, package);
    }
}

// `package` is the qualified name of the category enclosing `node`; for the
// top object of a unit file, the name of the category the file holds.
void tModelIndex::Walk(const std::vector<tModelFile>& files, int file, int node, const std::string& package) {
    const tNotationTree& tree = *files[static_cast<std::size_t>(file)].tree;
    const tNode& n = tree.Node(node);
    std::string inside = package;
    if (n.keyword == "object" && n.type == "Class_Category") {
        const std::string name(tree.Name(node));
        if (n.parent < 0 && !package.empty()) inside = package;
        else if (n.key == "root_category" || n.key == "root_usecase_package") inside = name;
        else inside = package + "::" + name;
        const int models = tree.Child(node, "logical_models");
        if (models >= 0 && InLogicalView(inside)) {
            m_packageAt[inside] = static_cast<int>(packages.size());
            packages.push_back({{file, node}, inside, models});
        }
    }
    const tNode* list = n.parent >= 0 ? &tree.Node(n.parent) : nullptr;
    if (n.keyword == "object" && list != nullptr && list->key == "logical_models") {
        const std::string name(tree.Name(node));
        const std::string quid(tree.FeatureText(node, "quid"));
        if (inside == kTypesPackage && n.type == "Class") types[name] = quid;
        if (const auto found = m_packageAt.find(inside); found != m_packageAt.end()) {
            const int owner = found->second;
            if (n.type == "Class") classes.push_back({{file, node}, owner, name, inside + "::" + name, quid});
            if (n.type == "Association") {
                std::vector<int> roles;
                if (const int list = tree.Child(node, "roles"); list >= 0) roles = tree.Node(list).children;
                associations.push_back({{file, node}, owner, name, quid, std::move(roles)});
            }
        }
    }
    if (n.keyword == "object" && list != nullptr && list->key == "logical_presentations")
        Diagram(tree, node, inside + "::" + std::string(tree.Name(node)));
    for (int child : n.children) Walk(files, file, child, inside);
}

void tModelIndex::Diagram(const tNotationTree& tree, int node, const std::string& path) {
    std::map<std::string_view, std::string_view> views;  // label -> quidu
    std::vector<std::string_view> attached;               // the labels notes are attached to
    std::vector<int> stack{node};
    while (!stack.empty()) {
        const int at = stack.back();
        stack.pop_back();
        const tNode& n = tree.Node(at);
        const std::string_view quidu = tree.FeatureText(at, "quidu");
        if (!quidu.empty()) {
            shownOn[std::string(quidu)].insert(path);
            if (!n.label.empty()) views[n.label] = quidu;
        }
        if (n.type == "AttachView") attached.push_back(tree.FeatureText(at, "supplier"));
        stack.insert(stack.end(), n.children.begin(), n.children.end());
    }
    for (const std::string_view label : attached)
        if (const auto view = views.find(label); view != views.end()) annotated.emplace(view->second);
}

}  // namespace genmodel
