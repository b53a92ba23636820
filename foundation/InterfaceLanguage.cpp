#include "InterfaceLanguage.h"

#include <QDir>
#include <QFile>
#include <QLocale>

namespace {

struct LanguageRow
{
    int number;
    const char* code;
    const char* folder;
};

constexpr LanguageRow kLanguages[] = {
    {7, "DEU", "German"}, {9, "ENU", "English"}, {10, "ESP", "Spanish"},
    {12, "FRA", "French"}, {16, "ITA", "Italian"}, {19, "NLD", "Dutch"},
};

InterfaceLanguage fromRow(const LanguageRow& row)
{
    return InterfaceLanguage{row.number, QString::fromLatin1(row.code), QString::fromLatin1(row.folder)};
}

} // namespace

InterfaceLanguage InterfaceLanguage::english()
{
    return InterfaceLanguage();
}

bool InterfaceLanguage::fromCode(const QString& code, InterfaceLanguage& language)
{
    for (const LanguageRow& row : kLanguages) {
        if (code == QLatin1String(row.code)) {
            language = fromRow(row);
            return true;
        }
    }
    return false;
}

InterfaceLanguage InterfaceLanguage::fromNumber(int number)
{
    for (const LanguageRow& row : kLanguages) {
        if (row.number == number)
            return fromRow(row);
    }
    return english();
}

int InterfaceLanguage::localeLanguageNumber()
{
    switch (QLocale::system().language()) {
    case QLocale::German: return 7;
    case QLocale::Spanish: return 10;
    case QLocale::French: return 12;
    case QLocale::Italian: return 16;
    case QLocale::Dutch: return 19;
    default: return 9;
    }
}

InterfaceLanguage InterfaceLanguage::choose(const QString& resourceRoot, int localeNumber)
{
    InterfaceLanguage language = fromNumber(localeNumber);
    QFile file(QDir(resourceRoot).filePath(QStringLiteral("language.txt")));
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray head = file.read(3);
        if (head.size() == 3 && !fromCode(QString::fromLatin1(head), language))
            language = english();
    }
    if (!QDir(QDir(resourceRoot).filePath(language.folderName)).exists())
        language = english();
    return language;
}
