#include "GraphicsArchiveClasses.h"

#include "ArchiveClassRegistry.h"
#include "CAGGraphicsPath.h"
#include "NSBezierPath.h"

void registerGraphicsArchiveClasses()
{
    ArchiveClassRegistry& registry = ArchiveClassRegistry::instance();
    registry.registerClass(CAGGraphicsPath::kClassName, [] { return new CAGGraphicsPath(); });
    registry.registerClass(NSBezierPath::kClassName, [] { return new NSBezierPath(); });
}
