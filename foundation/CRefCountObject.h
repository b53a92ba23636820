#pragma once

#include <cstdint>
#include <utility>

class ArchiveWriter;
class ArchiveReader;

// Base of every shared model object. A new object starts with count 0; the
// first holder that keeps it retains it. The release that takes the count
// from 1 to 0 destroys the object; releasing at 0 only goes negative.
class CRefCountObject
{
public:
    CRefCountObject() = default;
    // A copy is a new object with a count of its own.
    CRefCountObject(const CRefCountObject&) {}
    CRefCountObject& operator=(const CRefCountObject&) { return *this; }
    virtual ~CRefCountObject();

    // The class tag used by the archive form; every archivable class overrides it.
    virtual const char* className() const;
    virtual void writeToArchive(ArchiveWriter& archive) const;
    virtual void readFromArchive(ArchiveReader& archive);

    void retain() { ++m_refCount; }
    void release();
    std::int32_t retainCount() const { return m_refCount; }

private:
    std::int32_t m_refCount = 0;
};

// Holds one retain on a CRefCountObject for the lifetime of the pointer.
template <class T>
class RefPtr
{
public:
    RefPtr() = default;
    RefPtr(T* object) : m_object(object) { if (m_object) m_object->retain(); }
    RefPtr(const RefPtr& other) : RefPtr(other.m_object) {}
    RefPtr(RefPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ~RefPtr() { if (m_object) m_object->release(); }

    RefPtr& operator=(RefPtr other) noexcept
    {
        std::swap(m_object, other.m_object);
        return *this;
    }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object = nullptr;
};
