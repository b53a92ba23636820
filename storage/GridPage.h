#pragma once

#include "Geometry.h"

#include <QString>

class CSPage;

// A page of equal panels in rows and columns, a gutter apart and from the
// edges: what the new-grid-page command makes.
class GridPage
{
public:
    static constexpr int kDefaultRows = 3;
    static constexpr int kDefaultColumns = 2;
    static constexpr float kDefaultGutter = 15.0f;

    // Why a grid cannot be made, or empty when it can: a content size that
    // is not positive and finite, fewer than one row or column (or more than
    // the page's grid limit), a negative or non-finite gutter, or gutters
    // that leave the panels no width or height.
    static QString problem(Size contentSize, int rows, int columns, float gutter);

    // A new page with the panels in row order, or null (and the problem in
    // *why when given) when the values are refused.
    static CSPage* gridPage(Size contentSize, int rows, int columns, float gutter, QString* why = nullptr);
};
