#pragma once

#include <QByteArray>

#include <functional>
#include <map>

class CRefCountObject;

// The classes an archive may name, by class tag. The value containers are
// known from the start; each layer registers its own classes at start-up.
class ArchiveClassRegistry
{
public:
    using Factory = std::function<CRefCountObject*()>;

    static ArchiveClassRegistry& instance();

    void registerClass(const QByteArray& className, Factory factory);
    bool isRegistered(const QByteArray& className) const;
    // A new object of the class, or null when the tag is unknown.
    CRefCountObject* create(const QByteArray& className) const;

private:
    ArchiveClassRegistry();
    std::map<QByteArray, Factory> m_factories;
};
