#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The user's preference store: QSettings("Oxlen", "Panelora"), group "Prefs".
// Every call reads or writes the store directly; nothing is cached, so a
// change applies at its next use.
QString prefString(const QString& key);
void setPrefString(const QString& key, const QString& value);
std::int32_t prefInt(const QString& key, std::int32_t fallback = 0);
void setPrefInt(const QString& key, std::int32_t value);
bool prefBool(const QString& key);
void setPrefBool(const QString& key, bool value);
// True only when a value exists and its length is exactly length; the buffer
// is filled only then.
bool prefBinary(const QString& key, void* buffer, qsizetype length);
QByteArray prefBinary(const QString& key);
void setPrefBinary(const QString& key, const void* bytes, qsizetype length);
bool hasPref(const QString& key);
void removePref(const QString& key);

// The machine-wide value of the same section (the system scope), empty when absent.
QString machinePrefString(const QString& key);

// Where the store lives, for diagnostics.
QString preferenceStoreLocation();
