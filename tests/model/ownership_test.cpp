// Containment: who owns a model object, how links take and give up their
// children, and what deleting an object takes with it.

#include "model/model_fixture.h"

#include <memory>

namespace lum::test {
namespace {

using Ownership = ModelTest;

TEST_F(Ownership, NewObjectIsFree)
{
    ClumOperation operation;
    EXPECT_EQ(operation.Owner(), nullptr);
    EXPECT_EQ(operation.OwningFeature(), nullptr);
    EXPECT_EQ(operation.UnsetOwner(), nullptr);
    ExpectNoMessage();
}

TEST_F(Ownership, InsertPlacesByPositionAndRemoveAtFreesTheObject)
{
    ClumClass cls;
    auto* a = new ClumOperation;
    auto* b = new ClumOperation;
    auto* c = new ClumOperation;
    cls.operations.Insert(a, -1);
    cls.operations.Insert(b, -1);
    cls.operations.Insert(c, 0);

    ASSERT_EQ(cls.operations.GetSize(), 3);
    EXPECT_EQ(cls.operations.GetAt(0), c);
    EXPECT_EQ(cls.operations.GetAt(1), a);
    EXPECT_EQ(cls.operations.Get(2), b);
    EXPECT_EQ(cls.operations.IndexOf(b), 2);
    auto* d = new ClumOperation;
    cls.operations.Insert(d, 2);
    EXPECT_EQ(cls.operations.IndexOf(d), 2);
    EXPECT_EQ(cls.operations.IndexOf(b), 3);
    delete cls.operations.RemoveAt(2);
    EXPECT_EQ(cls.operations.IndexOf(&cls), -1);
    EXPECT_FALSE(cls.operations.IsEmpty());
    EXPECT_EQ(a->Owner(), &cls);
    EXPECT_EQ(a->OwningFeature(), &cls.operations);

    std::unique_ptr<ClumVellumEntity> removed(cls.operations.RemoveAt(0));
    EXPECT_EQ(removed.get(), c);
    EXPECT_EQ(c->Owner(), nullptr);
    EXPECT_EQ(c->OwningFeature(), nullptr);
    EXPECT_EQ(cls.operations.GetSize(), 2);
    EXPECT_EQ(cls.operations.GetAt(0), a);
    EXPECT_EQ(cls.operations.IndexOf(c), -1);
    ExpectNoMessage();
}

TEST_F(Ownership, OneChildThenMoreKeepOrderAndSize)
{
    ClumClass cls;
    auto* first = new ClumOperation;
    cls.operations.Insert(first, 5);  // the first object goes in whatever the position
    EXPECT_EQ(cls.operations.GetSize(), 1);
    EXPECT_EQ(cls.operations.GetAt(0), first);

    auto* second = new ClumOperation;
    cls.operations.Insert(second, 0);
    ASSERT_EQ(cls.operations.GetSize(), 2);
    EXPECT_EQ(cls.operations.GetAt(0), second);
    EXPECT_EQ(cls.operations.GetAt(1), first);
    EXPECT_EQ(first->Owner(), &cls);

    // Emptied and filled again, the link still counts and orders correctly.
    delete cls.operations.RemoveAt(1);
    delete cls.operations.RemoveAt(0);
    EXPECT_EQ(cls.operations.GetSize(), 0);
    EXPECT_TRUE(cls.operations.IsEmpty());
    auto* third = new ClumOperation;
    cls.operations.Insert(third, -1);
    EXPECT_EQ(cls.operations.GetSize(), 1);
    EXPECT_EQ(cls.operations.GetAt(0), third);
    EXPECT_EQ(cls.operations.IndexOf(third), 0);
    ExpectNoMessage();
}

TEST_F(Ownership, SingleChildIsAnsweredAndRemovedWhateverTheIndex)
{
    ClumClass cls;
    auto* only = new ClumOperation;
    cls.operations.Insert(only, -1);
    EXPECT_EQ(cls.operations.GetAt(3), only);
    std::unique_ptr<ClumVellumEntity> removed(cls.operations.RemoveAt(7));
    EXPECT_EQ(removed.get(), only);
    EXPECT_TRUE(cls.operations.IsEmpty());
    EXPECT_EQ(cls.operations.GetAt(0), nullptr);
    ExpectNoMessage();
}

TEST_F(Ownership, RemoveAtOnAnEmptyLinkAnswersNull)
{
    ClumClass cls;
    EXPECT_EQ(cls.operations.RemoveAt(0), nullptr);
    ExpectOnlyMessage(L"Cannot remove object from the feature 'Class::operations'");
    // The name is that of the declaring class, also when reached from a subclass.
    EXPECT_EQ(cls.attributes.RemoveAt(0), nullptr);
    ExpectOnlyMessage(L"Cannot remove object from the feature 'VellumObject::attributes'");
}

TEST_F(Ownership, RefusedInsertsChangeNothing)
{
    ClumClass cls;
    ClumClass other;
    auto* held = new ClumOperation;
    cls.operations.Insert(held, -1);

    // Already owned: neither link changes, the owner stays.
    other.operations.Insert(held, -1);
    ExpectOnlyMessage(L"Cannot insert object into the feature 'Class::operations'");
    EXPECT_TRUE(other.operations.IsEmpty());
    EXPECT_EQ(cls.operations.GetSize(), 1);
    EXPECT_EQ(held->Owner(), &cls);

    // Already owned by this very link: not inserted twice.
    cls.operations.Insert(held, -1);
    ExpectOnlyMessage(L"Cannot insert object into the feature 'Class::operations'");
    EXPECT_EQ(cls.operations.GetSize(), 1);

    cls.operations.Insert(nullptr, -1);
    ExpectOnlyMessage(L"Cannot insert object into the feature 'Class::operations'");

    // Wrong class: the caller keeps the object, free.
    ClumParameter parameter;
    cls.operations.Insert(&parameter, -1);
    ExpectOnlyMessage(L"Cannot insert object into the feature 'Class::operations'");
    EXPECT_EQ(cls.operations.GetSize(), 1);
    EXPECT_EQ(parameter.OwningFeature(), nullptr);

    // A subclass of the target class is accepted.
    auto* utility = new ClumClass_Utility;
    cls.nestedClasses.Insert(utility, -1);
    EXPECT_EQ(utility->Owner(), &cls);
    ExpectNoMessage();
}

TEST_F(Ownership, UnsetOwnerDetachesFromTheLink)
{
    ClumClass cls;
    auto* a = new ClumOperation;
    auto* b = new ClumOperation;
    cls.operations.Insert(a, -1);
    cls.operations.Insert(b, -1);

    EXPECT_EQ(b->UnsetOwner(), &cls);
    std::unique_ptr<ClumVellumEntity> freed(b);
    EXPECT_EQ(b->Owner(), nullptr);
    EXPECT_EQ(cls.operations.IndexOf(b), -1);
    EXPECT_EQ(cls.operations.GetSize(), 1);
    EXPECT_EQ(b->UnsetOwner(), nullptr);

    // The last child, and a child in an inherited link.
    EXPECT_EQ(a->UnsetOwner(), &cls);
    delete a;
    EXPECT_TRUE(cls.operations.IsEmpty());
    auto* attribute = new ClumAttribute;
    cls.attributes.Insert(attribute, -1);
    EXPECT_EQ(attribute->Owner(), &cls);
    EXPECT_EQ(attribute->UnsetOwner(), &cls);
    delete attribute;
    ExpectNoMessage();
}

TEST_F(Ownership, DeletingARootDeletesItsSubtreeButNotWhatItReferences)
{
    tDeletionLog log;
    tDeletionLog referencedLog;
    auto* root = new Counted<ClumClass_Category>(log);
    auto* cls = new Counted<ClumClass>(log);
    auto* nested = new Counted<ClumClass>(log);
    auto* operation = new Counted<ClumOperation>(log);
    auto* parameter = new Counted<ClumParameter>(log);
    auto* result = new Counted<ClumClass>(referencedLog);

    root->logical_models.Insert(cls, -1);
    cls->nestedClasses.Insert(nested, -1);
    cls->operations.Insert(operation, -1);
    operation->parameters.Insert(parameter, -1);
    parameter->type.DecodeReference(L"Result");
    parameter->type.BindTo(result, -1);
    operation->result.SetTarget(result);
    ExpectNoMessage();

    delete root;
    EXPECT_EQ(log.deleted, 5);
    EXPECT_EQ(log.stillOwned, 0) << "children are unlinked before they are deleted";
    EXPECT_EQ(referencedLog.deleted, 0);
    EXPECT_EQ(result->Owner(), nullptr);
    delete result;
    EXPECT_EQ(referencedLog.deleted, 1);
}

TEST_F(Ownership, DeletingTheReferencedObjectLeavesTheReferrerIntact)
{
    auto* target = new ClumClass;
    ClumObject object;
    object.class_.SetTarget(target);
    delete target;
    EXPECT_EQ(object.class_.GetCount(), 1);  // references never own; nothing is freed twice
}

TEST_F(Ownership, EveryLinkOfEveryClassOwnsWhatItTakes)
{
    const ClumMetaProvider& provider = ClumMetaProvider::GetInstance();
    for (unsigned i = 0; i < provider.GetNumberOfMetaClasses(); ++i) {
        const ClumMetaClass& metaClass = *provider.GetMetaClass(i);
        if (metaClass.m_pfnCreate == nullptr) continue;
        std::unique_ptr<ClumVellumEntity> owner(metaClass.m_pfnCreate());
        ASSERT_EQ(&owner->GetMetaClass(), &metaClass);
        for (const ClumMetaFeature* feature : metaClass.m_allFeatures) {
            const std::wstring wide = Text(metaClass.GetName()) + L"::" + Text(feature->GetName());
            const std::string where(wide.begin(), wide.end());
            IlumFeature* member = owner->GetFeature(feature->GetName());
            ASSERT_NE(member, nullptr) << where;
            EXPECT_EQ(member->GetOwner(), owner.get()) << where;
            EXPECT_EQ(member->GetMetaFeature(), feature) << where;
            IlumLink* link = member->GetLink();
            if (link == nullptr) continue;
            // A child of the first concrete class the link accepts.
            const ClumMetaClass* childClass = nullptr;
            for (unsigned j = 0; j < provider.GetNumberOfMetaClasses() && childClass == nullptr; ++j) {
                const ClumMetaClass* candidate = provider.GetMetaClass(j);
                if (candidate->m_pfnCreate != nullptr && candidate->IsKindOf(feature->GetType())) childClass = candidate;
            }
            ASSERT_NE(childClass, nullptr) << where;
            ClumVellumEntity* child = childClass->m_pfnCreate();
            link->Insert(child, -1);
            EXPECT_EQ(child->Owner(), owner.get()) << where;
            EXPECT_EQ(child->OwningFeature(), member) << where;
            EXPECT_EQ(link->IndexOf(child), 0) << where;
        }
    }
    ExpectNoMessage();
}

}  // namespace
}  // namespace lum::test
