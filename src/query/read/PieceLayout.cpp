#include "query/read/PieceLayout.h"
#include "shell/FaultTexts.h"

#include <algorithm>
#include <deque>

PieceLayout::Piece PieceLayout::pieceOf(const std::vector<Column>& columns,
                                        const std::vector<int>& chosen)
{
    Piece piece;
    for (int c : chosen) {
        piece.fields.append(columns[static_cast<size_t>(c)].field);
        piece.lengths.push_back(columns[static_cast<size_t>(c)].length);
        piece.columns.push_back(c);
    }
    return piece;
}

std::vector<PieceLayout::Piece> PieceLayout::plain(const std::vector<Column>& columns,
                                                   const std::vector<std::vector<int>>& pieces)
{
    std::vector<Piece> result;
    for (const std::vector<int>& chosen : pieces)
        result.push_back(pieceOf(columns, chosen));
    return result;
}

std::optional<std::vector<PieceLayout::Piece>>
PieceLayout::keyed(const std::vector<Column>& columns, const std::vector<std::vector<int>>& pieces,
                   const std::vector<KeyField>& keys, const QString& table, BiText* why,
                   int lineWidth)
{
    const auto width = [&](const std::vector<int>& chosen) {
        int total = 0;
        for (const KeyField& key : keys) {
            const bool present = std::any_of(chosen.begin(), chosen.end(), [&](int c) {
                return columns[static_cast<size_t>(c)].field.compare(key.name,
                                                                     Qt::CaseInsensitive) == 0;
            });
            if (!present)
                total += key.length;
        }
        for (int c : chosen)
            total += columns[static_cast<size_t>(c)].length;
        return total;
    };
    // Each piece also carries the key; a piece that no longer fits a line is halved.
    std::deque<std::vector<int>> todo(pieces.begin(), pieces.end());
    std::vector<std::vector<int>> parts;
    while (!todo.empty()) {
        std::vector<int> chosen = todo.front();
        todo.pop_front();
        if (width(chosen) <= lineWidth) {
            parts.push_back(chosen);
            continue;
        }
        if (chosen.size() == 1) {
            if (why)
                *why = FaultTexts::get(FaultText::FieldAndKeyTooWide)
                           .arg(columns[static_cast<size_t>(chosen.front())].field, table,
                                QString::number(lineWidth));
            return std::nullopt;
        }
        const auto middle = chosen.begin() + static_cast<qsizetype>(chosen.size() / 2);
        todo.push_front(std::vector<int>(middle, chosen.end()));
        todo.push_front(std::vector<int>(chosen.begin(), middle));
    }
    std::vector<Piece> result;
    for (const std::vector<int>& chosen : parts) {
        Piece piece = pieceOf(columns, chosen);
        for (const KeyField& key : keys) {
            qsizetype at = -1;
            for (qsizetype i = 0; i < piece.fields.size() && at < 0; ++i) {
                if (piece.fields.at(i).compare(key.name, Qt::CaseInsensitive) == 0)
                    at = i;
            }
            if (at < 0) {
                at = piece.fields.size();
                piece.fields.append(key.name);
                piece.lengths.push_back(key.length);
            }
            piece.keySlots.push_back(static_cast<int>(at));
        }
        result.push_back(piece);
    }
    return result;
}

PieceLayout::Piece PieceLayout::keysOnly(const std::vector<KeyField>& keys)
{
    Piece piece;
    for (size_t i = 0; i < keys.size(); ++i) {
        piece.fields.append(keys[i].name);
        piece.lengths.push_back(keys[i].length);
        piece.keySlots.push_back(static_cast<int>(i));
    }
    return piece;
}
