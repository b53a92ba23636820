#pragma once

#include "NotificationCenter.h"
#include "NotificationNames.h"

#include <QString>

#include <utility>
#include <vector>

// Records every stylesheet notification as (name, sender), in order.
class NotificationTally : public NotificationObserver
{
public:
    NotificationTally()
    {
        NotificationCenter& center = NotificationCenter::defaultCenter();
        center.addObserver(this, &NotificationTally::onPost, NotificationNames::StylesheetChangedNotification);
        center.addObserver(this, &NotificationTally::onPost, NotificationNames::StylesheetSubNotification);
    }

    int count(QStringView name, const void* sender = nullptr) const
    {
        int n = 0;
        for (const auto& [postedName, postedSender] : posts) {
            if (postedName == name && (!sender || postedSender == sender))
                ++n;
        }
        return n;
    }
    int changed(const void* sender = nullptr) const { return count(NotificationNames::StylesheetChangedNotification, sender); }
    int sub(const void* sender = nullptr) const { return count(NotificationNames::StylesheetSubNotification, sender); }
    int total() const { return int(posts.size()); }
    void reset() { posts.clear(); }

    std::vector<std::pair<QString, const void*>> posts;

private:
    void onPost(const Notification& notification) { posts.emplace_back(notification.name, notification.sender); }
};
