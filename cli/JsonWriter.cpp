#include "JsonWriter.h"

#include <charconv>
#include <cmath>

namespace {

QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        case '\b': out += QLatin1String("\\b"); break;
        case '\f': out += QLatin1String("\\f"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

template <class T>
QString shortest(T value)
{
    // JSON has no NaN or infinity.
    if (!std::isfinite(value))
        return QStringLiteral("0");
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

} // namespace

void JsonWriter::newline()
{
    m_text += QLatin1Char('\n');
    m_text += QString(qsizetype(m_levels.size()) * 2, QLatin1Char(' '));
}

void JsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_levels.empty())
        return;
    Level& level = m_levels.back();
    const bool first = level.members++ == 0;
    if (level.isInline) {
        if (!first)
            m_text += QLatin1String(", ");
        return;
    }
    if (!first)
        m_text += QLatin1Char(',');
    newline();
}

void JsonWriter::open(QChar bracket, bool isInline)
{
    beforeValue();
    m_text += bracket;
    m_levels.push_back(Level{bracket == QLatin1Char('{'), isInline, 0});
}

void JsonWriter::close(QChar bracket)
{
    if (m_levels.empty())
        return;
    const bool breakLine = m_levels.back().members > 0 && !m_levels.back().isInline;
    m_levels.pop_back();
    if (breakLine)
        newline();
    m_text += bracket;
}

void JsonWriter::beginObject() { open(QLatin1Char('{')); }
void JsonWriter::endObject() { close(QLatin1Char('}')); }
void JsonWriter::beginArray() { open(QLatin1Char('[')); }
void JsonWriter::beginInlineArray() { open(QLatin1Char('['), true); }
void JsonWriter::endArray() { close(QLatin1Char(']')); }

void JsonWriter::key(const QString& name)
{
    beforeValue();
    m_text += escaped(name);
    m_text += QLatin1String(": ");
    m_afterKey = true;
}

void JsonWriter::string(const QString& text)
{
    beforeValue();
    m_text += escaped(text);
}

void JsonWriter::number(double value)
{
    beforeValue();
    m_text += shortest(value);
}

void JsonWriter::number(float value)
{
    beforeValue();
    m_text += shortest(value);
}

void JsonWriter::number(int value)
{
    beforeValue();
    m_text += QString::number(value);
}

void JsonWriter::boolean(bool value)
{
    beforeValue();
    m_text += value ? QLatin1String("true") : QLatin1String("false");
}

void JsonWriter::null()
{
    beforeValue();
    m_text += QLatin1String("null");
}

QString JsonWriter::text() const
{
    return m_levels.empty() ? m_text + QLatin1Char('\n') : m_text;
}
