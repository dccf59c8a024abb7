#pragma once
// Writing a package either as a unit of its own (its file written through
// the context, a stub with the stored path left in the parent) or, in
// single-file mode, inline in the parent.

#include <functional>
#include <string>

#include "model_context.h"
#include "notation_writer.h"

namespace genmodel {

struct tPackagePlace {
    tElement element;
    std::string file;        // the unit file, relative to the model directory
    std::string storedPath;  // the path the stub holds ("$PACKAGES\billing\billing.cat")
    int nesting = 0;         // 0 for a package right below a root category
};

// The file header every model file begins with.
void WriteFileHeader(tNotationWriter& out);

// `body` writes the "(object Class_Category ..." object at the depth it is
// given, with is_unit set when `unit` is true.
using tPackageBody = std::function<void(tNotationWriter& out, int depth, bool unit)>;
void WritePackage(tModelContext& context, tNotationWriter& parent, int depth, const tPackagePlace& place,
                  const tPackageBody& body);

// "Billing Core" -> "billing_core".
std::string FileStem(const std::string& name);

}  // namespace genmodel
