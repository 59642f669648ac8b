#pragma once

#include "sap/ReadTableWidths.h"
#include "shell/BiText.h"

#include "query/read/KeyField.h"
#include "query/read/RowBlock.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

// Which fields each call of a table read asks for. Read by key, every call also carries the
// table's key fields, and a call that no longer fits a data line is halved.
class PieceLayout
{
public:
    static constexpr int kLineWidth = ReadTableWidths::kDataLine;

    struct Column {
        QString field; // field name without the table
        int length = 0;
    };
    struct Piece {
        QStringList fields;        // FIELDNAME rows
        std::vector<int> lengths;  // their dictionary lengths
        std::vector<int> columns;  // the request's column of each of the first fields
        std::vector<int> keySlots; // the slot of each range key field
    };
    // What one call of a piece returned: its lines, and where each field sits on them.
    struct Answer {
        std::shared_ptr<RowBlock> block;
        std::vector<RowBlock::Slot> places;
    };

    // The pieces as planned, without the key.
    static std::vector<Piece> plain(const std::vector<Column>& columns,
                                    const std::vector<std::vector<int>>& pieces);
    // The pieces each with the key; nothing, with the reason, when a field and the key do not
    // fit one line together.
    static std::optional<std::vector<Piece>> keyed(const std::vector<Column>& columns,
                                                   const std::vector<std::vector<int>>& pieces,
                                                   const std::vector<KeyField>& keys,
                                                   const QString& table, BiText* why,
                                                   int lineWidth = kLineWidth);
    // A piece of the key fields alone.
    static Piece keysOnly(const std::vector<KeyField>& keys);

private:
    static Piece pieceOf(const std::vector<Column>& columns, const std::vector<int>& chosen);
};
