#include "ArchiveClassRegistry.h"

#include "NSArray.h"
#include "NSDictionary.h"

ArchiveClassRegistry::ArchiveClassRegistry()
{
    registerClass("NSArray", [] { return new NSArray; });
    registerClass("NSDictionary", [] { return new NSDictionary; });
}

ArchiveClassRegistry& ArchiveClassRegistry::instance()
{
    static ArchiveClassRegistry registry;
    return registry;
}

void ArchiveClassRegistry::registerClass(const QByteArray& className, Factory factory)
{
    m_factories[className] = std::move(factory);
}

bool ArchiveClassRegistry::isRegistered(const QByteArray& className) const
{
    return m_factories.count(className) > 0;
}

CRefCountObject* ArchiveClassRegistry::create(const QByteArray& className) const
{
    const auto found = m_factories.find(className);
    return found == m_factories.end() ? nullptr : found->second();
}
