#pragma once

#include "CSCell.h"
#include "CSElementUndoable.h"

// Puts back a panel's irregular flag together with the eight stored points
// it had, so that undoing "regular" brings back the points the user edited
// instead of rebuilding them from the frame.
class CSUndoSetIsIrregular final : public CSElementUndoable
{
public:
    CSUndoSetIsIrregular(CSCell* target, bool oldFlag, const CSCell::Points& oldPoints);

    void undo() override;

    bool oldFlag() const { return m_oldFlag; }
    const CSCell::Points& oldPoints() const { return m_oldPoints; }

private:
    bool m_oldFlag;
    CSCell::Points m_oldPoints;
};
