#include "window/main/MenuMnemonics.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

namespace
{
// The position of the caption's own mnemonic character, or -1.
qsizetype ownMnemonic(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != u'&')
            continue;
        if (caption.at(i + 1).isLetterOrNumber())
            return i + 1;
        ++i; // "&&" is a plain "&"
    }
    return -1;
}

qsizetype choose(const QString& caption, const QSet<QChar>& used)
{
    const auto free = [&](qsizetype i) {
        return caption.at(i).isLetterOrNumber() && !used.contains(caption.at(i).toUpper());
    };
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if ((i == 0 || !caption.at(i - 1).isLetterOrNumber()) && free(i))
            return i;
    }
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (free(i))
            return i;
    }
    return -1;
}

void applyTo(const QList<QAction*>& actions)
{
    QList<QAction*> named;
    QStringList captions;
    for (QAction* action : actions) {
        if (action->isSeparator() || action->text().isEmpty())
            continue;
        named.append(action);
        captions.append(action->text());
    }
    const QStringList marked = MenuMnemonics::assign(captions);
    for (qsizetype i = 0; i < named.size(); ++i) {
        named.at(i)->setText(marked.at(i));
        if (QMenu* submenu = named.at(i)->menu())
            applyTo(submenu->actions());
    }
}
} // namespace

QStringList MenuMnemonics::assign(const QStringList& captions)
{
    QSet<QChar> used;
    QVector<qsizetype> own(captions.size(), -1);
    // Mnemonics the captions carry come first, so no other item takes their letter.
    for (qsizetype i = 0; i < captions.size(); ++i) {
        own[i] = ownMnemonic(captions.at(i));
        if (own[i] >= 0)
            used.insert(captions.at(i).at(own[i]).toUpper());
    }
    QStringList result;
    for (qsizetype i = 0; i < captions.size(); ++i) {
        if (own[i] >= 0) {
            result.append(captions.at(i));
            continue;
        }
        QString caption = captions.at(i);
        caption.replace(u'&', QStringLiteral("&&"));
        const qsizetype at = choose(caption, used);
        if (at >= 0) {
            used.insert(caption.at(at).toUpper());
            caption.insert(at, u'&');
        }
        result.append(caption);
    }
    return result;
}

void MenuMnemonics::apply(QMenuBar* bar)
{
    applyTo(bar->actions());
}

QString MenuMnemonics::visible(const QString& caption)
{
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && i + 1 < caption.size())
            ++i;
        shown.append(caption.at(i));
    }
    return shown;
}
