#pragma once

#include <QString>

#include <string>

// UTF-8 for the XML library, by value: nothing is shared between calls.
inline std::string toUtf8(const QString& text)
{
    return text.toStdString();
}

inline QString fromUtf8(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

inline QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}
