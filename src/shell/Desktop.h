#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// Every message box, question, file dialog, outside program, opened file or web page, user name
// and file search goes through here, so tests can script the answers and read every text the
// user would see.
class Desktop
{
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Information, Question, Warning, Critical };
    enum class Answer { Ok, Cancel, Yes, No };

    struct FileRequest {
        enum class Mode { Open, Save };
        Mode mode = Mode::Open;
        QString title;
        QString filter; // "Text (*.txt)|*.txt|All Files (*.*)|*.*"
        QString fileName;
        bool confirmOverwrite = false;
        int filterIndex = 0; // the file type shown first
        QString note;        // a line the dialog shows under the file name: what will be written
    };

    virtual ~Desktop() = default;

    // A message box with the application's title unless one is given.
    virtual Answer message(const QString& text, Buttons buttons = Buttons::Ok,
                           Icon icon = Icon::None, const QString& title = {}) = 0;
    // The chosen path, or nothing when cancelled.
    virtual std::optional<QString> chooseFile(const FileRequest& request) = 0;
    // The file type the user chose in the last file dialog, counted from 0.
    virtual int chosenFilterIndex() const { return 0; }
    // Starts a program with a normal window without waiting; false when it cannot start.
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
    // Hands a file or a web address to the desktop's own opener, which starts the program the
    // user chose for it; false when no program is associated or the opener cannot start.
    virtual bool openUrl(const QUrl& url) = 0;
    virtual QString userName() = 0;
    // The first file of that name in the folder tree below root, or empty.
    virtual QString searchForFile(const QString& root, const QString& name) = 0;
    // The hourglass pointer for long work; calls nest.
    virtual void setBusy(bool busy) = 0;

    // Platform facts, answered per platform (and by tests).
    virtual QString sapLogonFileName() = 0;
    virtual QStringList sapLogonSearchRoots() = 0;
    virtual QString helpViewer() = 0;
    virtual QString systemInformationProgram() = 0;
};
