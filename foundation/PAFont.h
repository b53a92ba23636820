#pragma once

#include <QString>

#include <cstdint>
#include <memory>

// Data that a higher layer hangs on a font (metrics, glyph outlines). Fonts
// live for the whole run, so an attachment does too.
class PAFontAttachment
{
public:
    virtual ~PAFontAttachment();
};

// An interned font: one object per exact family, size and style flags, never
// destroyed while the process runs, so fonts are compared by identity.
// isEqual compares families without regard to case. The size is in page
// units, the font's cell height.
class PAFont
{
public:
    enum StyleFlag : std::uint32_t {
        FontStyleBold = 0x10,
        FontStyleItalic = 0x20,
        FontStyleUnderline = 0x40,
        FontStyleStrikeOut = 0x80,
        FontStyleSubscript = 0x10000,
        FontStyleSuperscript = 0x20000,
        FontStyleNoClearType = 0x10000000,
    };

    // Text engines measure in twips: a fixed 20 per page unit (a point), so
    // stored sizes and tab stops mean the same on every screen.
    static constexpr std::int32_t TwipsPerPageUnit = 20;

    static constexpr const char16_t* DefaultTextFamily = u"Verdana";
    static constexpr std::int32_t DefaultTextSize = 12;

    static const PAFont* fontWithFamily(const QString& family, std::int32_t size, std::uint32_t style = 0);
    static const PAFont* fontWithFamily(const QString& family, std::int32_t size, bool italic, bool bold);
    // Verdana at size 12 with no style flags.
    static const PAFont* defaultFont();

    const QString& family() const { return m_family; }
    std::int32_t size() const { return m_size; }
    std::uint32_t style() const { return m_style; }
    bool isBold() const { return m_style & FontStyleBold; }
    bool isItalic() const { return m_style & FontStyleItalic; }

    // The same font with other style flags or another size.
    const PAFont* withStyle(std::uint32_t style) const;
    const PAFont* withSize(std::int32_t size) const;

    bool isEqual(const PAFont* other) const;

    // The text form "12.000000 'Verdana' normal bold 'Verdana'".
    QString fontString() const;

    PAFontAttachment* attachment() const { return m_attachment.get(); }
    void setAttachment(std::unique_ptr<PAFontAttachment> attachment) const;

    PAFont(const PAFont&) = delete;
    PAFont& operator=(const PAFont&) = delete;

private:
    PAFont(QString family, std::int32_t size, std::uint32_t style);
    ~PAFont();
    friend struct PAFontCache;

    QString m_family;
    std::int32_t m_size;
    std::uint32_t m_style;
    mutable std::unique_ptr<PAFontAttachment> m_attachment;
};
