#include "GridPage.h"

#include "CSPage.h"

#include <cmath>

namespace {

bool positiveFinite(float value)
{
    return std::isfinite(value) && value > 0.0f;
}

} // namespace

QString GridPage::problem(Size contentSize, int rows, int columns, float gutter)
{
    if (!positiveFinite(contentSize.width) || !positiveFinite(contentSize.height))
        return QStringLiteral("the page has no area");
    if (rows < 1 || rows > CSPage::kMaxGridLines)
        return QStringLiteral("rows must be 1 to %1").arg(CSPage::kMaxGridLines);
    if (columns < 1 || columns > CSPage::kMaxGridLines)
        return QStringLiteral("columns must be 1 to %1").arg(CSPage::kMaxGridLines);
    if (!std::isfinite(gutter) || gutter < 0.0f)
        return QStringLiteral("the gutter must not be negative");
    const float width = (contentSize.width - float(columns + 1) * gutter) / float(columns);
    const float height = (contentSize.height - float(rows + 1) * gutter) / float(rows);
    if (!positiveFinite(width) || !positiveFinite(height))
        return QStringLiteral("the gutters leave the panels no room");
    return QString();
}

CSPage* GridPage::gridPage(Size contentSize, int rows, int columns, float gutter, QString* why)
{
    const QString refused = problem(contentSize, rows, columns, gutter);
    if (why)
        *why = refused;
    if (!refused.isEmpty())
        return nullptr;
    return CSPage::pageWithGrid(contentSize, rows, columns, gutter);
}
