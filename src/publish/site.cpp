#include "lum/publish/site.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "lum/text/utf8.h"
#include "publish/site_assets.h"
#include "publish/site_pages.h"

namespace lum::publish {

namespace {

using detail::tSiteIndex;

// A name as one line of the search index.
std::string OneLine(const uml::Element& element) {
    std::string name = detail::DisplayName(element);
    for (char& c : name)
        if (c == '\n' || c == '\r') c = ' ';
    return name;
}

bool Indexed(uml::Kind kind) {
    switch (kind) {
        case uml::Kind::Parameter:
        case uml::Kind::AssociationEnd:
        case uml::Kind::Relationship:
        case uml::Kind::Transition:
        case uml::Kind::Note:
        case uml::Kind::Message:
        case uml::Kind::ObjectFlow: return false;
        default: return true;
    }
}

// LUM_INDEX: the names, one per line, grouped by kind word ("kinds" holds
// each word with the number of names in its group); per name where it is
// shown, as a page number with the anchor of a row ("12", "12#m4"); the
// page titles by page number. A name's page is written without "e/" and
// ".html", which keeps the index of a large model small.
std::size_t WriteSearchIndex(const tSiteIndex& site, std::ostream& out) {
    struct tGroup {
        std::string kind, names, refs;
        std::size_t count = 0;
    };
    std::vector<tGroup> groups;
    for (int k = 0; k < uml::kKindCount; ++k) {
        if (!Indexed(static_cast<uml::Kind>(k))) continue;
        for (const uml::Element* element : site.view.All(static_cast<uml::Kind>(k))) {
            if (element->name.GetLength() == 0) continue;
            std::string href = site.Href(element);
            if (href.empty()) continue;
            href.erase(href.find(".html"), 5);
            const std::string kind = detail::KindWord(*element);
            auto group = std::find_if(groups.begin(), groups.end(), [&](const tGroup& g) { return g.kind == kind; });
            if (group == groups.end()) group = groups.insert(groups.end(), tGroup{kind, {}, {}, 0});
            if (group->count++ != 0) {
                group->names += '\n';
                group->refs += '\n';
            }
            group->names += OneLine(*element);
            group->refs += href;
        }
    }
    std::string titles;
    for (std::size_t page = 0; page < site.pages.size(); ++page) {
        if (page != 0) titles += '\n';
        titles += OneLine(*site.pages[page]);
    }
    std::string names, refs;
    std::size_t entries = 0;
    out << "var LUM_INDEX={\"kinds\":[";
    for (const tGroup& group : groups) {
        out << (entries != 0 ? "," : "") << '[' << JsonQuote(group.kind) << ',' << group.count << ']';
        if (entries != 0) {
            names += '\n';
            refs += '\n';
        }
        names += group.names;
        refs += group.refs;
        entries += group.count;
    }
    out << "],\n\"titles\":" << JsonQuote(titles) << ",\n\"names\":" << JsonQuote(names)
        << ",\n\"refs\":" << JsonQuote(refs) << "};\n";
    return entries;
}

// LUM_TREE: the packages as [page, name, [children]], top down.
void WriteTree(const tSiteIndex& site, std::ostream& out) {
    struct tStep {
        const uml::Element* element;
        bool first;
    };
    out << "var LUM_TREE=[";
    std::vector<tStep> stack;
    for (auto model = site.view.Models().rbegin(); model != site.view.Models().rend(); ++model)
        stack.push_back({*model, model + 1 == site.view.Models().rend()});
    while (!stack.empty()) {
        const tStep step = stack.back();
        stack.pop_back();
        if (step.element == nullptr) {
            out << "]]";
            continue;
        }
        if (!step.first) out << ',';
        out << '[' << site.PageOf(step.element) << ',' << JsonQuote(OneLine(*step.element)) << ",[";
        stack.push_back({nullptr, false});
        std::vector<const uml::Element*> packages;
        for (const uml::Element* member : step.element->members)
            if (member->kind == uml::Kind::Package) packages.push_back(member);
        for (std::size_t i = packages.size(); i-- > 0;) stack.push_back({packages[i], i == 0});
    }
    out << "];\n";
}

// Writes one file through `write`; false, with the error set, when it cannot be written.
template <class Write>
bool WriteFile(const std::filesystem::path& path, SiteSummary& summary, Write write) {
    std::ofstream file(path, std::ios::binary);
    write(file);
    file.flush();
    if (!file) {
        summary.ok = false;
        summary.error = "cannot write " + path.string();
        return false;
    }
    summary.bytes += static_cast<std::uintmax_t>(file.tellp());
    return true;
}

}  // namespace

SiteSummary WriteSite(const Model& model, const std::filesystem::path& directory) {
    SiteSummary summary;
    std::error_code error;
    std::filesystem::create_directories(directory / "e", error);
    std::filesystem::create_directories(directory / "assets", error);
    const tSiteIndex site(model);
    const bool written =
        WriteFile(directory / "assets" / "site.css", summary, [](std::ostream& out) { out << detail::kSiteCss; }) &&
        WriteFile(directory / "assets" / "site.js", summary, [](std::ostream& out) { out << detail::kSiteJs; }) &&
        WriteFile(directory / "assets" / "tree.js", summary, [&](std::ostream& out) { WriteTree(site, out); }) &&
        WriteFile(directory / "assets" / "index.js", summary,
                  [&](std::ostream& out) { summary.indexEntries = WriteSearchIndex(site, out); }) &&
        WriteFile(directory / "index.html", summary, [&](std::ostream& out) { detail::WriteHome(site, out); });
    if (!written) return summary;
    for (std::size_t page = 0; page < site.pages.size(); ++page) {
        if (!WriteFile(directory / "e" / (std::to_string(page) + ".html"), summary,
                       [&](std::ostream& out) { detail::WritePage(site, static_cast<long>(page), out); }))
            return summary;
        ++summary.pages;
        if (site.pages[page]->kind == uml::Kind::Diagram) ++summary.diagrams;
    }
    return summary;
}

}  // namespace lum::publish
