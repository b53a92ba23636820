#pragma once

// Registers the graphics layer's archivable classes (CAGGraphicsPath,
// NSBezierPath) with the archive class registry; safe to call more than once.
void registerGraphicsArchiveClasses();
