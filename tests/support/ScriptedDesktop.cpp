#include "ScriptedDesktop.h"

#include <QFileInfo>

QStringList ScriptedDesktop::messageTexts() const
{
    QStringList texts;
    for (const Message& m : messages)
        texts.append(m.text);
    return texts;
}

Desktop::Answer ScriptedDesktop::message(const QString& text, Buttons buttons, Icon icon,
                                         const QString& title)
{
    messages.append({text, buttons, icon, title});
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Cancel;
}

std::optional<QString> ScriptedDesktop::chooseFile(const FileRequest& request)
{
    fileRequests.append(request);
    m_filterIndex = filterIndexes.isEmpty() ? request.filterIndex : filterIndexes.dequeue();
    if (files.isEmpty())
        return std::nullopt;
    return files.dequeue();
}

bool ScriptedDesktop::startProgram(const QString& program, const QStringList& arguments)
{
    starts.append({program, arguments});
    return !program.isEmpty() && !failingPrograms.contains(program);
}

bool ScriptedDesktop::openUrl(const QUrl& url)
{
    openedUrls.append(url);
    if (!url.isLocalFile()) {
        const QString browser = associations.value(QStringLiteral("html"));
        return !browser.isEmpty() && startProgram(browser, {url.toString()});
    }
    const QString path = url.toLocalFile();
    const QString program = associations.value(QFileInfo(path).suffix().toLower());
    return !program.isEmpty() && startProgram(program, {path});
}

QString ScriptedDesktop::searchForFile(const QString& root, const QString& name)
{
    searches.append({root, name});
    return searchResults.value(root + u'|' + name);
}

void ScriptedDesktop::setBusy(bool busy)
{
    ++busyCalls;
    busyDepth += busy ? 1 : -1;
}
