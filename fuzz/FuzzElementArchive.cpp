// The archive form of elements, as copied elements arrive in clipboard and
// drag data: objects one after another, read in one archive scope so that
// masters and clip sources among them resolve. What was read must write and
// read again.
#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CSElement.h"
#include "GraphicsArchiveClasses.h"
#include "ModelArchiveClasses.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr int kMaxObjects = 64;

// A master that adopts its dependants holds other objects of the set as
// children: the whole set goes in one teardown, each element once. The
// objects are sorted while all of them still live.
void destroyObjects(const std::vector<CRefCountObject*>& objects)
{
    std::vector<CSElement*> elements;
    std::vector<CRefCountObject*> others;
    for (CRefCountObject* object : objects) {
        if (auto* element = dynamic_cast<CSElement*>(object))
            elements.push_back(element);
        else
            others.push_back(object);
    }
    UndoableObject::clearDestructionRecord();
    for (CSElement* element : elements)
        UndoableObject::destroyOnce(element);
    UndoableObject::clearDestructionRecord();
    for (CRefCountObject* object : others)
        delete object;
}

std::vector<CRefCountObject*> readObjects(ArchiveReader& reader)
{
    std::vector<CRefCountObject*> objects;
    CSArchiveScope scope;
    while (!reader.atEnd() && !reader.failed() && int(objects.size()) < kMaxObjects) {
        CRefCountObject* object = reader.readObject();
        if (!object)
            break;
        objects.push_back(object);
    }
    return objects;
}

QByteArray writeObjects(const std::vector<CRefCountObject*>& objects)
{
    std::vector<const CSElement*> elements;
    for (CRefCountObject* object : objects) {
        if (auto* element = dynamic_cast<CSElement*>(object))
            elements.push_back(element);
    }
    ArchiveWriter writer;
    CSArchiveScope scope(elements);
    for (CRefCountObject* object : objects)
        writer.writeObject(object);
    return writer.data();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    registerGraphicsArchiveClasses();
    registerModelArchiveClasses();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ArchiveReader reader(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const std::vector<CRefCountObject*> objects = readObjects(reader);
    if (!reader.failed() && !objects.empty()) {
        ArchiveReader again(writeObjects(objects));
        const std::vector<CRefCountObject*> copies = readObjects(again);
        if (again.failed() || copies.size() != objects.size())
            __builtin_trap();
        destroyObjects(copies);
    }
    destroyObjects(objects);
    return 0;
}
