#pragma once
// The raw model as one JSON document, format "lum-export/1" (described by
// schema/lum-export-1.schema.json), written while walking: every object
// gets an id, its position in a depth-first walk of the files; features
// come in the metamodel's order, links as nested arrays, references as
// their stored text with the id of their target.

#include "lum/export.h"

#include <cstddef>
#include <ostream>

#include "lum/document/model.h"
#include "lum/text/json_writer.h"

LUM_API_BEGIN
namespace lum::json {

struct Options {
    bool compact = false;  // no indentation or spaces: smaller and faster to write
    // Threads that write the document, the calling thread included: 0 for
    // one per core, 1 to write it all on the calling thread. The document is
    // the same byte for byte whatever the number.
    unsigned threads = 0;
    // The most objects one thread writes at a time, 0 for a size that suits
    // the model; a model of fewer than twice that many is written on the
    // calling thread.
    std::size_t objectsPerPart = 0;
};

// Writes the whole model; answers false when the stream failed.
bool WriteJson(const Model& model, std::ostream& out, const Options& options = {});

// The model's diagnostics as the member "diagnostics" of the open object.
void WriteDiagnostics(const Model& model, JsonWriter& json);

}  // namespace lum::json
LUM_API_END
