#include "CRefCountObject.h"

CRefCountObject::~CRefCountObject() = default;

const char* CRefCountObject::className() const
{
    return "CRefCountObject";
}

void CRefCountObject::writeToArchive(ArchiveWriter&) const {}

void CRefCountObject::readFromArchive(ArchiveReader&) {}

void CRefCountObject::release()
{
    if (m_refCount-- == 1)
        delete this;
}
