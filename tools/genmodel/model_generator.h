#pragma once
// GenerateModel: writes a whole model of about the requested size into a
// directory: model.mdl (the design with its use case, logical, component and
// deployment views), the packages as unit files below packages/ and
// usecases/, and the path map model.map that the stored paths need. The
// same seed gives the same bytes. In single-file mode every package is
// written inline into model.mdl instead. With edits, the files written are
// those of the model edited by ApplyEdits (model_edits.h), and the result
// lists the changes made.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model_edits.h"

namespace genmodel {

struct tGenerateOptions {
    std::size_t bytes = 10'000'000;
    std::string directory;
    std::uint32_t seed = 1;
    bool singleFile = false;
    int edits = 0;
};

struct tGenerateResult {
    std::size_t bytes = 0;  // of all model files
    int unitFiles = 0;
    int classes = 0;
    int packages = 0;  // top-level packages of the logical view
    std::vector<tExpectedChange> changes;  // the edits made, as the diff reports them
};

// Throws std::runtime_error when a file cannot be written.
tGenerateResult GenerateModel(const tGenerateOptions& options);

}  // namespace genmodel
