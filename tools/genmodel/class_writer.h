#pragma once
// tClassWriter: writes the model objects of a logical package: classes with
// their members and associations, registering each class in the context.
// It remembers what the package's diagrams must draw.

#include <string>
#include <vector>

#include "model_context.h"
#include "notation_writer.h"

namespace genmodel {

// A relationship between two classes (indices into tModelContext::classes).
struct tRelation {
    int client;
    int supplier;
    std::string quid;
};

struct tRole {
    std::string name;
    std::string quid;
    int target;
};

struct tAssociation {
    std::string name;
    std::string quid;
    tRole roles[2];
};

// What a class view shows about its class.
struct tClassFacts {
    int index;  // into tModelContext::classes
    std::string stereotype;
    std::vector<std::string> members;  // "name : Type", "name() : Type"
};

class tClassWriter {
public:
    // Objects go at `depth` (inside a logical_models list). `labels` numbers
    // the views of state diagrams within the package.
    tClassWriter(tModelContext& context, tNotationWriter& out, int depth, int& labels)
        : m_context(context), m_random(context.random), m_out(out), m_depth(depth), m_labels(labels) {}

    void Class(const std::string& packagePath);
    void Association();

    const std::vector<tClassFacts>& Classes() const { return m_classes; }
    const std::vector<tRelation>& Inheritances() const { return m_inheritances; }
    const std::vector<tRelation>& Dependencies() const { return m_dependencies; }
    const std::vector<tAssociation>& Associations() const { return m_associations; }

private:
    // A class of this package (mostly) or of an earlier one; -1 if none.
    int RelatedClass(int localPercent);
    // Writes "type" (and "quidu" when the type is modelled); returns the type's name.
    std::string TypeReference(int depth, std::string_view direction);
    void Documentation(int depth, std::string_view subject, int barsPercent, int quotedPercent);
    void Properties(int depth, int count);
    void Relationship(int depth, std::string_view list, std::string_view kind, int target, const std::string& quid);
    void Operations(int depth, tClassFacts& facts);
    void Attributes(int depth, tClassFacts& facts);

    tModelContext& m_context;
    tRandom& m_random;
    tNotationWriter& m_out;
    int m_depth;
    int& m_labels;
    std::vector<tClassFacts> m_classes;
    std::vector<tRelation> m_inheritances;
    std::vector<tRelation> m_dependencies;
    std::vector<tAssociation> m_associations;
};

}  // namespace genmodel
