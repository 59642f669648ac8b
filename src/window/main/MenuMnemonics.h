#pragma once

#include <QStringList>

class QMenuBar;

// Gives every menu title and menu item a mnemonic ("&") unique among its siblings, in whatever
// language the captions are: a letter that begins a word first, else any letter or digit. A
// caption that carries its own mnemonic keeps it.
class MenuMnemonics
{
public:
    static QStringList assign(const QStringList& captions);
    // The menu bar's titles, then each menu's items and their submenus.
    static void apply(QMenuBar* bar);
    // The caption as shown: a single "&" is no character, "&&" is one "&".
    static QString visible(const QString& caption);
};
