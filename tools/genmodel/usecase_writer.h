#pragma once
// Writes a package of the use case view: actors (classes with the "Actor"
// stereotype), use cases with long documentation and now and then a
// generalization, associations joining actors to their use cases, and a use
// case diagram showing them all.

#include "model_context.h"
#include "notation_writer.h"
#include "unit_writer.h"

namespace genmodel {

void WriteUseCasePackage(tModelContext& context, tNotationWriter& parent, int depth, const tPackagePlace& place);

}  // namespace genmodel
