#include "window/main/CaptionApplier.h"

#include "shell/CaptionTable.h"
#include "shell/Language.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QWidget>

namespace
{
QList<QObject*> targets(QObject* root, const QString& control)
{
    const qsizetype dot = control.indexOf(u'.');
    if (dot > 0) {
        QList<QObject*> found;
        for (QObject* window : targets(root, control.left(dot)))
            found += window->findChildren<QObject*>(control.mid(dot + 1));
        return found;
    }
    QList<QObject*> found = root->findChildren<QObject*>(control);
    if (root->objectName() == control)
        found.prepend(root);
    return found;
}

void setCaption(QObject* object, const QString& text)
{
    if (auto* action = qobject_cast<QAction*>(object))
        action->setText(text);
    else if (auto* menu = qobject_cast<QMenu*>(object))
        menu->setTitle(text);
    else if (auto* box = qobject_cast<QGroupBox*>(object))
        box->setTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(object))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(object))
        button->setText(text);
    else if (auto* widget = qobject_cast<QWidget*>(object))
        widget->setWindowTitle(text);
}

void setToolTip(QObject* object, const QString& text)
{
    if (auto* action = qobject_cast<QAction*>(object))
        action->setToolTip(text);
    else if (auto* widget = qobject_cast<QWidget*>(object))
        widget->setToolTip(text);
}
} // namespace

void CaptionApplier::apply(QObject* root, const Language& language)
{
    if (!language.english() && !language.portuguese())
        return;
    for (const CaptionTable::Row& row : CaptionTable::rows()) {
        const QString text = language.pick(row.text);
        for (QObject* object : targets(root, row.control)) {
            if (row.kind == CaptionTable::Kind::Caption)
                setCaption(object, text);
            else
                setToolTip(object, text);
        }
    }
}
