#pragma once

// Registers the model's archivable classes with the archive class registry,
// so that archived stylesheets (and later elements) can be read back. Safe to
// call more than once.
void registerModelArchiveClasses();
