#pragma once
// The words of a generated model: names of packages, classes, members,
// states, use cases and actors, and documentation sentences, some with
// characters of code page 1252 beyond ASCII (written as their bytes).

#include <string>
#include <string_view>
#include <vector>

#include "random.h"

namespace genmodel {

std::string PackageName(tRandom& random);
std::string ClassName(tRandom& random);
std::string MemberName(tRandom& random);     // lowerCamel: attributes, parameters, roles
std::string OperationName(tRandom& random);
std::string AssociationName(tRandom& random);
std::string StateName(tRandom& random);
std::string EventName(tRandom& random);
std::string UseCaseName(tRandom& random);
std::string ActorName(tRandom& random);
std::string DiagramName(tRandom& random);
// A type the model does not define, written as a bare name.
std::string_view PrimitiveTypeName(tRandom& random);

// Sentences about `subject`, one per line.
std::vector<std::string> Documentation(tRandom& random, std::string_view subject, int lines);

}  // namespace genmodel
