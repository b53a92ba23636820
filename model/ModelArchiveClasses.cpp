#include "ModelArchiveClasses.h"

#include "ArchiveClassRegistry.h"
#include "CSCaptionElement.h"
#include "CSSFXChar.h"
#include "CSSFXElement.h"
#include "CSStylesheet.h"

void registerModelArchiveClasses()
{
    ArchiveClassRegistry& registry = ArchiveClassRegistry::instance();
    registry.registerClass("CSStylesheet", [] { return CSStylesheet::emptyStylesheet(); });
    registry.registerClass(CSCaptionElement::kClassName, [] { return new CSCaptionElement; });
    registry.registerClass(CSSFXElement::kClassName, [] { return new CSSFXElement; });
    registry.registerClass(CSSFXChar::kClassName, [] { return new CSSFXChar; });
}
