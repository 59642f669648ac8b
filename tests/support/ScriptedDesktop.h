#pragma once

#include "shell/Desktop.h"

#include <QHash>
#include <QList>
#include <QQueue>
#include <QSet>
#include <QStringList>

// A desktop for tests: it records every message, dialog and program start, answers questions
// and file dialogs from queues, and never shows a window or starts a program.
class ScriptedDesktop : public Desktop
{
public:
    struct Message {
        QString text;
        Buttons buttons;
        Icon icon;
        QString title;
    };

    struct Start {
        QString program;
        QStringList arguments;
    };

    struct Search {
        QString root;
        QString name;
    };

    // Answers for message boxes; an empty queue answers Ok (or Cancel when there is no Ok).
    QQueue<Answer> answers;
    // Answers for file dialogs; an empty queue cancels.
    QQueue<std::optional<QString>> files;
    // The file type chosen with each answer of files; empty: the one shown first.
    QQueue<int> filterIndexes;
    // Programs that fail to start.
    QSet<QString> failingPrograms;
    // Associated programs by file suffix ("csv" -> "/usr/bin/calc"); web addresses open with
    // the program of "html". openUrl starts them as the desktop's opener would.
    QHash<QString, QString> associations;
    // Search results by root and name joined with "|".
    QHash<QString, QString> searchResults;
    QString user = QStringLiteral("maria");
    QString sapLogonName = QStringLiteral("saplogon.exe");
    QStringList searchRoots = {QStringLiteral("c:\\"), QStringLiteral("d:\\")};
    QString viewer = QStringLiteral("hh.exe");
    QString sysInfo;

    QList<Message> messages;
    QList<FileRequest> fileRequests;
    QList<Start> starts;
    QList<QUrl> openedUrls;
    QList<Search> searches;
    int busyDepth = 0;
    int busyCalls = 0;

    QStringList messageTexts() const;

    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    std::optional<QString> chooseFile(const FileRequest& request) override;
    int chosenFilterIndex() const override { return m_filterIndex; }
    bool startProgram(const QString& program, const QStringList& arguments) override;
    bool openUrl(const QUrl& url) override;
    QString userName() override { return user; }
    QString searchForFile(const QString& root, const QString& name) override;
    void setBusy(bool busy) override;
    QString sapLogonFileName() override { return sapLogonName; }
    QStringList sapLogonSearchRoots() override { return searchRoots; }
    QString helpViewer() override { return viewer; }
    QString systemInformationProgram() override { return sysInfo; }

private:
    int m_filterIndex = 0;
};
