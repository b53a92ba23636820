#include "CUndoable.h"

CUndoable::~CUndoable() = default;
