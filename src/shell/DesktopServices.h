#pragma once

#include "shell/Desktop.h"

#include <QString>

#include <functional>
#include <optional>

struct AppState;

// The program's desktop services: the common Open and Save dialog with its remembered title,
// filter and file name, opening files and web pages with their programs, SAP Logon and help.
class DesktopServices
{
public:
    using StatusSink = std::function<void(const QString&)>;

    enum FilterKind { kTextFilter = 2, kTableFilter = 4 };

    DesktopServices(Desktop& desktop, AppState& state, QString programFolder, StatusSink status);

    QString currentUserName();
    QString searchForFile(const QString& root, const QString& fileName);
    int chooseFileToOpen(const QString& initialName, int filterKind);
    int chooseFileToSave(const QString& initialName, int filterKind);
    int chooseTableFile();
    // A save dialog with a title and filter of the caller's, remembered like the others.
    // filterIndex: the file type shown first; dialogFilterIndex() says which one was chosen.
    // note: a line the dialog shows under the file name.
    int chooseFileToSaveAs(const QString& title, const QString& filter, const QString& initialName,
                           int filterIndex = 0, const QString& note = {});
    // Both go through the desktop's own opener and report when it fails; a file that cannot be
    // opened is named, with its folder offered instead.
    void openWithAssociatedProgram(const QString& path);
    void openUrl(const QString& url);
    void startSapLogon();
    // The help file with its viewer where both exist, else the HTML manual in the browser.
    void openHelp();
    void chooseAndOpenTableFile();
    void startSystemInformation();
    static QString replaceAll(const QString& text, const QString& searched,
                              const QString& replacement);

    static QString filterText(int kind); // empty for kinds without a filter

    // The common dialog's fields, kept from one use to the next.
    QString dialogFileName() const { return m_fileName; }
    int dialogFilterIndex() const { return m_filterIndex; }
    QString dialogTitle() const { return m_title; }
    QString dialogFilter() const { return m_filter; }
    void setDialogTitle(const QString& title) { m_title = title; }

    Desktop& desktop() { return m_desktop; }
    // The manual's first page; unless set, the one shipped beside the executable.
    void setManualPage(const QString& path) { m_manualPage = path; }

private:
    int showDialog(Desktop::FileRequest::Mode mode, bool confirmOverwrite,
                   const QString& note = {});
    void setFilter(int kind);
    // After a file could not be opened: offers the folder that holds it, in the file manager.
    void offerFolder(const QString& path);

    Desktop& m_desktop;
    AppState& m_state;
    QString m_programFolder;
    StatusSink m_status;
    QString m_title;
    QString m_filter;
    QString m_fileName;
    int m_filterIndex = 0;
    std::optional<QString> m_manualPage;
};
