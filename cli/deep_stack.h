#pragma once
// Work that recurses once per level of a model's nesting (binding its
// references walks it recursively) runs on a thread of its own whose stack
// is reserved for the model's depth. Only the pages the walk touches cost
// memory, so a model nested a million levels deep binds like any other.

#include <cstddef>
#include <functional>

namespace lumcli {

// The stack reserved for a recursive walk of objects nested `depth` levels.
std::size_t StackForDepth(std::size_t depth);

// Runs `work` on a new thread with a stack of `bytes` and waits for it; an
// exception it throws is thrown again here. False, with `work` not run,
// when the system cannot give a thread that stack.
bool RunWithStack(std::size_t bytes, const std::function<void()>& work);

}  // namespace lumcli
