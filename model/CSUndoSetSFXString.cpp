#include "CSUndoSetSFXString.h"

CSUndoSetSFXString::CSUndoSetSFXString(CSSFXElement* target, const QString& oldText, const PAFont* oldFont, const std::vector<CSSFXChar*>& oldLetters)
    : CSUndoSetter(target, oldText, oldFont, oldLetters)
{
}
