#pragma once

#include "InterfaceLanguage.h"

#include <QString>

class StringTable;

// The resource root ("Resources" beside the program), the interface language
// and its string table, the user's documents folder and picture album.
// Paths use "/" and folders end with it.

// Chooses the language and loads its string table; called once at start-up.
// Tests and tools may call it again after setResourceRoot.
void initializeResources();

QString resourceRoot();
// Points the resource root elsewhere (tests, tools), or back beside the
// program when empty; resets the language and the string table until
// initializeResources runs again.
void setResourceRoot(const QString& folder);

// root + sub-folder/ + name; not tested for existence.
QString resourcePath(const QString& name, const QString& subFolder = QString());
// The first existing of the language folder, the English folder and the root
// (each + sub-folder/ + name); empty when none exists.
QString localizedResourcePath(const QString& name, const QString& subFolder = QString());

const InterfaceLanguage& interfaceLanguage();
QString languageFolder();
QString englishFolder();

// The text of the key in the string table, or the key itself.
QString localizedString(const QString& key);
StringTable& stringTable();

// The user's application folder in the documents folder (created when
// missing), or a sub-folder of it; ends with "/".
QString documentsFolder(const QString& subFolder = QString());
QString documentsFile(const QString& name);

// The custom album: the machine-wide "CustomPhotoAlbum" when longer than one
// character and an existing folder, else the user's when it names an existing
// folder; empty when neither.
QString customPictureAlbum();
// The custom album, or the user's pictures folder (created when missing).
QString pictureAlbum();
