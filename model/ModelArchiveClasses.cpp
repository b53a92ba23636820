#include "ModelArchiveClasses.h"

#include "ArchiveClassRegistry.h"
#include "CSStylesheet.h"

void registerModelArchiveClasses()
{
    ArchiveClassRegistry& registry = ArchiveClassRegistry::instance();
    registry.registerClass("CSStylesheet", [] { return CSStylesheet::emptyStylesheet(); });
}
