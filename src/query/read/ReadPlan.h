#pragma once

#include "sap/ReadTableWidths.h"
#include "shell/BiText.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The read plan: a snapshot of My Table's fields and the option lines, split into pieces that
// each fit RFC_READ_TABLE's data line of 512 characters. Fields and option lines count from 0.
class ReadPlan
{
public:
    static constexpr int kLineWidth = ReadTableWidths::kDataLine;

    // A field of My Table.
    struct Field {
        QString key;  // "KNA1-KUNNR"
        QString type; // SAP type letter
        int length = 0;
        QString text;

        QString table() const { return tableOf(key); } // "KNA1"
        QString name() const;                          // "KUNNR"
    };

    // Indexes begin .. end - 1 of fields() or options().
    struct Range {
        int begin = 0;
        int end = 0;

        int size() const { return end - begin; }
        bool isEmpty() const { return end <= begin; }
        bool operator==(const Range&) const = default;
    };

    // One call of RFC_READ_TABLE: a run of fields of one table that fits a data line, and the
    // option lines from the first to the last that names the table (lines between travel along).
    struct Piece {
        QString table;
        Range fields;
        Range options;
    };

    // Builds the plan; false with a message when it cannot (for instance a single field wider
    // than a data line). True only when there is at least one field.
    // A read module wider than RFC_READ_TABLE takes pieces of its own line width.
    bool build(const QVector<Field>& fields, const QStringList& options, BiText* error,
               int lineWidth = kLineWidth);
    int lineWidth() const { return m_lineWidth; }

    const QVector<Field>& fields() const { return m_fields; }
    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    const QStringList& options() const { return m_options; }
    const QVector<Piece>& pieces() const { return m_pieces; }
    int pieceCount() const { return static_cast<int>(m_pieces.size()); }
    // One flag per option line: the line names the table of some piece.
    const QVector<bool>& optionsNamingATable() const { return m_namesATable; }

    // The characters a piece's fields take on a data line with a delimiter between them; -1
    // for a piece without fields.
    int width(const Piece& piece) const;

    static QString tableOf(const QString& key);

private:
    void group();
    bool splitFirstTooWide();
    void assignOptions();

    QVector<Field> m_fields;
    QStringList m_options;
    QVector<Piece> m_pieces;
    QVector<bool> m_namesATable;
    int m_lineWidth = kLineWidth;
};
