#include "NSArray.h"
#include "NSDictionary.h"

#include <gtest/gtest.h>

namespace {

TEST(NSDictionary, KeysSortInUtf16CodeUnitOrder)
{
    RefPtr<NSDictionary> d(new NSDictionary);
    // U+FF21 (fullwidth A) sorts after a surrogate pair's lead unit U+D83D.
    const QString keys[] = {"b", "B", "a", "_", "Z", QString::fromUtf16(u"\uFF21"), QString::fromUtf16(u"\U0001F600"), "aa"};
    for (const QString& key : keys)
        d->setIntForKey(1, key);
    const QStringList expected{"B", "Z", "_", "a", "aa", "b", QString::fromUtf16(u"\U0001F600"), QString::fromUtf16(u"\uFF21")};
    EXPECT_EQ(d->allKeys(), expected);
}

TEST(NSDictionary, MissingLookupLeavesAnEmptyEntryThatNoOutwardFormShows)
{
    RefPtr<NSDictionary> d(new NSDictionary);
    d->setStringForKey(QStringLiteral("x"), QStringLiteral("present"));
    EXPECT_EQ(d->intForKey(QStringLiteral("absent")), 0);
    EXPECT_EQ(d->entries().size(), 2u) << "the lookup inserted an entry";
    EXPECT_EQ(d->allKeys(), QStringList{"present"});
    RefPtr<NSArray> values(d->allValues());
    EXPECT_EQ(values->count(), 1);
    EXPECT_EQ(d->count(), 1);
    EXPECT_FALSE(d->containsKey(QStringLiteral("absent")));
}

TEST(NSDictionary, CopySharesNestedContainers)
{
    RefPtr<NSDictionary> d(new NSDictionary);
    auto* nested = new NSArray;
    d->setArrayForKey(nested, QStringLiteral("list"));
    RefPtr<NSDictionary> copy(new NSDictionary(*d));
    copy->arrayForKey(QStringLiteral("list"))->addInt(1);
    EXPECT_EQ(nested->count(), 1);
    copy->setIntForKey(2, QStringLiteral("list"));
    EXPECT_EQ(d->arrayForKey(QStringLiteral("list")), nested) << "replacing in the copy leaves the original";
}

TEST(NSArray, MembershipOfObjectsIsByIdentity)
{
    RefPtr<NSArray> array(new NSArray);
    RefPtr<NSArray> member(new NSArray);
    RefPtr<NSArray> lookalike(new NSArray);
    array->addObject(NSObject(static_cast<CRefCountObject*>(member.get())));
    EXPECT_TRUE(array->containsObject(member.get()));
    EXPECT_FALSE(array->containsObject(lookalike.get()));
}

} // namespace
