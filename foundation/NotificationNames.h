#pragma once

#include <QStringView>

// Every notification name exists once; posters and observers use these.
namespace NotificationNames {
inline constexpr QStringView CSComicChangedNotification = u"CSComicChangedNotification";
inline constexpr QStringView CSElementChangedNotification = u"CSElementChangedNotification";
inline constexpr QStringView CSElementChangedStyleNotification = u"CSElementChangedStyleNotification";
inline constexpr QStringView StylesheetChangedNotification = u"StylesheetChangedNotification";
inline constexpr QStringView StylesheetSubNotification = u"StylesheetSubNotification";
inline constexpr QStringView StylesheetFilterChangedNotification = u"StylesheetFilterChangedNotification";
inline constexpr QStringView UndoManagerNewUndoableNotification = u"UndoManagerNewUndoableNotification";
inline constexpr QStringView UndoManagerWillUndoChangeNotification = u"UndoManagerWillUndoChangeNotification";
inline constexpr QStringView CSTemplateCreatedNotification = u"CSTemplateCreatedNotification";
inline constexpr QStringView TemplateSelected = u"TemplateSelected";
inline constexpr QStringView DirectoryWatcherNotification = u"DirectoryWatcherNotification";
} // namespace NotificationNames
