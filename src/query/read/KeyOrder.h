#pragma once

#include "query/read/KeyField.h"
#include "query/read/PieceLayout.h"

#include <QString>
#include <QStringList>

#include <vector>

// Compares and orders the rows of answers by a table's key, wherever each piece holds its key
// fields, and names rows by their key for the user.
class KeyOrder
{
public:
    using Piece = PieceLayout::Piece;
    using Answer = PieceLayout::Answer;

    // Keeps a reference: the key may be learnt after the order is made.
    explicit KeyOrder(const std::vector<KeyField>& keys) : m_keys(keys) {}

    // Negative, zero or positive as row i of x sorts before, with or after row j of y.
    int compare(const Piece& a, const Answer& x, qsizetype i, const Piece& b, const Answer& y,
                qsizetype j) const;
    // The same, against key values kept from an earlier answer.
    int compare(const Piece& a, const Answer& x, qsizetype i,
                const std::vector<QString>& values) const;
    // The row's key values, to be kept beyond its answer.
    std::vector<QString> values(const Piece& piece, const Answer& answer, qsizetype row) const;
    // Puts rows in key order; false, naming the key, when two rows have one key.
    bool sort(const Piece& piece, const Answer& answer, std::vector<qsizetype>& rows,
              bool* arrivedInOrder, QString* duplicate) const;
    // "1000/0000012345": the row's key values, trimmed.
    QString text(const Piece& piece, const Answer& answer, qsizetype row) const;
    // The keys of at most `most` rows that one of two key-ordered answers holds and the other
    // does not.
    QStringList differences(const Piece& a, const Answer& x, const std::vector<qsizetype>& rowsA,
                            const Piece& b, const Answer& y, const std::vector<qsizetype>& rowsB,
                            int most) const;

private:
    const std::vector<KeyField>& m_keys;
};
