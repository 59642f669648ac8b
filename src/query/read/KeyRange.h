#pragma once

#include "query/read/KeyField.h"
#include "shell/BiText.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// A part of a table by its key: the first fields of the key fixed to values, the next one
// within bounds. Parts made by splitting one another never overlap, so reading each part once
// reads every row once, whatever order the system returns rows in.
class KeyRange
{
public:
    std::vector<QString> prefix; // values of the first key fields, as a DATA line holds them
    std::optional<QString> low;  // bounds of the next key field
    bool lowInclusive = true;
    std::optional<QString> high; // exclusive

    int depth() const { return static_cast<int>(prefix.size()); }

    // The same prefix, bounded above by value.
    KeyRange below(const QString& value) const;
    // The same prefix, from value on (inclusive or not).
    KeyRange from(const QString& value, bool inclusive) const;
    // The prefix grown by value.
    KeyRange within(const QString& value) const;
    // True when no value can lie in the bounds.
    bool emptyBy(const KeyField& field) const;

    // Whether the key values of a row lie in the part; value(i) gives the row's value of key
    // field i.
    bool contains(const std::vector<KeyField>& fields,
                  const std::function<QStringView(int)>& value) const;

    // The condition as WHERE tokens ("BUKRS", "=", "'1000'", "AND", ...); nothing for the
    // whole table. False when a value cannot be written as a literal.
    bool tokens(const std::vector<KeyField>& fields, QStringList& out, BiText* why) const;
    // The condition that holds in any of the ranges, as WHERE tokens.
    static bool anyOf(const std::vector<KeyRange>& ranges, const std::vector<KeyField>& fields,
                      QStringList& out, BiText* why);

    // The table's own option lines ANDed with the condition, packed into lines of at most
    // width characters. False, with the reason, when a token cannot fit a line.
    static bool optionLines(const QStringList& own, const QStringList& condition, int width,
                            QStringList& out, BiText* why);
};
