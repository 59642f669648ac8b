#pragma once

// Finds the texts a window shows that are still English when Portuguese is chosen. What is
// English is learnt from the program's own text tables: a word of an English form that no
// Portuguese form uses. Texts with one form, and texts that are some Portuguese form, pass;
// Qt's own English buttons are caught by their whole text.

#include "shell/CaptionTable.h"
#include "shell/Texts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QTreeWidget>
#include <QWidget>

#include <algorithm>

class EnglishLeft
{
public:
    // exceptions: whole texts or parts of texts that may stay as they are (names, the system's
    // own words); patterns: regular expressions of such parts.
    explicit EnglishLeft(QStringList exceptions = {}, QStringList patterns = {})
    {
        QList<BiText> forms;
        for (int id = 0;; ++id) {
            const BiText text = Texts::get(static_cast<TextId>(id));
            if (text.en.isEmpty())
                break;
            forms.append(text);
        }
        for (const CaptionTable::Row& row : CaptionTable::rows())
            forms.append(row.text);
        QSet<QString> portugueseWords;
        for (const BiText& text : forms) {
            if (text.en == text.pt) {
                m_parts.append(text.en.trimmed());
                continue;
            }
            m_portuguese.insert(plain(text.pt));
            for (const QString& word : words(text.pt))
                portugueseWords.insert(word);
        }
        for (const BiText& text : forms) {
            for (const QString& word : words(text.en)) {
                if (text.en != text.pt && !portugueseWords.contains(word))
                    m_englishWords.insert(word);
            }
        }
        m_parts += exceptions;
        m_parts.removeAll(QString());
        // The longest first, so that a part inside another does not cut it.
        std::sort(m_parts.begin(), m_parts.end(),
                  [](const QString& a, const QString& b) { return a.size() > b.size(); });
        for (const QString& pattern : patterns)
            m_patterns.append(QRegularExpression(pattern));
    }

    // The texts of these that are left in English.
    QStringList in(const QStringList& texts) const
    {
        QStringList english;
        for (const QString& text : texts) {
            if (isEnglish(text))
                english.append(text);
        }
        return english;
    }

    bool isEnglish(const QString& shown) const
    {
        QString text = plain(shown);
        if (text.isEmpty() || m_portuguese.contains(text))
            return false;
        if (kQtEnglish.contains(text))
            return true;
        // The caller's patterns whole, then the parts, then what is a name in any language:
        // paths, file names, web addresses, function names.
        for (const QRegularExpression& pattern : m_patterns)
            text.replace(pattern, QStringLiteral(" "));
        for (const QString& part : m_parts)
            text.replace(part, QStringLiteral(" "));
        static const QRegularExpression names(QStringLiteral("\\S*\\w[./:]\\w\\S*"));
        text.replace(names, QStringLiteral(" "));
        const QStringList left = words(text);
        return std::any_of(left.begin(), left.end(), [this](const QString& word) {
            return m_englishWords.contains(word) && !kPortugueseToo.contains(word);
        });
    }

    // Every text a window shows or would show when its hidden parts open: its title, labels,
    // buttons, group boxes, tips, placeholders, list items, column headers and menus. Without
    // qtButtons, the standard buttons of button boxes, which Qt names, are left out.
    static QStringList visibleTexts(QWidget* top, bool qtButtons = true)
    {
        QStringList texts{top->windowTitle()};
        QList<QWidget*> widgets = top->findChildren<QWidget*>();
        widgets.prepend(top);
        for (QWidget* widget : widgets) {
            if (widget != top && !widget->isVisibleTo(top))
                continue;
            texts.append(widget->toolTip());
            if (auto* label = qobject_cast<QLabel*>(widget))
                texts.append(label->text());
            if (auto* button = qobject_cast<QAbstractButton*>(widget);
                button && (qtButtons || !isStandardButton(button)))
                texts.append(button->text());
            if (auto* box = qobject_cast<QGroupBox*>(widget))
                texts.append(box->title());
            if (auto* edit = qobject_cast<QLineEdit*>(widget); edit && edit->text().isEmpty())
                texts.append(edit->placeholderText());
            if (auto* combo = qobject_cast<QComboBox*>(widget)) {
                for (int i = 0; i < combo->count(); ++i)
                    texts << combo->itemText(i) << combo->itemData(i, Qt::ToolTipRole).toString();
            }
            if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
                for (int c = 0; c < tree->columnCount(); ++c)
                    texts << tree->headerItem()->text(c) << tree->headerItem()->toolTip(c);
            } else if (auto* view = qobject_cast<QAbstractItemView*>(widget);
                       view && view->model()) {
                for (int c = 0; c < view->model()->columnCount(); ++c) {
                    for (int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole)})
                        texts << view->model()->headerData(c, Qt::Horizontal, role).toString();
                }
            }
            if (auto* bar = qobject_cast<QMenuBar*>(widget))
                addActions(bar->actions(), texts);
        }
        texts.removeAll(QString());
        texts.removeDuplicates();
        return texts;
    }

private:
    static bool isStandardButton(QAbstractButton* button)
    {
        const auto* box = qobject_cast<QDialogButtonBox*>(button->parentWidget());
        return box && box->standardButton(button) != QDialogButtonBox::NoButton;
    }

    static void addActions(const QList<QAction*>& actions, QStringList& texts)
    {
        for (QAction* action : actions) {
            if (!action->isVisible() || action->isSeparator())
                continue;
            texts << action->text() << action->toolTip();
            if (QMenu* menu = action->menu())
                addActions(menu->actions(), texts);
        }
    }

    // Without mnemonics, markup and the blanks around it.
    static QString plain(QString text)
    {
        static const QRegularExpression markup(QStringLiteral("<[^>]*>"));
        text.replace(markup, QString());
        text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
        text.remove(u'&');
        text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
        return text.trimmed();
    }

    static QStringList words(const QString& text)
    {
        static const QRegularExpression notLetters(QStringLiteral("[^\\p{L}']+"));
        QStringList result;
        for (QString word : text.split(notLetters, Qt::SkipEmptyParts)) {
            // Capitals are names and codes: users, tables, SQL words (DEMO, KNA1, NOT LIKE).
            if (word.size() > 1 && word == word.toUpper())
                continue;
            word = word.toLower();
            while (word.startsWith(u'\''))
                word.remove(0, 1);
            while (word.endsWith(u'\''))
                word.chop(1);
            if (word.size() > 1)
                result.append(word);
        }
        return result;
    }

    // Qt's own buttons and dialogs when its translations are not loaded.
    inline static const QSet<QString> kQtEnglish{QStringLiteral("Cancel"),
                                                 QStringLiteral("Yes"),
                                                 QStringLiteral("No"),
                                                 QStringLiteral("Save"),
                                                 QStringLiteral("Open"),
                                                 QStringLiteral("Close"),
                                                 QStringLiteral("Apply"),
                                                 QStringLiteral("Discard"),
                                                 QStringLiteral("Help"),
                                                 QStringLiteral("Yes to All"),
                                                 QStringLiteral("No to All"),
                                                 QStringLiteral("Show Details..."),
                                                 QStringLiteral("Look in:"),
                                                 QStringLiteral("File name:"),
                                                 QStringLiteral("Files of type:"),
                                                 QStringLiteral("Back"),
                                                 QStringLiteral("Forward"),
                                                 QStringLiteral("Parent Directory"),
                                                 QStringLiteral("Create New Folder"),
                                                 QStringLiteral("List View"),
                                                 QStringLiteral("Detail View")};

    // Portuguese words spelt as English ones are ("Data de modificação").
    inline static const QSet<QString> kPortugueseToo{QStringLiteral("data")};

    QSet<QString> m_portuguese;
    QSet<QString> m_englishWords;
    QStringList m_parts;
    QList<QRegularExpression> m_patterns;
};
