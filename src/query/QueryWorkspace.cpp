#include "QueryWorkspace.h"

#include "AppState.h"
#include "DesktopServices.h"
#include "Language.h"
#include "QueryContext.h"
#include "QueryDocumentFile.h"
#include "QueryWindow.h"
#include "RecentDocuments.h"
#include "ShellHost.h"
#include "Texts.h"

#include <QFileInfo>
#include <QMdiSubWindow>

#include <algorithm>

QueryWorkspace::QueryWorkspace(QueryContext& context, QObject* parent)
    : QObject(parent), m_context(context)
{
}

QueryWindow* QueryWorkspace::window(int slot) const
{
    return slot >= 1 && slot <= kSlots ? m_windows[static_cast<size_t>(slot)].data() : nullptr;
}

QueryWindow* QueryWorkspace::activeWindow() const
{
    return qobject_cast<QueryWindow*>(m_context.host.activeQueryWindow());
}

int QueryWorkspace::ActiveSlot() const
{
    const QueryWindow* active = activeWindow();
    return active ? active->slot() : 0;
}

bool QueryWorkspace::QModified(int slot) const
{
    return slot >= 1 && slot <= kSlots && m_modified[static_cast<size_t>(slot)];
}

void QueryWorkspace::setModified(QueryWindow* window, bool modified)
{
    if (window)
        m_modified[static_cast<size_t>(window->slot())] = modified;
}

int QueryWorkspace::openCount() const
{
    return static_cast<int>(
        std::count_if(m_windows.begin() + 1, m_windows.end(),
                      [](const QPointer<QueryWindow>& w) { return !w.isNull(); }));
}

int QueryWorkspace::nextSlot()
{
    m_count = m_count >= kSlots ? 1 : m_count + 1;
    // When the counter's slot is taken and another is free, the free one: New always opens a
    // window while fewer than twenty are open.
    for (int step = 0; step < kSlots; ++step) {
        const int slot = (m_count - 1 + step) % kSlots + 1;
        if (!window(slot))
            return slot;
    }
    return m_count;
}

QueryWindow* QueryWorkspace::openWindow(int slot, QueryDocument document)
{
    if (QueryWindow* open = window(slot)) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(open->parentWidget()))
            sub->showNormal();
        open->setFocus();
        return nullptr;
    }
    auto* created = new QueryWindow(m_context, std::move(document), slot);
    m_windows[static_cast<size_t>(slot)] = created;
    m_modified[static_cast<size_t>(slot)] = false;
    created->setCloseGuard([this](QueryWindow* closing) { return this->closing(closing); });
    connect(created, &QObject::destroyed, this, [this, slot] { closed(slot); });
    connect(created, &QueryWindow::modified, this, [this, created] { setModified(created); });
    m_context.host.addQueryWindow(created);
    return created;
}

void QueryWorkspace::NewQuery()
{
    QueryDocument document;
    document.ChRow = true;
    openWindow(nextSlot(), document);
}

int QueryWorkspace::OpenQuery()
{
    AppState& state = m_context.host.state();
    DesktopServices& services = m_context.host.services();
    if (state.FileZorv.isEmpty())
        state.FileZorv = Texts::get(TextId::QueryCaption).en + QString::number(m_count + 1);
    if (services.ChooseFileToOpen(state.FileZorv, DesktopServices::kTextFilter) == 0)
        return 0;
    return OpenQueryFile(services.dialogFileName());
}

int QueryWorkspace::OpenQueryFile(const QString& path)
{
    AppState& state = m_context.host.state();
    DesktopServices& services = m_context.host.services();
    state.FileZorv = path;
    QueryDocument document;
    const QueryDocumentFile::ReadResult read = QueryDocumentFile::readFile(path, document);
    if (!read.ok) {
        services.desktop().message(read.error);
        return 0;
    }
    m_context.host.setStatusText(path + Texts::get(TextId::DocumentOpened).en);
    const QString problem = QueryDocumentFile::checkLoadable(document);
    if (!problem.isEmpty()) {
        services.desktop().message(problem);
        return 0;
    }
    QueryWindow* created = openWindow(nextSlot(), document);
    if (!created)
        return 0;
    created->setFilePath(path);
    created->setWindowTitle(QFileInfo(path).fileName());
    RecentDocuments(RecentDocuments::pathIn(m_context.programFolder)).add(path);
    return 1;
}

bool QueryWorkspace::save(QueryWindow* window, const QString& path)
{
    QString error;
    if (!QueryDocumentFile::writeFile(path, window->CollectDocument(), &error)) {
        m_context.host.services().desktop().message(QStringLiteral("Error 75: ") + error +
                                                    QStringLiteral(" on WriteDocument"));
        return false;
    }
    m_context.host.state().FileZorv = path;
    m_context.host.setStatusText(path + Texts::get(TextId::DocumentSaved).en);
    window->setFilePath(path);
    RecentDocuments(RecentDocuments::pathIn(m_context.programFolder)).add(path);
    return true;
}

void QueryWorkspace::SaveQuery()
{
    saveWindow(activeWindow());
}

void QueryWorkspace::SaveQueryAs()
{
    saveWindowAs(activeWindow());
}

bool QueryWorkspace::saveWindow(QueryWindow* window)
{
    if (!window)
        return false;
    // A window opened from or saved to a document carries the file's name as its caption.
    if (window->windowTitle().contains(u'.') && !window->filePath().isEmpty()) {
        if (!save(window, window->filePath()))
            return false;
        setModified(window, false);
        return true;
    }
    return saveWindowAs(window);
}

bool QueryWorkspace::saveWindowAs(QueryWindow* window)
{
    if (!window)
        return false;
    AppState& state = m_context.host.state();
    DesktopServices& services = m_context.host.services();
    const QString start = QueryDocumentFile::FolderOf(state.FileZorv) + QStringLiteral("Quillon ") +
                          window->QTableName();
    if (services.ChooseFileToSave(start, DesktopServices::kTextFilter) == 0)
        return false;
    QString path = services.dialogFileName();
    // Query documents are text files; a name typed without a suffix gets ".txt".
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    if (!save(window, path))
        return false;
    window->setWindowTitle(QFileInfo(path).fileName());
    setModified(window, false);
    return true;
}

bool QueryWorkspace::closing(QueryWindow* window)
{
    const int slot = window->slot();
    if (!QModified(slot) || !window->hasContent())
        return true;
    const Language language(m_context.host.state());
    const auto answer = m_context.host.services().desktop().message(
        language.pick(Texts::get(TextId::SaveChanges)) + window->windowTitle() +
            Texts::get(TextId::SaveChangesEnd).en,
        Desktop::Buttons::YesNoCancel, Desktop::Icon::Question);
    if (answer == Desktop::Answer::Cancel) {
        m_context.host.state().CloseRefused = true;
        return false;
    }
    // A save that did not happen (cancelled or failed) keeps the window and its query.
    if (answer == Desktop::Answer::Yes && !saveWindow(window)) {
        m_context.host.state().CloseRefused = true;
        return false;
    }
    return true;
}

void QueryWorkspace::closed(int slot)
{
    m_windows[static_cast<size_t>(slot)] = nullptr;
    m_modified[static_cast<size_t>(slot)] = false;
    if (m_count > 0)
        --m_count;
    if (openCount() == 0) {
        m_count = 0;
        m_context.host.DisableSaveMenus();
        m_context.host.setStatusText(QString());
    }
}
