#include "ReadPlan.h"

#include <cmath>

QString ReadPlan::tableOf(const QString& key)
{
    const qsizetype dash = key.indexOf(u'-');
    return dash < 0 ? key : key.left(dash);
}

bool ReadPlan::ReadLIMytable(const QVector<Item>& items, const QStringList& options, QString* error)
{
    SFI = static_cast<int>(items.size());
    SOP = static_cast<int>(options.size());
    sFieldKey = QVector<QString>(SFI + 1);
    sFieldType = QVector<QString>(SFI + 1);
    iFieldLen = QVector<int>(SFI + 1);
    sFieldText = QVector<QString>(SFI + 1);
    sOption = QVector<QString>(SOP + 1);
    for (int i = 1; i <= SFI; ++i) {
        const Item& item = items.at(i - 1);
        sFieldKey[i] = item.key;
        sFieldType[i] = item.type;
        iFieldLen[i] = item.length;
        sFieldText[i] = item.text;
    }
    for (int j = 1; j <= SOP; ++j)
        sOption[j] = options.at(j - 1);

    // A field that cannot fit a data line by itself could never be read, however the fields
    // are split.
    for (int i = 1; i <= SFI; ++i) {
        if (iFieldLen[i] > kLineWidth) {
            if (error)
                *error = QStringLiteral("The field %1 is %2 characters long; a read returns at "
                                        "most %3 characters per row, so it cannot be read.")
                             .arg(sFieldKey[i])
                             .arg(iFieldLen[i])
                             .arg(kLineWidth);
            return false;
        }
    }
    group();
    while (AdjustMyTable()) {
    }
    assignOptions();
    return SFI > 0;
}

void ReadPlan::group()
{
    pieces = QVector<Piece>(1);
    QString previous;
    for (int i = 1; i <= SFI; ++i) {
        const QString table = tableOf(sFieldKey[i]);
        if (i == 1 || table != previous) {
            if (!pieces.isEmpty() && pieces.size() > 1)
                pieces.last().last = i - 1;
            Piece piece;
            piece.table = table;
            piece.first = i;
            pieces.append(piece);
        }
        previous = table;
    }
    if (pieces.size() > 1)
        pieces.last().last = SFI;
    NPiece = static_cast<int>(pieces.size()) - 1;
}

int ReadPlan::TotalBuffer(int p) const
{
    const Piece& piece = pieces.at(p);
    if (piece.first > piece.last)
        return -1;
    int total = 0;
    for (int i = piece.first; i <= piece.last; ++i)
        total += iFieldLen.at(i);
    return total + (piece.last - piece.first);
}

bool ReadPlan::AdjustMyTable()
{
    for (int g = 1; g <= NPiece; ++g) {
        if (TotalBuffer(g) <= kLineWidth)
            continue;
        Piece& wide = pieces[g];
        // The midpoint, an exact half going to the even neighbour.
        int middle = static_cast<int>(std::nearbyint(wide.first + (wide.last - wide.first) / 2.0));
        if (middle == wide.first)
            ++middle;
        Piece second;
        second.table = wide.table;
        second.first = middle;
        second.last = wide.last;
        wide.last = middle - 1;
        pieces.insert(g + 1, second);
        ++NPiece;
        return true;
    }
    return false;
}

void ReadPlan::assignOptions()
{
    optionBlue = QVector<bool>(SOP + 1, false);
    for (int p = 1; p <= NPiece; ++p) {
        Piece& piece = pieces[p];
        piece.optFirst = 0;
        piece.optLast = 0;
        const QString prefix = piece.table + u'-';
        for (int j = 1; j <= SOP; ++j) {
            if (!sOption[j].contains(prefix))
                continue;
            if (piece.optFirst == 0)
                piece.optFirst = j;
            piece.optLast = j;
            optionBlue[j] = true;
        }
    }
}
