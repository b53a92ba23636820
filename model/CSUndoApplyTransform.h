#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Undoes a transform applied to an element: saved is its inverse.
class CSUndoApplyTransform final
    : public CSUndoSetter<CSElementUndoable, &CSElement::applyTransform, AffineTransform>
{
public:
    CSUndoApplyTransform(CSElement* target, const AffineTransform& inverse);

    const AffineTransform& inverse() const { return saved<0>(); }
};
