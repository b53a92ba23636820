#include "LocalePaper.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdint>

namespace LocalePaper {

int codeForMillimetres(int width, int height)
{
    struct Paper { int width, height, code; };
    constexpr Paper papers[] = {{216, 279, 1}, {216, 356, 5}, {297, 420, 8}, {210, 297, 9}};
    for (const Paper& paper : papers) {
        if (paper.width == width && paper.height == height)
            return paper.code;
    }
    return 0;
}

int localeCode()
{
    locale_t locale = newlocale(LC_PAPER_MASK, "", locale_t(0));
    if (!locale)
        locale = newlocale(LC_PAPER_MASK, "C", locale_t(0));
    if (!locale)
        return 0;
    // glibc hands these numbers over in the pointer itself.
    const auto height = int(reinterpret_cast<std::intptr_t>(nl_langinfo_l(_NL_PAPER_HEIGHT, locale)));
    const auto width = int(reinterpret_cast<std::intptr_t>(nl_langinfo_l(_NL_PAPER_WIDTH, locale)));
    freelocale(locale);
    return codeForMillimetres(width, height);
}

Size sizeForCode(int code)
{
    switch (code) {
    case 1: return {612, 792};
    case 5: return {612, 1008};
    case 8: return {842, 1191};
    case 9: return {595, 842};
    default: return {0, 0};
    }
}

} // namespace LocalePaper
