#include "NSArray.h"
#include "NSDictionary.h"
#include "NSObject.h"
#include "PAFont.h"

#include <gtest/gtest.h>

namespace {

// Counts its destructions, to prove containers release exactly once.
class Probe : public CRefCountObject
{
public:
    explicit Probe(int* destroyed) : m_destroyed(destroyed) {}
    ~Probe() override { ++*m_destroyed; }

private:
    int* m_destroyed;
};

TEST(NSObject, GettersCoerceByTheTable)
{
    struct Row
    {
        const char* name;
        NSObject value;
        int intValue;
        float floatValue;
        bool boolValue;
        QString stringValue;
        PackedColor colorValue;
    };
    const Row rows[] = {
        {"empty", NSObject(), 0, 0.0f, false, QString(), kOpaqueBlack},
        {"integer", NSObject(-7), -7, -7.0f, true, "-7", kOpaqueBlack},
        {"integer zero", NSObject(0), 0, 0.0f, false, "0", kOpaqueBlack},
        {"real", NSObject(2.75f), 2, 2.75f, false, "2.75", kOpaqueBlack},
        {"negative real", NSObject(-2.75f), -2, -2.75f, false, "-2.75", kOpaqueBlack},
        {"real 0.1", NSObject(0.1f), 0, 0.1f, false, "0.1", kOpaqueBlack},
        {"big real", NSObject(1234567.0f), 1234567, 1234567.0f, false, "1.23457e+06", kOpaqueBlack},
        {"true", NSObject(true), 0, 0.0f, true, QString(), kOpaqueBlack},
        {"false", NSObject(false), 0, 0.0f, false, QString(), kOpaqueBlack},
        {"string", NSObject(QStringLiteral("42abc")), 42, 0.0f, false, "42abc", kOpaqueBlack},
        {"text string", NSObject(QStringLiteral("abc")), 0, 0.0f, false, "abc", kOpaqueBlack},
        {"colour", NSObject::withColor(0x80112233), 0, 0.0f, false, QString(), 0x80112233},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.value.intValue(), row.intValue);
        EXPECT_FLOAT_EQ(row.value.floatValue(), row.floatValue);
        EXPECT_EQ(row.value.boolValue(), row.boolValue);
        EXPECT_EQ(row.value.stringValue(), row.stringValue);
        EXPECT_EQ(row.value.colorValue(), row.colorValue);
        EXPECT_EQ(row.value.arrayValue(), nullptr);
        EXPECT_EQ(row.value.dictionaryValue(), nullptr);
        EXPECT_EQ(row.value.fontValue(), nullptr);
    }
}

TEST(NSObject, ContainerAndFontGettersOnlyForTheirKind)
{
    auto* array = new NSArray;
    const NSObject arrayValue(array);
    EXPECT_EQ(arrayValue.arrayValue(), array);
    EXPECT_EQ(arrayValue.dictionaryValue(), nullptr);
    EXPECT_EQ(arrayValue.intValue(), 0);

    const PAFont* font = PAFont::defaultFont();
    const NSObject fontValue(font);
    EXPECT_EQ(fontValue.fontValue(), font);
    EXPECT_EQ(fontValue.kind(), NSObject::Font);
    EXPECT_TRUE(fontValue.stringValue().isEmpty());
}

TEST(NSObject, CopiesShareContainersAndReleaseThemOnce)
{
    int destroyed = 0;
    {
        auto* array = new NSArray;
        NSObject first(array);
        {
            NSObject second = first;
            second.arrayValue()->addInt(5);
            EXPECT_EQ(first.arrayValue()->count(), 1) << "the array is shared, not cloned";
            EXPECT_EQ(array->retainCount(), 2);
        }
        EXPECT_EQ(array->retainCount(), 1);

        NSObject object(static_cast<CRefCountObject*>(new Probe(&destroyed)));
        NSObject copy = object;
        object = NSObject(3);
        EXPECT_EQ(destroyed, 0);
        copy.clear();
        EXPECT_EQ(destroyed, 1);
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(NSObject, StringsAreDuplicatedOnCopy)
{
    NSObject a(QStringLiteral("one"));
    NSObject b = a;
    a = NSObject(QStringLiteral("two"));
    EXPECT_EQ(b.stringValue(), u"one");
}

TEST(NSObject, AssigningAValueFromInsideItsOwnContainer)
{
    auto* array = new NSArray;
    array->addString(QStringLiteral("member"));
    NSObject holder(array);
    // The member outlives the release of the array it came from.
    holder = array->at(0);
    EXPECT_EQ(holder.stringValue(), u"member");
}

TEST(CRefCountObject, StartsAtZeroAndReleasingAtZeroDestroysNothing)
{
    int destroyed = 0;
    auto* probe = new Probe(&destroyed);
    EXPECT_EQ(probe->retainCount(), 0);
    probe->retain();
    probe->retain();
    probe->release();
    EXPECT_EQ(destroyed, 0);
    probe->release();
    EXPECT_EQ(destroyed, 1);

    auto* orphan = new Probe(&destroyed);
    orphan->release();
    EXPECT_EQ(orphan->retainCount(), -1);
    EXPECT_EQ(destroyed, 1);
    delete orphan;
}

TEST(PAFont, InternedByExactKeyAndEqualIgnoringCase)
{
    const PAFont* a = PAFont::fontWithFamily(QStringLiteral("Tahoma"), 10, false, true);
    const PAFont* b = PAFont::fontWithFamily(QStringLiteral("tahoma"), 10, false, true);
    const PAFont* c = PAFont::fontWithFamily(QStringLiteral("Tahoma"), 11, false, true);
    EXPECT_EQ(a, PAFont::fontWithFamily(QStringLiteral("Tahoma"), 10, PAFont::FontStyleBold));
    EXPECT_NE(a, b) << "a face is kept as written";
    EXPECT_EQ(b->family(), u"tahoma");
    EXPECT_NE(a, c);
    EXPECT_TRUE(a->isEqual(b));
    EXPECT_FALSE(a->isEqual(c));
    EXPECT_EQ(a->withSize(11), c);
    EXPECT_EQ(PAFont::defaultFont()->family(), u"Verdana");
    EXPECT_EQ(PAFont::defaultFont()->size(), 12);
}

} // namespace
