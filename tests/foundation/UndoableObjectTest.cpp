#include "UndoableObject.h"

#include <gtest/gtest.h>

#include <map>

namespace {

std::map<const void*, int>& destructions()
{
    static std::map<const void*, int> counts;
    return counts;
}

class Node : public UndoableObject
{
public:
    ~Node() override
    {
        ++destructions()[this];
        for (Node* child : children)
            destroyOnce(child);
    }
    std::vector<Node*> children;
};

TEST(UndoableObject, RetiredObjectIsDestroyedOnceEvenWhenStillReferencedElsewhere)
{
    UndoableObject::clearDestructionRecord();
    destructions().clear();
    auto* page = new Node;
    auto* comic = new Node;
    comic->children.push_back(page);
    // The page was removed from the comic: it is retired but the comic's
    // list still names it (as an undo action would).
    comic->retire(page);
    Node* pageAddress = page;
    delete comic;
    EXPECT_EQ(destructions()[pageAddress], 1);
    UndoableObject::clearDestructionRecord();
}

TEST(UndoableObject, RetireAndUnretire)
{
    UndoableObject::clearDestructionRecord();
    destructions().clear();
    Node owner;
    auto* a = new Node;
    owner.retire(a);
    owner.retire(a);
    owner.unretire(a);
    EXPECT_TRUE(owner.isRetired(a)) << "only the first occurrence goes";
    owner.unretire(a);
    EXPECT_FALSE(owner.isRetired(a));
    delete a;
    UndoableObject::clearDestructionRecord();
}

TEST(UndoableObject, DestroyOnceDestroysAnObjectOnlyOnce)
{
    UndoableObject::clearDestructionRecord();
    destructions().clear();
    auto* n = new Node;
    UndoableObject::destroyOnce(n);
    UndoableObject::destroyOnce(n);
    EXPECT_EQ(destructions()[n], 1);
    EXPECT_TRUE(UndoableObject::wasDestroyed(n));
    UndoableObject::clearDestructionRecord();
    EXPECT_FALSE(UndoableObject::wasDestroyed(n));
}

} // namespace
