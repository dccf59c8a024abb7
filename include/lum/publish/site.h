#pragma once
// A static web site of a model: plain HTML pages, one style sheet and a
// little JavaScript, opened straight from the file system (no server, no
// network). index.html holds the package tree; e/N.html is the page of
// each package, classifier, use case, component, node and diagram; a
// diagram page embeds the diagram's SVG with every symbol linked to the page
// of what it shows. assets/index.js (a global, so that pages opened from
// file:// load it without fetch) holds every named element for the search
// box, assets/tree.js the package tree for the side bar. Model texts are
// escaped everywhere; pages are written one at a time, so memory stays that
// of the model and its view.

#include "lum/export.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "lum/document/model.h"

LUM_API_BEGIN
namespace lum::publish {

struct SiteSummary {
    bool ok = true;                // false when a file could not be written
    std::size_t pages = 0;         // element pages, index.html not counted
    std::size_t diagrams = 0;      // diagram pages among them
    std::size_t indexEntries = 0;  // names in the search index
    std::uintmax_t bytes = 0;      // of every file written
    std::string error;             // which file could not be written
};

// Writes the site of a loaded model into `directory` (made if missing); stops
// at the first file that cannot be written.
SiteSummary WriteSite(const Model& model, const std::filesystem::path& directory);

}  // namespace lum::publish
LUM_API_END
