#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The read plan: a snapshot of My Table and the option lines, split into pieces that each fit
// RFC_READ_TABLE's data line of 512 characters. Arrays count from 1, as the fields and option
// lines are numbered; index 0 stays empty.
class ReadPlan
{
public:
    static constexpr int kLineWidth = 512;

    struct Item {
        QString key;  // "KNA1-KUNNR"
        QString type; // SAP type letter
        int length = 0;
        QString text;
    };

    struct Piece {
        QString table;
        int first = 0;
        int last = 0;
        int optFirst = 0;
        int optLast = 0;
        long lRows = 0;
    };

    // Builds the plan; false with a message when it cannot (for instance a single field wider
    // than a data line). True only when there is at least one field.
    bool ReadLIMytable(const QVector<Item>& items, const QStringList& options, QString* error);

    int TotalBuffer(int piece) const;
    bool AdjustMyTable();

    int SFI = 0;
    int SOP = 0;
    QVector<QString> sFieldKey;
    QVector<QString> sFieldType;
    QVector<int> iFieldLen;
    QVector<QString> sFieldText;
    QVector<QString> sOption;
    int NPiece = 0;
    QVector<Piece> pieces;    // 1..NPiece
    QVector<bool> optionBlue; // 1..SOP: the line names a table of some piece

    const Piece& piece(int p) const { return pieces.at(p); }
    static QString tableOf(const QString& key);

private:
    void group();
    void assignOptions();
};
