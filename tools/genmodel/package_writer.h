#pragma once
// Writing the packages of the logical view. A package holds classes (with
// documentation, property lists, superclasses, dependencies, operations with
// parameters, attributes and now and then a state machine), associations
// with their roles, perhaps nested packages of its own, and class diagrams
// that show every class at least once with the lines between them. Its
// classes are added to the context for later packages to refer to.

#include "model_context.h"
#include "notation_writer.h"
#include "unit_writer.h"

namespace genmodel {

void WriteLogicalPackage(tModelContext& context, tNotationWriter& parent, int depth, const tPackagePlace& place);

// The package of the data types every other package uses ("Integer",
// "Money", ...); fills the context's types.
void WriteTypesPackage(tModelContext& context, tNotationWriter& parent, int depth, const tPackagePlace& place);

}  // namespace genmodel
