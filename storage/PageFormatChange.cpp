#include "PageFormatChange.h"

#include "CSComic.h"
#include "NSDictionary.h"
#include "PageTypes.h"

#include <algorithm>
#include <cmath>

namespace {

bool positiveFinite(float value)
{
    return std::isfinite(value) && value > 0.0f;
}

bool validMargin(float value)
{
    return std::isfinite(value) && value >= 0.0f;
}

} // namespace

PageFormatChange PageFormatChange::fromComic(const CSComic& comic)
{
    PageFormatChange change;
    change.customSize = comic.orientedSize();
    change.portrait = comic.isPortrait();
    change.leftMargin = comic.leftMargin();
    change.rightMargin = comic.rightMargin();
    change.topMargin = comic.topMargin();
    change.bottomMargin = comic.bottomMargin();
    change.backgroundColor = comic.backgroundColor();
    return change;
}

Size PageFormatChange::paperSize() const
{
    return pageType ? PageTypes::sizeOf(*pageType) : customSize;
}

QString PageFormatChange::problem() const
{
    const Size paper = paperSize();
    if (!positiveFinite(paper.width) || !positiveFinite(paper.height))
        return QStringLiteral("the page size must be positive");
    for (float margin : {leftMargin, rightMargin, topMargin, bottomMargin}) {
        if (!validMargin(margin))
            return QStringLiteral("margins must not be negative");
    }
    // The content area of the oriented paper.
    const float shorter = std::min(paper.width, paper.height);
    const float longer = std::max(paper.width, paper.height);
    const Size oriented = portrait ? Size{shorter, longer} : Size{longer, shorter};
    if (!positiveFinite(oriented.width - (leftMargin + rightMargin))
        || !positiveFinite(oriented.height - (topMargin + bottomMargin)))
        return QStringLiteral("the margins leave no room for the page");
    return QString();
}

bool PageFormatChange::applyTo(CSComic& comic) const
{
    if (!problem().isEmpty())
        return false;
    if (pageType) {
        comic.applyPageType(*pageType);
    } else {
        comic.setPageName(QString());
        comic.setPageSize(customSize);
    }
    comic.setPortrait(portrait);
    comic.setLeftMargin(leftMargin);
    comic.setRightMargin(rightMargin);
    comic.setTopMargin(topMargin);
    comic.setBottomMargin(bottomMargin);
    comic.setBackgroundColor(backgroundColor);
    return true;
}
