#include "ModelArchiveClasses.h"

#include "ArchiveClassRegistry.h"
#include "CSCaptionElement.h"
#include "CSCell.h"
#include "CSStylesheet.h"

void registerModelArchiveClasses()
{
    ArchiveClassRegistry& registry = ArchiveClassRegistry::instance();
    registry.registerClass("CSStylesheet", [] { return CSStylesheet::emptyStylesheet(); });
    registry.registerClass(CSCaptionElement::kClassName, [] { return new CSCaptionElement; });
    registry.registerClass(CSCell::kClassName, [] { return new CSCell; });
}
