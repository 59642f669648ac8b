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
    // filterRanges: each sheet's autofilter range ("A2:J1000"), or empty for none.
    static QByteArray workbook(const QStringList& sheetNames, const QStringList& filterRanges);
    static QByteArray styles();

    // Text as XML character data: markup characters as entities, and characters XML cannot
    // hold as the workbook's own escape "_xHHHH_".
    static QByteArray escaped(QStringView text);
};
