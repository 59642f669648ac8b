#include "query/read/KeyOrder.h"

#include <algorithm>

int KeyOrder::compare(const Piece& a, const Answer& x, qsizetype i, const Piece& b, const Answer& y,
                      qsizetype j) const
{
    for (size_t k = 0; k < m_keys.size(); ++k) {
        const int c =
            m_keys[k].compare(x.block->value(i, x.places[static_cast<size_t>(a.keySlots[k])]),
                              y.block->value(j, y.places[static_cast<size_t>(b.keySlots[k])]));
        if (c != 0)
            return c;
    }
    return 0;
}

int KeyOrder::compare(const Piece& a, const Answer& x, qsizetype i,
                      const std::vector<QString>& values) const
{
    int c = 0;
    for (size_t k = 0; k < m_keys.size() && c == 0; ++k)
        c = m_keys[k].compare(x.block->value(i, x.places[static_cast<size_t>(a.keySlots[k])]),
                              values[k]);
    return c;
}

std::vector<QString> KeyOrder::values(const Piece& piece, const Answer& answer, qsizetype row) const
{
    std::vector<QString> values;
    for (size_t k = 0; k < m_keys.size(); ++k)
        values.push_back(
            answer.block->value(row, answer.places[static_cast<size_t>(piece.keySlots[k])])
                .toString());
    return values;
}

bool KeyOrder::sort(const Piece& piece, const Answer& answer, std::vector<qsizetype>& rows,
                    bool* arrivedInOrder, QString* duplicate) const
{
    const auto order = [&](qsizetype a, qsizetype b) {
        return compare(piece, answer, a, piece, answer, b);
    };
    *arrivedInOrder = true;
    for (size_t i = 1; i < rows.size() && *arrivedInOrder; ++i)
        *arrivedInOrder = order(rows[i - 1], rows[i]) < 0;
    if (*arrivedInOrder)
        return true;
    std::sort(rows.begin(), rows.end(), [&](qsizetype a, qsizetype b) { return order(a, b) < 0; });
    for (size_t i = 1; i < rows.size(); ++i) {
        if (order(rows[i - 1], rows[i]) == 0) {
            if (duplicate)
                *duplicate = text(piece, answer, rows[i]);
            return false;
        }
    }
    return true;
}

QString KeyOrder::text(const Piece& piece, const Answer& answer, qsizetype row) const
{
    QStringList values;
    for (size_t k = 0; k < m_keys.size(); ++k)
        values.append(
            answer.block->value(row, answer.places[static_cast<size_t>(piece.keySlots[k])])
                .trimmed()
                .toString());
    return values.join(u'/');
}

QStringList KeyOrder::differences(const Piece& a, const Answer& x,
                                  const std::vector<qsizetype>& rowsA, const Piece& b,
                                  const Answer& y, const std::vector<qsizetype>& rowsB,
                                  int most) const
{
    QStringList keys;
    size_t i = 0;
    size_t j = 0;
    while ((i < rowsA.size() || j < rowsB.size()) && keys.size() < most) {
        const int c = i >= rowsA.size()   ? 1
                      : j >= rowsB.size() ? -1
                                          : compare(a, x, rowsA[i], b, y, rowsB[j]);
        if (c < 0)
            keys.append(text(a, x, rowsA[i++]));
        else if (c > 0)
            keys.append(text(b, y, rowsB[j++]));
        else {
            ++i;
            ++j;
        }
    }
    return keys;
}
