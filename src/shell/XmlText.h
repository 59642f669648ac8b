#pragma once

#include <QString>
#include <QStringView>

// Text as XML character data or an attribute value: the markup characters as references, a
// carriage return as "&#13;" (a parser would make it a line feed), and the other control
// characters, which XML 1.0 cannot carry at all, as "?". Writers that need another form of
// some characters (ABAP's "&#38;", a workbook's "_x0001_") say so in the options.
class XmlText
{
public:
    enum class Ampersand { Named, Numeric }; // "&amp;", or "&#38;" as ABAP systems write it
    // The caller's own form of a character, asked before the rules above: true when it has
    // appended text[at]'s form to out.
    using OwnForm = bool (*)(QStringView text, qsizetype at, QString& out);

    struct Options {
        Ampersand ampersand = Ampersand::Named;
        bool quotes = true;      // '"' as "&quot;"
        bool apostrophes = true; // "'" as "&apos;"
        OwnForm ownForm = nullptr;
    };

    static QString escaped(QStringView text);
    static QString escaped(QStringView text, const Options& options);
};
