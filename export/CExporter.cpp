#include "CExporter.h"

#include "CSComic.h"
#include "ExportProgress.h"
#include "PAImage.h"
#include "PageRenderer.h"
#include "Resources.h"

CExporter::CExporter() = default;

CExporter::~CExporter() = default;

bool CExporter::exportComic(CSComic& comic, const QString&)
{
    setComic(comic);
    return true;
}

int CExporter::firstPage() const { return 1; }

int CExporter::lastPage() const { return m_comic ? m_comic->pageCount() : 0; }

int CExporter::progressSteps() const { return m_comic ? m_comic->pageCount() : 0; }

void CExporter::createRenderer()
{
    m_renderer = m_comic ? std::make_unique<PageRenderer>(*m_comic) : nullptr;
    m_cancelled = false;
}

void CExporter::deleteRenderer() { m_renderer.reset(); }

RefPtr<PAImage> CExporter::renderPage(int index, float dotsPerInch, bool withAlpha)
{
    if (!m_renderer)
        return nullptr;
    return m_renderer->renderPage(index, dotsPerInch, withAlpha);
}

void CExporter::startProgress()
{
    if (m_progress)
        m_progress->start(localizedString(QStringLiteral("exporting comic")), progressSteps());
}

void CExporter::advanceProgress(int step)
{
    if (!m_progress)
        return;
    m_progress->advance(step);
    if (m_progress->cancelRequested())
        m_cancelled = true;
}

void CExporter::closeProgress()
{
    if (m_progress)
        m_progress->close();
}
