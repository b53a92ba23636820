#include "Preferences.h"

#include <QSettings>

#include <cstring>

namespace {

const QString kGroup = QStringLiteral("Prefs/");

QSettings userStore()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Oxlen"), QStringLiteral("Panelora"));
}

QString qualified(const QString& key)
{
    return kGroup + key;
}

} // namespace

QString prefString(const QString& key)
{
    return userStore().value(qualified(key)).toString();
}

void setPrefString(const QString& key, const QString& value)
{
    userStore().setValue(qualified(key), value);
}

std::int32_t prefInt(const QString& key, std::int32_t fallback)
{
    const QVariant value = userStore().value(qualified(key));
    if (!value.isValid())
        return fallback;
    bool ok = false;
    const std::int32_t result = value.toInt(&ok);
    return ok ? result : fallback;
}

void setPrefInt(const QString& key, std::int32_t value)
{
    userStore().setValue(qualified(key), value);
}

bool prefBool(const QString& key)
{
    return prefInt(key, 0) != 0;
}

void setPrefBool(const QString& key, bool value)
{
    setPrefInt(key, value ? 1 : 0);
}

QByteArray prefBinary(const QString& key)
{
    return userStore().value(qualified(key)).toByteArray();
}

bool prefBinary(const QString& key, void* buffer, qsizetype length)
{
    const QVariant value = userStore().value(qualified(key));
    if (!value.isValid())
        return false;
    const QByteArray bytes = value.toByteArray();
    if (bytes.size() != length)
        return false;
    std::memcpy(buffer, bytes.constData(), std::size_t(length));
    return true;
}

void setPrefBinary(const QString& key, const void* bytes, qsizetype length)
{
    userStore().setValue(qualified(key), QByteArray(static_cast<const char*>(bytes), length));
}

bool hasPref(const QString& key)
{
    return userStore().contains(qualified(key));
}

void removePref(const QString& key)
{
    userStore().remove(qualified(key));
}

QString machinePrefString(const QString& key)
{
    QSettings store(QSettings::NativeFormat, QSettings::SystemScope, QStringLiteral("Oxlen"), QStringLiteral("Panelora"));
    return store.value(qualified(key)).toString();
}

QString preferenceStoreLocation()
{
    return userStore().fileName();
}
