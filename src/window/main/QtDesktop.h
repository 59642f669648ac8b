#pragma once

#include "shell/Desktop.h"

#include <memory>

class QMessageBox;

// The desktop services with real Qt dialogs, processes and the platform's lookups.
class QtDesktop : public Desktop
{
public:
    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    std::optional<QString> chooseFile(const FileRequest& request) override;
    int chosenFilterIndex() const override { return m_filterIndex; }
    bool startProgram(const QString& program, const QStringList& arguments) override;
    bool openUrl(const QUrl& url) override;
    QString userName() override;
    QString searchForFile(const QString& root, const QString& name) override;
    void setBusy(bool busy) override;
    QString sapLogonFileName() override;
    QStringList sapLogonSearchRoots() override;
    QString helpViewer() override;
    QString systemInformationProgram() override;

    // The icon a message box shows: the one asked for, else a question's or a notice's, so
    // that no box comes without one.
    static Icon iconFor(Icon asked, Buttons buttons);
    // The box message() shows, not yet shown, so that what it says can be looked at.
    static std::unique_ptr<QMessageBox> messageBox(const QString& text, Buttons buttons, Icon icon,
                                                   const QString& title = {});
    // "Text (*.txt)|*.txt|All Files (*.*)|*.*" as Qt name filters.
    static QStringList nameFilters(const QString& filter);

private:
    int m_filterIndex = 0;
};
