#pragma once
// Filters decide which objects, and which features of which classes, stay
// in a model (see ClumPruner). ClumCompositeFilter combines filters it owns
// with and, or or exclusive or, asking them in order only until the answer
// is decided.

#include <vector>

#include "lum/export.h"

LUM_API_BEGIN
namespace lum {

class ClumMetaClass;
class ClumMetaFeature;
class ClumVellumEntity;

class IlumFilter {
public:
    virtual ~IlumFilter() = default;
    // Is this feature of an object of this class kept?
    virtual bool IsEnabled(const ClumMetaClass& metaClass, const ClumMetaFeature& feature) = 0;
    // Is this object kept?
    virtual bool IsEnabled(const ClumVellumEntity* entity) = 0;
};

class ClumEnableAllFilter : public IlumFilter {
public:
    bool IsEnabled(const ClumMetaClass&, const ClumMetaFeature&) override { return true; }
    bool IsEnabled(const ClumVellumEntity*) override { return true; }
};

class ClumDisableAllFilter : public IlumFilter {
public:
    bool IsEnabled(const ClumMetaClass&, const ClumMetaFeature&) override { return false; }
    bool IsEnabled(const ClumVellumEntity*) override { return false; }
};

// Owns the filters added to it. It cannot be copied, since two composites
// would then delete the same filters; it can be moved.
class ClumCompositeFilter : public IlumFilter {
public:
    enum Operation { eAnd = 0, eOr = 1, eXor = 2 };

    explicit ClumCompositeFilter(Operation operation = eAnd) : m_operation(operation) {}
    ClumCompositeFilter(const ClumCompositeFilter&) = delete;
    ClumCompositeFilter& operator=(const ClumCompositeFilter&) = delete;
    ClumCompositeFilter(ClumCompositeFilter&& other) noexcept;
    ClumCompositeFilter& operator=(ClumCompositeFilter&& other) noexcept;
    ~ClumCompositeFilter() override;

    // Appends a non-null filter, which the composite now owns.
    void Add(IlumFilter* filter);
    // Gives a filter back to the caller (not deleted); unknown ones are ignored.
    void Remove(IlumFilter* filter);
    void Remove(unsigned index);
    // Null for an index not below Count().
    IlumFilter* Get(unsigned index) const;
    unsigned Count() const { return static_cast<unsigned>(m_filters.size()); }
    Operation GetOperation() const { return m_operation; }
    void SetOperation(Operation operation) { m_operation = operation; }

    // One filter: its answer. Otherwise the combination; empty: false.
    bool IsEnabled(const ClumMetaClass& metaClass, const ClumMetaFeature& feature) override;
    bool IsEnabled(const ClumVellumEntity* entity) override;

private:
    template <class Ask>
    bool Combine(Ask ask) const;

    std::vector<IlumFilter*> m_filters;
    Operation m_operation;
};

}  // namespace lum
LUM_API_END
