#include "NotificationCenter.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

const QStringView kPing = u"PingNotification";
const QStringView kOther = u"OtherNotification";

struct Listener : NotificationObserver
{
    int calls = 0;
    const void* lastSender = nullptr;
    void* lastInformation = nullptr;
    std::function<void()> onPing;

    void ping(const Notification& n)
    {
        ++calls;
        lastSender = n.sender;
        lastInformation = n.information;
        if (onPing)
            onPing();
    }
    void pong(const Notification&) { ++calls; }
};

NotificationCenter& center()
{
    return NotificationCenter::defaultCenter();
}

TEST(NotificationCenter, SenderFilter)
{
    int s = 0, t = 0;
    Listener filtered, open;
    center().addObserver(&filtered, &Listener::ping, kPing, &s);
    center().addObserver(&open, &Listener::ping, kPing);
    int info = 7;
    center().postNotification(kPing, &t);
    EXPECT_EQ(filtered.calls, 0);
    EXPECT_EQ(open.calls, 1);
    center().postNotification(kPing, &s, &info);
    EXPECT_EQ(filtered.calls, 1);
    EXPECT_EQ(filtered.lastSender, &s);
    EXPECT_EQ(filtered.lastInformation, &info);
    EXPECT_EQ(open.calls, 2);
    center().postNotification(kOther, &s);
    EXPECT_EQ(filtered.calls, 1);
}

TEST(NotificationCenter, DuplicateRegistrationIsIgnoredButOtherHandlersCount)
{
    Listener l;
    center().addObserver(&l, &Listener::ping, kPing);
    center().addObserver(&l, &Listener::ping, QString("PingNotification"));
    center().addObserver(&l, &Listener::pong, kPing);
    center().postNotification(kPing);
    EXPECT_EQ(l.calls, 2);
}

TEST(NotificationCenter, RemoveByNameOrAll)
{
    Listener l;
    center().addObserver(&l, &Listener::ping, kPing);
    center().addObserver(&l, &Listener::ping, kOther);
    center().removeObserver(&l, kOther);
    center().postNotification(kOther);
    center().postNotification(kPing);
    EXPECT_EQ(l.calls, 1);
    center().removeObserver(&l);
    center().postNotification(kPing);
    EXPECT_EQ(l.calls, 1);
}

TEST(NotificationCenter, DestroyedObserversAreNeverCalled)
{
    const int before = center().observerCount();
    {
        Listener l;
        center().addObserver(&l, &Listener::ping, kPing);
        EXPECT_EQ(center().observerCount(), before + 1);
    }
    EXPECT_EQ(center().observerCount(), before);
    center().postNotification(kPing);
}

TEST(NotificationCenter, ObserversChangingTheListDuringAPost)
{
    Listener first, added, removed, last;
    std::vector<std::unique_ptr<Listener>> many;
    center().addObserver(&first, &Listener::ping, kPing);
    center().addObserver(&removed, &Listener::ping, kPing);
    center().addObserver(&last, &Listener::ping, kPing);
    first.onPing = [&] {
        // Adds itself again, a new observer and enough others to move the list.
        center().addObserver(&added, &Listener::ping, kPing);
        for (int i = 0; i < 64; ++i) {
            many.push_back(std::make_unique<Listener>());
            center().addObserver(many.back().get(), &Listener::ping, kPing);
        }
        center().removeObserver(&removed);
        center().removeObserver(&first);
    };
    center().postNotification(kPing);
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(added.calls, 0) << "added during the post: not called for it";
    EXPECT_EQ(removed.calls, 0) << "removed during the post: not called afterwards";
    EXPECT_EQ(last.calls, 1);
    for (const auto& l : many)
        EXPECT_EQ(l->calls, 0);

    first.onPing = nullptr;
    center().postNotification(kPing);
    EXPECT_EQ(added.calls, 1);
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(last.calls, 2);
}

TEST(NotificationCenter, ObserverDestroyedByAnotherDuringAPost)
{
    auto victim = std::make_unique<Listener>();
    Listener killer;
    center().addObserver(&killer, &Listener::ping, kPing);
    center().addObserver(victim.get(), &Listener::ping, kPing);
    killer.onPing = [&] { victim.reset(); };
    center().postNotification(kPing);
    EXPECT_EQ(killer.calls, 1);
    EXPECT_FALSE(victim);
}

} // namespace
