#include "window/main/QtDesktop.h"

#include "shell/ControlNames.h"
#include "shell/FileSearch.h"
#include "shell/Platform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>

namespace
{
QMessageBox::Icon toQt(Desktop::Icon icon)
{
    switch (icon) {
    case Desktop::Icon::Information:
        return QMessageBox::Information;
    case Desktop::Icon::Question:
        return QMessageBox::Question;
    case Desktop::Icon::Warning:
        return QMessageBox::Warning;
    case Desktop::Icon::Critical:
        return QMessageBox::Critical;
    case Desktop::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(Desktop::Buttons buttons)
{
    switch (buttons) {
    case Desktop::Buttons::Ok:
        return QMessageBox::Ok;
    case Desktop::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Desktop::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Desktop::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

Desktop::Answer fromQt(int button, Desktop::Buttons buttons)
{
    switch (button) {
    case QMessageBox::Ok:
        return Desktop::Answer::Ok;
    case QMessageBox::Yes:
        return Desktop::Answer::Yes;
    case QMessageBox::No:
        return Desktop::Answer::No;
    default:
        break;
    }
    // Closing the box counts as its mildest answer.
    return buttons == Desktop::Buttons::YesNo ? Desktop::Answer::No : Desktop::Answer::Cancel;
}
} // namespace

Desktop::Icon QtDesktop::iconFor(Icon asked, Buttons buttons)
{
    if (asked != Icon::None)
        return asked;
    return buttons == Buttons::Ok ? Icon::Information : Icon::Question;
}

std::unique_ptr<QMessageBox> QtDesktop::messageBox(const QString& text, Buttons buttons, Icon icon,
                                                   const QString& title)
{
    return std::make_unique<QMessageBox>(toQt(iconFor(icon, buttons)),
                                         title.isEmpty() ? QApplication::applicationName() : title,
                                         text, toQt(buttons), QApplication::activeWindow());
}

Desktop::Answer QtDesktop::message(const QString& text, Buttons buttons, Icon icon,
                                   const QString& title)
{
    const std::unique_ptr<QMessageBox> box = messageBox(text, buttons, icon, title);
    return fromQt(box->exec(), buttons);
}

QStringList QtDesktop::nameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(u';', u' ');
#ifndef Q_OS_WIN
        // "*.*" means every file on Windows; elsewhere files need not have a dot.
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
#endif
        QString description = parts.at(i);
        const qsizetype paren = description.indexOf(u'(');
        if (paren >= 0)
            description = description.left(paren).trimmed();
        result.append(description + QStringLiteral(" (") + patterns + u')');
    }
    return result;
}

std::optional<QString> QtDesktop::chooseFile(const FileRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const bool save = request.mode == FileRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    const QStringList filters = nameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(request.filterIndex, filters.constFirst()));
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    // The dialog's own grid (ours, never the platform's): the note takes a row under the file
    // name and type.
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!request.note.isEmpty() && grid) {
        auto* note = new QLabel(request.note, &dialog);
        note->setObjectName(ControlNames::FileDialog::kNote);
        grid->addWidget(note, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    m_filterIndex =
        std::max<int>(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().constFirst();
}

bool QtDesktop::startProgram(const QString& program, const QStringList& arguments)
{
    return !program.isEmpty() && QProcess::startDetached(program, arguments);
}

bool QtDesktop::openUrl(const QUrl& url)
{
    // The opener runs detached and reports nothing once started, so a file without a program
    // of its own is caught here, before it is handed over.
    if (url.isLocalFile() && !Platform::hasAssociatedProgram(url.toLocalFile()))
        return false;
    return QDesktopServices::openUrl(url);
}

QString QtDesktop::userName()
{
    return Platform::userName();
}

QString QtDesktop::searchForFile(const QString& root, const QString& name)
{
    return FileSearch::find(root, name);
}

void QtDesktop::setBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

QString QtDesktop::sapLogonFileName()
{
    return Platform::sapLogonFileName();
}

QStringList QtDesktop::sapLogonSearchRoots()
{
    return Platform::sapLogonSearchRoots();
}

QString QtDesktop::helpViewer()
{
    return Platform::helpViewer();
}

QString QtDesktop::systemInformationProgram()
{
    return Platform::systemInformationProgram();
}
