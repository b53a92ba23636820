#include "NotificationCenter.h"

#include <algorithm>

NotificationObserver::~NotificationObserver()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

NotificationCenter& NotificationCenter::defaultCenter()
{
    // Never destroyed: observers with static lifetime unregister after main.
    static NotificationCenter* center = new NotificationCenter;
    return *center;
}

void NotificationCenter::addObserverRecord(NotificationObserver* observer, NotificationHandler handler,
                                           QStringView name, const void* senderFilter)
{
    for (const Record& record : m_records) {
        if (!record.removed && record.observer == observer && record.handler == handler
            && record.senderFilter == senderFilter && record.name == name)
            return;
    }
    m_records.push_back(Record{observer, handler, name.toString(), senderFilter, false});
}

void NotificationCenter::removeObserver(NotificationObserver* observer, QStringView name, const void* senderFilter)
{
    for (Record& record : m_records) {
        if (record.observer == observer && (name.isEmpty() || record.name == name)
            && (!senderFilter || record.senderFilter == senderFilter)) {
            record.removed = true;
            m_needsCompaction = true;
        }
    }
    compactIfIdle();
}

void NotificationCenter::compactIfIdle()
{
    if (m_postingDepth > 0 || !m_needsCompaction)
        return;
    std::erase_if(m_records, [](const Record& record) { return record.removed; });
    m_needsCompaction = false;
}

void NotificationCenter::postNotification(QStringView name, const void* sender, void* information)
{
    ++m_postingDepth;
    // Records appended during delivery lie beyond this count; removed ones are
    // only marked until no post is running, so indices stay valid.
    const std::size_t count = m_records.size();
    for (std::size_t i = 0; i < count; ++i) {
        const Record& record = m_records[i];
        if (record.removed || record.name != name)
            continue;
        if (record.senderFilter && record.senderFilter != sender)
            continue;
        // The handler may grow the list and move the records: work on a copy.
        const Notification notification{record.observer, record.handler, record.name, sender, information};
        (notification.observer->*notification.handler)(notification);
    }
    --m_postingDepth;
    compactIfIdle();
}

int NotificationCenter::observerCount() const
{
    return int(std::count_if(m_records.begin(), m_records.end(), [](const Record& r) { return !r.removed; }));
}
