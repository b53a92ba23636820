#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

class NotificationObserver;

struct Notification;
using NotificationHandler = void (NotificationObserver::*)(const Notification&);

// What a handler receives.
struct Notification
{
    NotificationObserver* observer = nullptr;
    NotificationHandler handler = nullptr;
    QString name;
    const void* sender = nullptr;
    void* information = nullptr;
};

// The process-wide notification centre: delivers each post at once, on the
// posting thread, to every matching observer in registration order.
//
// Handlers may add and remove observers while a post is delivered: one added
// meanwhile is not called for that post, one removed is not called afterwards.
class NotificationCenter
{
public:
    static NotificationCenter& defaultCenter();

    // Ignored when the same observer, handler, name and sender filter are registered already.
    template <class T>
    void addObserver(T* observer, void (T::*handler)(const Notification&), QStringView name,
                     const void* senderFilter = nullptr)
    {
        addObserverRecord(observer, static_cast<NotificationHandler>(handler), name, senderFilter);
    }

    // Removes the observer's records with that name (any when empty) and that
    // sender filter (any when null).
    void removeObserver(NotificationObserver* observer, QStringView name = {}, const void* senderFilter = nullptr);

    void postNotification(QStringView name, const void* sender = nullptr, void* information = nullptr);

    int observerCount() const;

private:
    struct Record
    {
        NotificationObserver* observer;
        NotificationHandler handler;
        QString name;
        const void* senderFilter;
        bool removed;
    };

    void addObserverRecord(NotificationObserver* observer, NotificationHandler handler, QStringView name,
                           const void* senderFilter);
    void compactIfIdle();

    std::vector<Record> m_records;
    int m_postingDepth = 0;
    bool m_needsCompaction = false;
};

// Base of every observer: its destructor removes all of its registrations,
// so the centre never calls an observer that no longer exists.
class NotificationObserver
{
public:
    NotificationObserver() = default;
    NotificationObserver(const NotificationObserver&) {}
    NotificationObserver& operator=(const NotificationObserver&) { return *this; }
    virtual ~NotificationObserver();
};
