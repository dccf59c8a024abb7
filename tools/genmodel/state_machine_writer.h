#pragma once
// Writes the state machine of a class: a start state, a few named states
// with entry actions, an end state, transitions with events, guards and
// supplier references, and a state diagram drawing all of them.

#include <string_view>

#include "model_context.h"
#include "notation_writer.h"

namespace genmodel {

// As the "statemachine" feature at `depth`; `labels` numbers the views
// within the enclosing package.
void WriteStateMachine(tModelContext& context, tNotationWriter& out, int depth, std::string_view owner, int& labels);

}  // namespace genmodel
