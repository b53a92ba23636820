#pragma once

#include "Geometry.h"

#include <QString>

class CSPage;
class NSDictionary;

// Page templates: the panel layout of one page normalised to a 1000 x 1000
// square, kept as a property-list file ("comictpl").
class PageTemplates
{
public:
    static constexpr const char* kExtension = "comictpl";

    // The template of a page (a new dictionary, count 0).
    static NSDictionary* templateFromPage(const CSPage& page);
    // Adds the template's panels to the page and sets its style.
    static void applyTemplate(CSPage& page, const NSDictionary& pageTemplate);
    // A new page of the given size (the comic's content size) with the
    // template applied.
    static CSPage* pageFromTemplate(Size size, const NSDictionary& pageTemplate);
    // How many panels the template makes (entries of "Cells" that are
    // dictionaries, at most the page's template limit).
    static int panelCount(const NSDictionary& pageTemplate);

    // A new dictionary, or null when the file cannot be read or parsed.
    static NSDictionary* readTemplate(const QString& path);
    // Writes through a temporary file and an atomic rename, so a failed save
    // leaves the file that was there as it was; posts
    // "CSTemplateCreatedNotification" after a save that succeeded.
    static bool saveTemplate(const NSDictionary& pageTemplate, const QString& path);
    static bool savePageAsTemplate(const CSPage& page, const QString& path);
};
