#include "PAFont.h"

#include "TextCodecs.h"

#include <map>
#include <tuple>

PAFontAttachment::~PAFontAttachment() = default;

struct PAFontCache
{
    using Key = std::tuple<QString, std::int32_t, std::uint32_t>;
    std::map<Key, PAFont*> fonts;

    static PAFontCache& instance()
    {
        // Never destroyed: fonts outlive every static that may still hold one.
        static PAFontCache* cache = new PAFontCache;
        return *cache;
    }

    const PAFont* lookup(const QString& family, std::int32_t size, std::uint32_t style)
    {
        // The exact family is the key, so a face is kept as it was written;
        // isEqual still compares families without regard to case.
        Key key{family, size, style};
        auto found = fonts.find(key);
        if (found != fonts.end())
            return found->second;
        PAFont* font = new PAFont(family, size, style);
        fonts.emplace(std::move(key), font);
        return font;
    }
};

PAFont::PAFont(QString family, std::int32_t size, std::uint32_t style)
    : m_family(std::move(family)), m_size(size), m_style(style)
{
}

PAFont::~PAFont() = default;

const PAFont* PAFont::fontWithFamily(const QString& family, std::int32_t size, std::uint32_t style)
{
    return PAFontCache::instance().lookup(family, size, style);
}

const PAFont* PAFont::fontWithFamily(const QString& family, std::int32_t size, bool italic, bool bold)
{
    return fontWithFamily(family, size, (italic ? FontStyleItalic : 0u) | (bold ? FontStyleBold : 0u));
}

const PAFont* PAFont::defaultFont()
{
    static const PAFont* font = fontWithFamily(QString::fromUtf16(DefaultTextFamily), DefaultTextSize, 0u);
    return font;
}

const PAFont* PAFont::withStyle(std::uint32_t style) const
{
    return fontWithFamily(m_family, m_size, style);
}

const PAFont* PAFont::withSize(std::int32_t size) const
{
    return fontWithFamily(m_family, size, m_style);
}

bool PAFont::isEqual(const PAFont* other) const
{
    if (other == this)
        return true;
    return other && m_size == other->m_size && m_style == other->m_style
        && m_family.compare(other->m_family, Qt::CaseInsensitive) == 0;
}

QString PAFont::fontString() const
{
    return stringFromFont(FontDescription{m_family, m_size, isItalic(), isBold()});
}

void PAFont::setAttachment(std::unique_ptr<PAFontAttachment> attachment) const
{
    m_attachment = std::move(attachment);
}
