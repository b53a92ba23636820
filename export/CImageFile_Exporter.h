#pragma once

#include "CExporter.h"

#include <QString>
#include <QStringList>

// Writes each page of a range as one picture file "Page_<n>.<extension>"
// into a new folder: BMP (24 bits), JPEG, GIF, TIFF or PNG by the extension
// of the chosen file, at a resolution recorded in the files that have a
// field for it.
//
// A failed or cancelled export removes the files it wrote and the folder it
// made, touches nothing that was there before, and returns false with the
// outcome saying why.
class CImageFile_Exporter : public CExporter
{
public:
    // What the user chooses before an export.
    struct Choices
    {
        // "Holiday.jpg" exports into the folder "Holiday" beside it, as JPEG.
        QString chosenFile;
        bool allPages = true;
        // Page numbers from 1, used when allPages is off; clamped to the comic.
        int fromPage = 1;
        int toPage = 1;
        int dotsPerInch = 96;
        // 2 to 10; the JPEG quality is ten times this.
        int qualitySlider = 8;
    };

    enum class Outcome {
        Written,
        Cancelled,
        NoPages,            // the comic has no pages
        UnsupportedType,    // the extension is not one of the picture types
        DestinationExists,  // a file or folder is already at the folder's path
        FolderNotCreated,
        PageNotRendered,
        FileNotWritten,
    };

    static constexpr int kMinQualitySlider = 2;
    static constexpr int kMaxQualitySlider = 10;
    static constexpr int kDefaultQualitySlider = 8;
    static constexpr int kDefaultDotsPerInch = 96;

    QString identifier() const override;
    QString displayName() const override;
    bool exportComic(CSComic& comic, const QString& documentName) override;
    int firstPage() const override { return m_firstPage; }
    int lastPage() const override { return m_lastPage; }
    int progressSteps() const override { return m_lastPage - m_firstPage + 1; }

    void setChoices(const Choices& choices) { m_choices = choices; }
    const Choices& choices() const { return m_choices; }

    // The folder for a chosen file: its path without the extension.
    static QString folderForChosenFile(const QString& chosenFile);
    // Whether the extension (without the dot, any case) is a type the
    // exporter writes.
    static bool isExportableExtension(const QString& extension);

    // About the last export: how it ended, the folder and the files it wrote
    // (empty after a failure), and the page or path a failure is about.
    Outcome outcome() const { return m_outcome; }
    QString folder() const { return m_folder; }
    QStringList writtenFiles() const { return m_written; }
    int failedPage() const { return m_failedPage; }
    QString failedPath() const { return m_failedPath; }

private:
    Outcome checkDestination(const QString& extension);
    void clampPageRange();
    Outcome createFolder();
    Outcome writePages(const QString& extension);
    Outcome writePage(int pageNumber, const QString& extension);
    void removeWhatWasWritten();
    bool finish(Outcome outcome);

    Choices m_choices;
    int m_firstPage = 1;
    int m_lastPage = 0;
    Outcome m_outcome = Outcome::Written;
    QString m_folder;
    bool m_createdFolder = false;
    QStringList m_written;
    int m_failedPage = 0;
    QString m_failedPath;
};
