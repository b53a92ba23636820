#include "ModelArchiveClasses.h"

#include "ArchiveClassRegistry.h"
#include "CSBubble.h"
#include "CSCaptionElement.h"
#include "CSCell.h"
#include "CSPage.h"
#include "CSSFXChar.h"
#include "CSSFXElement.h"
#include "CSSpeechElement.h"
#include "CSImageElement.h"
#include "CSStylesheet.h"
#include "CSTail.h"

void registerModelArchiveClasses()
{
    ArchiveClassRegistry& registry = ArchiveClassRegistry::instance();
    registry.registerClass("CSStylesheet", [] { return CSStylesheet::emptyStylesheet(); });
    registry.registerClass(CSCaptionElement::kClassName, [] { return new CSCaptionElement; });
    registry.registerClass(CSPage::kClassName, [] { return new CSPage; });
    registry.registerClass(CSCell::kClassName, [] { return new CSCell; });
    registry.registerClass(CSSFXElement::kClassName, [] { return new CSSFXElement; });
    registry.registerClass(CSSFXChar::kClassName, [] { return new CSSFXChar; });
    registry.registerClass(CSSpeechElement::kClassName, [] { return new CSSpeechElement; });
    registry.registerClass(CSBubble::kClassName, [] { return new CSBubble; });
    registry.registerClass(CSTail::kClassName, [] { return new CSTail; });
    registry.registerClass(CSImageElement::kClassName, [] { return new CSImageElement; });
}
