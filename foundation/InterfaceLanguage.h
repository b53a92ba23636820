#pragma once

#include <QString>

// One of the six interface languages: its primary-language number, its
// three-letter code and the name of its folder in the resource root.
struct InterfaceLanguage
{
    int number = 9;
    QString code = QStringLiteral("ENU");
    QString folderName = QStringLiteral("English");

    static InterfaceLanguage english();
    // By code ("DEU", …); null when the code is not one of the six.
    static bool fromCode(const QString& code, InterfaceLanguage& language);
    // By primary-language number; anything unknown is English.
    static InterfaceLanguage fromNumber(int number);
    // The primary-language number of the user's locale (9 for unknown).
    static int localeLanguageNumber();

    // "language.txt" in the resource root decides when its first three bytes
    // name a language (other bytes give English; a missing or shorter file
    // falls through to the locale). A language whose folder is missing from
    // the resource root gives English.
    static InterfaceLanguage choose(const QString& resourceRoot, int localeNumber);

    friend bool operator==(const InterfaceLanguage&, const InterfaceLanguage&) = default;
};
