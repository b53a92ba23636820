#pragma once

#include <QByteArray>
#include <QString>

class NSDictionary;

// Dictionaries stored as XML property lists: a "plist" root (version "1.0")
// holding one "dict" in the typed form.
namespace PropertyList {

// Written through a temporary file and an atomic rename.
bool writePropertyList(const NSDictionary* dictionary, const QString& path);
QByteArray propertyListText(const NSDictionary* dictionary);

// A new dictionary (count 0, the caller owns it), or null when the file cannot
// be read or parsed or has no "plist" root with a "dict".
NSDictionary* propertyListFromFile(const QString& path);
NSDictionary* propertyListFromText(const QByteArray& utf8Text);

} // namespace PropertyList
