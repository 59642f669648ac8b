#include "window/query/QueryWorkspace.h"

#include "query/document/QueryDocumentFile.h"
#include "query/document/RecoveryCopies.h"
#include "shell/AppState.h"
#include "shell/DesktopServices.h"
#include "shell/Language.h"
#include "shell/Messenger.h"
#include "shell/OpenDocuments.h"
#include "shell/RecentDocuments.h"
#include "shell/ShellHost.h"
#include "shell/Texts.h"
#include "window/query/MyTable.h"
#include "window/query/PreviewPane.h"
#include "window/query/QueryContext.h"
#include "window/query/QueryWindow.h"
#include "window/query/TableTreeController.h"

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

void QueryWorkspace::connectionClosed()
{
    for (const QPointer<QueryWindow>& window : m_windows) {
        if (window)
            window->preview().clear();
    }
}

QueryWindow* QueryWorkspace::activeWindow() const
{
    return qobject_cast<QueryWindow*>(m_context.host.activeQueryWindow());
}

int QueryWorkspace::activeSlot() const
{
    const QueryWindow* active = activeWindow();
    return active ? active->slot() : 0;
}

bool QueryWorkspace::isModified(int slot) const
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

bool QueryWorkspace::atWindowLimit() const
{
    return openCount() >= kSlots;
}

void QueryWorkspace::showWindowLimit()
{
    Messenger(m_context.host.services().desktop(), m_context.host.state())
        .show(Texts::get(TextId::WindowLimit), Desktop::Icon::Information);
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
    connect(created, &QObject::destroyed, this, [this, slot, created] {
        m_closing.remove(created);
        closed(slot);
    });
    connect(created, &QueryWindow::modified, this, [this, created] { setModified(created); });
    m_context.host.addQueryWindow(created);
    return created;
}

void QueryWorkspace::newQuery()
{
    // With every slot taken the window of the next slot comes to the front, and the user is told
    // why no new one opened.
    const bool full = atWindowLimit();
    QueryDocument document;
    document.rowLimitShown = true;
    openWindow(nextSlot(), document);
    if (full)
        showWindowLimit();
}

int QueryWorkspace::openQuery()
{
    AppState& state = m_context.host.state();
    DesktopServices& services = m_context.host.services();
    // A document chosen now could not be shown.
    if (atWindowLimit()) {
        showWindowLimit();
        return 0;
    }
    if (state.currentQueryFile.isEmpty())
        state.currentQueryFile = Texts::get(TextId::QueryCaption).en + QString::number(m_count + 1);
    if (services.chooseFileToOpen(state.currentQueryFile, DesktopServices::kTextFilter) == 0)
        return 0;
    return openQueryFile(services.dialogFileName());
}

int QueryWorkspace::openQueryFile(const QString& path)
{
    AppState& state = m_context.host.state();
    DesktopServices& services = m_context.host.services();
    state.currentQueryFile = path;
    QueryDocument document;
    const QueryDocumentFile::ReadResult read = QueryDocumentFile::readFile(path, document);
    if (!read.ok) {
        services.desktop().message(read.error);
        return 0;
    }
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
    // Only a document that is shown counts as opened.
    m_context.host.setStatusText(path + Language(state).pick(Texts::get(TextId::DocumentOpened)));
    RecentDocuments(RecentDocuments::pathIn(m_context.programFolder)).add(path);
    return 1;
}

bool QueryWorkspace::save(QueryWindow* window, const QString& path)
{
    QString error;
    if (!QueryDocumentFile::writeFile(path, window->document(), &error)) {
        m_context.host.services().desktop().message(QStringLiteral("Error 75: ") + error +
                                                    QStringLiteral(" on WriteDocument"));
        return false;
    }
    m_context.host.state().currentQueryFile = path;
    m_context.host.setStatusText(
        path + Language(m_context.host.state()).pick(Texts::get(TextId::DocumentSaved)));
    window->setFilePath(path);
    RecentDocuments(RecentDocuments::pathIn(m_context.programFolder)).add(path);
    return true;
}

void QueryWorkspace::saveQuery()
{
    saveWindow(activeWindow());
}

void QueryWorkspace::saveQueryAs()
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
    const QString start = QueryDocumentFile::folderOf(state.currentQueryFile) +
                          QStringLiteral("Quillon ") + window->myTable().tableName();
    if (services.chooseFileToSave(start, DesktopServices::kTextFilter) == 0)
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
    if (!isModified(slot) || !window->hasContent()) {
        m_closing.insert(window);
        return true;
    }
    const Language language(m_context.host.state());
    const auto answer = m_context.host.services().desktop().message(
        language.pick(Texts::get(TextId::SaveChanges)) + window->windowTitle() +
            Texts::get(TextId::SaveChangesEnd).en,
        Desktop::Buttons::YesNoCancel, Desktop::Icon::Question);
    if (answer == Desktop::Answer::Cancel)
        return false;
    // A save that did not happen (cancelled or failed) keeps the window and its query.
    if (answer == Desktop::Answer::Yes && !saveWindow(window))
        return false;
    m_closing.insert(window);
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
        m_context.host.disableSaveMenus();
        m_context.host.setStatusText(QString());
    }
}

void QueryWorkspace::keepUnsavedWork()
{
    QVector<RecoveryCopies::Copy> copies;
    QueryWindow* active = activeWindow();
    if (m_closing.contains(active))
        active = nullptr;
    for (int slot = 1; slot <= kSlots; ++slot) {
        QueryWindow* open = window(slot);
        if (!open || m_closing.contains(open))
            continue;
        if (open != active)
            open->tree().saveTree();
        if (isModified(slot) && open->hasContent())
            copies.append({open->windowTitle(), open->document()});
    }
    // The shared tree keeps the copy of the window the user worked in last.
    if (active)
        active->tree().saveTree();
    RecoveryCopies::replace(RecoveryCopies::folderIn(m_context.programFolder), copies);
}

void QueryWorkspace::keepOpenDocuments()
{
    // Untitled windows are left to their recovery copies.
    QStringList paths;
    for (int slot = 1; slot <= kSlots; ++slot) {
        const QueryWindow* open = window(slot);
        if (open && !open->filePath().isEmpty() && !paths.contains(open->filePath()))
            paths.append(open->filePath());
    }
    OpenDocuments(OpenDocuments::pathIn(m_context.programFolder)).write(paths);
}

void QueryWorkspace::offerOpenDocuments()
{
    AppState& state = m_context.host.state();
    const QStringList kept = OpenDocuments(OpenDocuments::pathIn(m_context.programFolder)).paths();
    if (state.reopenQueries == u"0" || kept.isEmpty())
        return;
    QStringList there;
    QStringList gone;
    for (const QString& path : kept) {
        bool open = false;
        for (int slot = 1; slot <= kSlots; ++slot)
            open = open || (window(slot) && window(slot)->filePath() == path);
        if (open)
            continue;
        (QFileInfo(path).isFile() ? there : gone).append(path);
    }
    Desktop& desktop = m_context.host.services().desktop();
    if (!gone.isEmpty())
        Messenger(desktop, state).show(Texts::get(TextId::ReopenGone) + gone.join(u'\n'));
    if (there.isEmpty())
        return;
    const Language language(state);
    if (desktop.message(language.pick(Texts::get(TextId::ReopenOffer)) + there.join(u'\n'),
                        Desktop::Buttons::YesNo, Desktop::Icon::Question) != Desktop::Answer::Yes)
        return;
    // A document that cannot be read says so and the others still open.
    for (const QString& path : there) {
        if (atWindowLimit())
            break;
        openQueryFile(path);
    }
}

void QueryWorkspace::offerRecoveryCopies()
{
    const QString folder = RecoveryCopies::folderIn(m_context.programFolder);
    const QVector<RecoveryCopies::Copy> copies = RecoveryCopies::read(folder);
    if (copies.isEmpty()) {
        RecoveryCopies::clear(folder);
        return;
    }
    QStringList captions;
    for (const RecoveryCopies::Copy& copy : copies)
        captions.append(copy.caption);
    const Language language(m_context.host.state());
    const auto answer = m_context.host.services().desktop().message(
        language.pick(Texts::get(TextId::RecoveryOffer)) + captions.join(QStringLiteral(", ")) +
            language.pick(Texts::get(TextId::RecoveryOfferEnd)),
        Desktop::Buttons::YesNo, Desktop::Icon::Question);
    // Opened or declined, the copies have been offered once; opened ones live on in their windows.
    if (answer == Desktop::Answer::Yes) {
        for (const RecoveryCopies::Copy& copy : copies) {
            if (atWindowLimit())
                break;
            QueryWindow* created = openWindow(nextSlot(), copy.document);
            if (!created)
                break;
            // A copy recovered twice is marked once.
            QString caption = copy.caption;
            const BiText mark = Texts::get(TextId::Recovered);
            for (const QString& form : {mark.en, mark.pt}) {
                if (caption.endsWith(form))
                    caption.chop(form.size());
            }
            created->setWindowTitle(caption + language.pick(mark));
            setModified(created);
        }
    }
    RecoveryCopies::clear(folder);
}
