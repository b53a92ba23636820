#pragma once

#include "CRefCountObject.h"

#include <QString>

#include <memory>

class CSComic;
class ExportProgress;
class PAImage;
class PageRenderer;

// The base of every exporter: the comic being exported, a page renderer for
// the length of one export, the cancelled flag (set by the user's cancel or
// by a failure) and the progress shown while it runs.
class CExporter
{
public:
    CExporter();
    virtual ~CExporter();
    CExporter(const CExporter&) = delete;
    CExporter& operator=(const CExporter&) = delete;

    virtual QString identifier() const = 0;
    virtual QString displayName() const = 0;
    // Runs the export and says whether it succeeded. The base only stores
    // the comic.
    virtual bool exportComic(CSComic& comic, const QString& documentName);
    // Page numbers from 1.
    virtual int firstPage() const;
    virtual int lastPage() const;
    virtual int progressSteps() const;

    // Progress to show during exports, or null for none; not owned, it must
    // outlive the exports it is used for.
    void setProgress(ExportProgress* progress) { m_progress = progress; }
    CSComic* comic() const { return m_comic; }
    bool isCancelled() const { return m_cancelled; }

protected:
    void setComic(CSComic& comic) { m_comic = &comic; }
    // A fresh renderer for the comic; clears the cancelled flag.
    void createRenderer();
    void deleteRenderer();
    // Page index from 0; null when the page cannot be rendered.
    RefPtr<PAImage> renderPage(int index, float dotsPerInch, bool withAlpha);

    void startProgress();
    // Shows the step and reads the user's cancel into the cancelled flag.
    void advanceProgress(int step);
    void closeProgress();
    void markCancelled() { m_cancelled = true; }

private:
    CSComic* m_comic = nullptr;
    std::unique_ptr<PageRenderer> m_renderer;
    bool m_cancelled = false;
    ExportProgress* m_progress = nullptr;
};
