#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The small fixed parts of an Excel workbook around its sheets: the package's content types
// and relations, the workbook with its sheet names and filter ranges, and the styles the
// sheets' cells name by index.
class XlsxParts
{
public:
    // Cell styles, as indexes into the styles part.
    enum Style { Plain = 0, Header, Date, Time, Overflow, Number };
    static constexpr int kMostDecimals = 14;
    // The style of a number shown with that many decimals.
    static int numberStyle(int decimals);

    static QByteArray contentTypes(int sheets);
    static QByteArray packageRelations();
    static QByteArray workbookRelations(int sheets);
    // Every sheet filters its description row down to its last line (lastLines, one per sheet)
    // over the columns up to lastColumn ("J"); none where lastColumn is empty.
    static QByteArray workbook(const QStringList& sheetNames, const QString& lastColumn,
                               const QList<int>& lastLines);
    // The filter's range: "A2:J1000", or "$A$2:$J$1000" as a defined name wants it.
    static QString filterRange(const QString& lastColumn, int lastLine, bool absolute);
    static QByteArray styles();

    // Text as XML character data: markup characters as entities, and characters XML cannot
    // hold as the workbook's own escape "_xHHHH_".
    static QByteArray escaped(QStringView text);
};
