// The stylesheet's stored forms: the "stylesheet" XML element, stylesheet
// files, the archive form, and the stylesheet folders.

#include "CSStylesheet.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "PAFont.h"
#include "Preferences.h"
#include "Resources.h"
#include "XmlSupport.h"

#include <QDir>
#include <QFileInfo>

#include <tinyxml.h>

#include <algorithm>
#include <cstring>

namespace {

// Font sizes outside this range in a file are clamped into it.
constexpr std::int32_t kMinFontSize = 1;
constexpr std::int32_t kMaxFontSize = 1000;

bool writesSetting(const NSObject& value)
{
    return value.writesXml() && !(value.kind() == NSObject::String && value.stringValue().isEmpty());
}

void writeSetting(TiXmlElement* parent, const QString& key, const NSObject& value)
{
    TiXmlElement* setting = XmlSupport::appendElement(parent, "setting");
    XmlSupport::setAttribute(setting, "name", key);
    value.writeSettingXml(setting);
}

NSObject readSettingValue(const TiXmlElement* setting, const StyleKey* entry)
{
    if (entry && entry->type == StyleValueType::String) {
        // Text keys stay text: a filter named "1970" must not become a number.
        NSString text;
        text.readSetting(setting);
        return text;
    }
    NSObject value = NSObject::fromSettingNode(setting->FirstChild());
    if (const PAFont* font = value.fontValue()) {
        const std::int32_t size = std::clamp(font->size(), kMinFontSize, kMaxFontSize);
        if (size != font->size())
            return NSObject(font->withSize(size));
    }
    return value;
}

} // namespace

// --- XML form ---------------------------------------------------------------

void CSStylesheet::writeSettings(TiXmlElement* element) const
{
    for (const StyleKey& entry : StyleKeys::catalogue()) {
        const NSObject* value = m_values.valueForKey(entry.key);
        if (value && writesSetting(*value))
            writeSetting(element, entry.key, *value);
    }
    // Keys this program does not know (a newer program's) follow, so that
    // nothing read is lost.
    for (const auto& [key, value] : m_values.entries()) {
        if (!writesSetting(value) || key == StyleKeys::OutputDPI || StyleKeys::find(key) || isStyleTable(key, value))
            continue;
        writeSetting(element, key, value);
    }
}

void CSStylesheet::writeStyleTables(TiXmlElement* element, const CSStylesheet* root, int depth) const
{
    const QString defaultName = localizedDefaultName();
    auto writeTable = [&](const QString& kind, const NSDictionary* table) {
        TiXmlElement* styles = XmlSupport::appendElement(element, "styles");
        XmlSupport::setAttribute(styles, "name", kind);
        if (!table)
            return;
        for (const auto& [name, entry] : table->entries()) {
            const CSStylesheet* style = styleIn(entry);
            if (!style)
                continue;
            TiXmlElement* styleElement = XmlSupport::appendElement(styles, "style");
            XmlSupport::setAttribute(styleElement, "name", name);
            if (name == defaultName) {
                // "Default" is the root's own look whatever the style holds.
                root->writeSettings(styleElement);
            } else {
                style->writeSettings(styleElement);
                // Styles nested deeper than a file may hold are not written,
                // so that whatever is written can be read again.
                if (depth + 1 < kMaxStyleNesting)
                    style->writeStyleTables(styleElement, root, depth + 1);
            }
        }
    };
    // The root always lists the six kinds, empty or not.
    for (StyleKind kind : StyleKeys::kinds()) {
        const NSDictionary* table = styleTable(StyleKeys::prefix(kind));
        if (depth == 0 || table)
            writeTable(StyleKeys::prefix(kind), table);
    }
    for (const auto& [key, value] : m_values.entries()) {
        if (!StyleKeys::isKindPrefix(key) && isStyleTable(key, value))
            writeTable(key, value.dictionaryValue());
    }
}

TiXmlElement* CSStylesheet::writeXml(TiXmlNode* parent) const
{
    TiXmlElement* element = XmlSupport::appendElement(parent, "stylesheet");
    writeSettings(element);
    writeStyleTables(element, this, 0);
    return element;
}

QByteArray CSStylesheet::xmlText() const
{
    TiXmlDocument document;
    writeXml(&document);
    return XmlSupport::printDocument(document);
}

CSStylesheet* CSStylesheet::stylesheetFromXml(const TiXmlElement* element)
{
    return read(element, 0);
}

CSStylesheet* CSStylesheet::read(const TiXmlElement* element, int depth)
{
    if (!element || std::strncmp(element->Value(), "style", 5) != 0)
        return nullptr;
    auto* sheet = new CSStylesheet;
    sheet->m_notificationsEnabled = false;
    for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (std::strcmp(child->Value(), "setting") == 0) {
            const QString key = XmlSupport::attribute(child, "name");
            // The kind prefixes name the tables of named styles and
            // "OutputDPI" belongs to the output being drawn: neither is a
            // value a file may set.
            if (key.isEmpty() || key == StyleKeys::OutputDPI || StyleKeys::isKindPrefix(key))
                continue;
            if (const NSObject* held = sheet->m_values.valueForKey(key); held && isStyleTable(key, *held))
                continue; // a later setting does not wipe out styles read before it
            const NSObject value = storedForm(readSettingValue(child, StyleKeys::find(key)));
            if (!value.isEmpty())
                sheet->m_values.setObjectForKey(value, key);
        } else if (std::strcmp(child->Value(), "styles") == 0) {
            const QString kind = XmlSupport::attribute(child, "name");
            if (kind.isEmpty() || kind.contains(u'.'))
                continue;
            if (depth < kMaxStyleNesting) {
                for (const TiXmlElement* styleElement = child->FirstChildElement("style"); styleElement;
                     styleElement = styleElement->NextSiblingElement("style")) {
                    RefPtr<CSStylesheet> style(read(styleElement, depth + 1));
                    sheet->addStyle(style.get(), kind, XmlSupport::attribute(styleElement, "name"));
                }
            }
            // A kind this program does not know is kept even while it is
            // empty, so that writing the stylesheet again lists it.
            if (!StyleKeys::isKindPrefix(kind) && !sheet->m_values.containsKey(kind))
                sheet->m_values.setDictionaryForKey(new NSDictionary, kind);
        }
    }
    sheet->m_notificationsEnabled = true;
    return sheet;
}

// --- Files ------------------------------------------------------------------

CSStylesheet* CSStylesheet::stylesheetFromFile(const QString& path)
{
    TiXmlDocument document;
    if (!XmlSupport::loadDocument(document, path))
        return nullptr;
    return stylesheetFromXml(document.RootElement());
}

bool CSStylesheet::saveToFile(const QString& path) const
{
    TiXmlDocument document;
    writeXml(&document);
    return XmlSupport::saveDocument(document, path);
}

QString CSStylesheet::builtInStylesheetFolder()
{
    return resourcePath(QString(), QStringLiteral("Stylesheets"));
}

QString CSStylesheet::userStylesheetFolder()
{
    return documentsFolder(QStringLiteral("Stylesheets"));
}

QString CSStylesheet::builtInDisplayName(const QString& name)
{
    return QStringLiteral("%1: %2").arg(localizedString(QStringLiteral("BuiltIn")), name);
}

QStringList CSStylesheet::stylesheetNames(const QString& folder)
{
    QStringList names;
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.") + QLatin1String(kFileExtension)},
                                                     QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& file : files)
        names.append(QFileInfo(file).completeBaseName());
    return names;
}

namespace {

QString stylesheetFile(const QString& folder, const QString& name)
{
    // A name is a file name, never a path into another folder.
    if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\') || name == u"." || name == u"..")
        return QString();
    const QString path = folder + name + u'.' + QLatin1String(CSStylesheet::kFileExtension);
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

QString CSStylesheet::pathForPreference(const QString& preference)
{
    if (preference.isEmpty())
        return QString();
    // "Built-in: Oxlen-intl" names a built-in stylesheet. The label before
    // ": " is the localised "BuiltIn" of the language the preference was
    // written in, so any label is taken; but a user stylesheet whose own name
    // holds ": " is found too when no built-in one matches.
    const qsizetype separator = preference.indexOf(QStringLiteral(": "));
    if (separator >= 1 && separator + 2 < preference.size()) {
        const QString path = stylesheetFile(builtInStylesheetFolder(), preference.mid(separator + 2));
        if (!path.isEmpty())
            return path;
    }
    return stylesheetFile(userStylesheetFolder(), preference);
}

CSStylesheet* CSStylesheet::preferredStylesheet()
{
    const QString path = pathForPreference(prefString(QStringLiteral("StylesheetPreference")));
    CSStylesheet* sheet = path.isEmpty() ? nullptr : stylesheetFromFile(path);
    if (!sheet)
        return defaultStylesheet();
    // A new comic's root needs every key, even when the file predates one.
    sheet->addMissingDefaults();
    return sheet;
}

// --- Archive form -----------------------------------------------------------

void CSStylesheet::writeToArchive(ArchiveWriter& archive) const
{
    if (!m_values.containsKey(StyleKeys::outputDPIKey())) {
        m_values.writeToArchive(archive);
        return;
    }
    NSDictionary values(m_values);
    values.removeObjectForKey(StyleKeys::outputDPIKey());
    values.writeToArchive(archive);
}

void CSStylesheet::readFromArchive(ArchiveReader& archive)
{
    m_values.readFromArchive(archive);
    m_values.removeObjectForKey(StyleKeys::outputDPIKey());
    if (archive.failed())
        m_values.removeAllObjects();
    m_notificationsEnabled = true;
}
