#pragma once

#include <QString>

#include <vector>

// Writes JSON text in the order things are added, indented by two spaces.
// Numbers use the shortest form that reads back as the same float, with "."
// whatever the locale; strings are escaped as JSON requires.
class JsonWriter
{
public:
    void beginObject();
    void endObject();
    void beginArray();
    // An array kept on one line ("[1, 2]"), for short lists of numbers.
    void beginInlineArray();
    void endArray();
    // The name of the next member of the open object.
    void key(const QString& name);
    void string(const QString& text);
    void number(double value);
    void number(float value);
    void number(int value);
    void boolean(bool value);
    void null();

    // The text written so far, with a final line break once everything is closed.
    QString text() const;

private:
    void beforeValue();
    void open(QChar bracket, bool isInline = false);
    void close(QChar bracket);
    void newline();

    struct Level
    {
        bool isObject = false;
        bool isInline = false;
        int members = 0;
    };
    QString m_text;
    std::vector<Level> m_levels;
    bool m_afterKey = false;
};
