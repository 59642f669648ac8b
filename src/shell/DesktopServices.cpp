#include "shell/DesktopServices.h"

#include "shell/AppState.h"
#include "shell/Language.h"
#include "shell/Messenger.h"
#include "shell/ShippedFiles.h"
#include "shell/Texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

DesktopServices::DesktopServices(Desktop& desktop, AppState& state, QString programFolder,
                                 StatusSink status)
    : m_desktop(desktop), m_state(state), m_programFolder(std::move(programFolder)),
      m_status(std::move(status))
{
}

QString DesktopServices::currentUserName()
{
    return m_desktop.userName().left(255);
}

QString DesktopServices::searchForFile(const QString& root, const QString& fileName)
{
    return m_desktop.searchForFile(root, fileName);
}

QString DesktopServices::filterText(int kind)
{
    switch (kind) {
    case kTextFilter:
        return QStringLiteral("Text (*.txt)|*.txt|All Files (*.*)|*.*");
    case kTableFilter:
        return QStringLiteral(
            "Text (*.csv)|*.csv|Text (*.txt)|*.txt|Excel (*.xls)|*.xls|All Files (*.*)|*.*");
    default:
        return {};
    }
}

void DesktopServices::setFilter(int kind)
{
    m_filterIndex = 0;
    const QString filter = filterText(kind);
    if (!filter.isEmpty())
        m_filter = filter;
}

int DesktopServices::showDialog(Desktop::FileRequest::Mode mode, bool confirmOverwrite,
                                const QString& note)
{
    Desktop::FileRequest request;
    request.mode = mode;
    request.title = m_title;
    request.filter = m_filter;
    request.fileName = m_fileName;
    request.confirmOverwrite = confirmOverwrite;
    request.filterIndex = m_filterIndex;
    request.note = note;
    const std::optional<QString> chosen = m_desktop.chooseFile(request);
    if (!chosen)
        return 0;
    m_fileName = *chosen;
    m_filterIndex = m_desktop.chosenFilterIndex();
    return 1;
}

int DesktopServices::chooseFileToOpen(const QString& initialName, int filterKind)
{
    setFilter(filterKind);
    m_fileName = initialName;
    m_title = Language(m_state).pick(Texts::get(TextId::DialogOpen));
    return showDialog(Desktop::FileRequest::Mode::Open, false);
}

int DesktopServices::chooseFileToSave(const QString& initialName, int filterKind)
{
    setFilter(filterKind);
    m_fileName = initialName;
    m_title = Language(m_state).pick(Texts::get(TextId::DialogSaveAs));
    return showDialog(Desktop::FileRequest::Mode::Save, true);
}

int DesktopServices::chooseFileToSaveAs(const QString& title, const QString& filter,
                                        const QString& initialName, int filterIndex,
                                        const QString& note)
{
    m_title = title;
    m_filter = filter;
    m_fileName = initialName;
    m_filterIndex = filterIndex;
    return showDialog(Desktop::FileRequest::Mode::Save, true, note);
}

int DesktopServices::chooseTableFile()
{
    setFilter(kTableFilter);
    m_fileName = m_state.lastTableFile;
    if (showDialog(Desktop::FileRequest::Mode::Open, false) == 0)
        return 0;
    m_state.lastTableFile = m_fileName;
    return 1;
}

void DesktopServices::chooseAndOpenTableFile()
{
    m_title = Language(m_state).pick(Texts::get(TextId::DialogOpenTableInExcel));
    if (chooseTableFile() == 1)
        openWithAssociatedProgram(m_state.lastTableFile);
}

void DesktopServices::openWithAssociatedProgram(const QString& path)
{
    const Language language(m_state);
    m_status(language.pick(Texts::get(TextId::Opening)) + path + QStringLiteral("..."));
    if (!m_desktop.openUrl(QUrl::fromLocalFile(path))) {
        Messenger(m_desktop, m_state).show(Texts::get(TextId::CouldNotOpen) + path);
        offerFolder(path);
        return;
    }
    m_status(path + language.pick(Texts::get(TextId::Opened)));
}

void DesktopServices::offerFolder(const QString& path)
{
    const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    const QString question = Language(m_state).pick(Texts::get(TextId::OpenFolderInstead));
    if (m_desktop.message(question.arg(folder), Desktop::Buttons::YesNo, Desktop::Icon::Question) !=
        Desktop::Answer::Yes)
        return;
    if (!m_desktop.openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath())))
        Messenger(m_desktop, m_state).show(Texts::get(TextId::CouldNotOpen) + folder);
}

void DesktopServices::openUrl(const QString& url)
{
    if (!m_desktop.openUrl(QUrl(url)))
        Messenger(m_desktop, m_state).show(Texts::get(TextId::BrowserNotFound));
}

void DesktopServices::startSapLogon()
{
    m_desktop.setBusy(true);
    if (!m_state.sapLogonPath.isEmpty() && m_desktop.startProgram(m_state.sapLogonPath, {})) {
        m_desktop.setBusy(false);
        return;
    }
    const QString fileName = m_desktop.sapLogonFileName();
    QString found;
    for (const QString& root : m_desktop.sapLogonSearchRoots()) {
        found = searchForFile(root, fileName);
        if (!found.isEmpty())
            break;
    }
    m_state.sapLogonPath = found;
    const bool started = !found.isEmpty() && m_desktop.startProgram(found, {});
    m_desktop.setBusy(false);
    if (!started)
        Messenger(m_desktop, m_state).show(Texts::get(TextId::SapLogonNotFound));
}

void DesktopServices::openHelp()
{
    const QString helpFile = QDir(m_programFolder).filePath(QStringLiteral("zorv.chm"));
    const QString viewer = m_desktop.helpViewer();
    if (!viewer.isEmpty() && QFileInfo(helpFile).isFile()) {
        if (!m_desktop.startProgram(viewer, {QDir::toNativeSeparators(helpFile)}))
            Messenger(m_desktop, m_state).show(Texts::get(TextId::HelpNotStarted) + helpFile);
        return;
    }
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString manual =
        m_manualPage.value_or(ShippedFiles::find(executableFolder, ShippedFiles::manualPage()));
    if (manual.isEmpty() || !QFileInfo(manual).isFile()) {
        const QStringList places =
            m_manualPage ? QStringList{*m_manualPage}
                         : ShippedFiles::candidates(executableFolder, ShippedFiles::manualPage());
        Messenger(m_desktop, m_state)
            .show(Texts::get(TextId::HelpNotStarted) +
                  QDir::toNativeSeparators(places.join(QStringLiteral(", "))));
        return;
    }
    // Without a browser the manual can still be read: say where it is.
    const QString page = QFileInfo(manual).absoluteFilePath();
    if (!m_desktop.openUrl(QUrl::fromLocalFile(page)))
        Messenger(m_desktop, m_state)
            .show(Texts::get(TextId::HelpNotStarted) + QDir::toNativeSeparators(page));
}

void DesktopServices::startSystemInformation()
{
    const QString tool = m_desktop.systemInformationProgram();
    if (tool.isEmpty() || !m_desktop.startProgram(tool, {}))
        Messenger(m_desktop, m_state).show(Texts::get(TextId::SysInfoUnavailable));
}

QString DesktopServices::replaceAll(const QString& text, const QString& searched,
                                    const QString& replacement)
{
    // A replacement that contains the searched text would never end; replace once instead.
    if (searched.isEmpty())
        return text;
    if (replacement.contains(searched)) {
        QString copy = text;
        return copy.replace(searched, replacement);
    }
    QString result = text;
    qsizetype at = result.indexOf(searched);
    while (at >= 0) {
        result = result.left(at) + replacement + result.mid(at + searched.size());
        at = result.indexOf(searched);
    }
    return result;
}
