#pragma once

#include "query/read/RowBlock.h"

#include <QStringView>

#include <memory>
#include <vector>

// Rows of one table, joined from the answers of its pieces: row r takes, from every piece, the
// answer line that order(piece)[r] names (or none, where that piece has no row r).
class TableBatch
{
public:
    struct Piece {
        std::shared_ptr<const RowBlock> block;
        std::vector<RowBlock::Slot> places;
        std::vector<qsizetype> order; // answer line of each row; -1: none
    };
    struct Column {
        int piece = 0;
        int slot = 0;
    };

    TableBatch(std::vector<Piece> pieces, std::vector<Column> columns, qsizetype rows)
        : m_pieces(std::move(pieces)), m_columns(std::move(columns)), m_rows(rows)
    {
    }

    qsizetype rows() const { return m_rows; }
    int columns() const { return static_cast<int>(m_columns.size()); }
    // Row r's values and presence into the places that targets names for each column.
    void fill(qsizetype row, const int* targets, QStringView* values, char* present) const
    {
        for (size_t c = 0; c < m_columns.size(); ++c) {
            const Column& column = m_columns[c];
            const Piece& piece = m_pieces[static_cast<size_t>(column.piece)];
            const qsizetype at = row < static_cast<qsizetype>(piece.order.size())
                                     ? piece.order[static_cast<size_t>(row)]
                                     : -1;
            const size_t to = static_cast<size_t>(targets[c]);
            present[to] = at >= 0;
            values[to] =
                at >= 0 ? piece.block->value(at, piece.places[static_cast<size_t>(column.slot)])
                        : QStringView();
        }
    }

private:
    std::vector<Piece> m_pieces;
    std::vector<Column> m_columns;
    qsizetype m_rows;
};
