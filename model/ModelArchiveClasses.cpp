#include "ModelArchiveClasses.h"

#include "ArchiveClassRegistry.h"
#include "CSCaptionElement.h"
#include "CSImageElement.h"
#include "CSStylesheet.h"

void registerModelArchiveClasses()
{
    ArchiveClassRegistry& registry = ArchiveClassRegistry::instance();
    registry.registerClass("CSStylesheet", [] { return CSStylesheet::emptyStylesheet(); });
    registry.registerClass(CSCaptionElement::kClassName, [] { return new CSCaptionElement; });
    registry.registerClass(CSImageElement::kClassName, [] { return new CSImageElement; });
}
