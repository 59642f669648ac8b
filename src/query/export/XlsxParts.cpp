#include "query/export/XlsxParts.h"

#include <algorithm>
#include <cctype>

namespace
{
const char* const kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const char* const kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char* const kRelations = "http://schemas.openxmlformats.org/package/2006/relationships";
const char* const kOfficeRelations =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr int kFirstCustomFormat = 164;

QByteArray number(int value)
{
    return QByteArray::number(value);
}
} // namespace

int XlsxParts::numberStyle(int decimals)
{
    return Number + std::clamp(decimals, 0, kMostDecimals);
}

QByteArray XlsxParts::contentTypes(int sheets)
{
    QByteArray xml = kDeclaration;
    xml += "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" "
           "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
           "<Override PartName=\"/xl/workbook.xml\" "
           "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet."
           "main+xml\"/>"
           "<Override PartName=\"/xl/styles.xml\" "
           "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+"
           "xml\"/>";
    for (int s = 1; s <= sheets; ++s)
        xml += "<Override PartName=\"/xl/worksheets/sheet" + number(s) +
               ".xml\" ContentType=\"application/"
               "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
    xml += "</Types>";
    return xml;
}

QByteArray XlsxParts::packageRelations()
{
    return QByteArray(kDeclaration) + "<Relationships xmlns=\"" + kRelations +
           "\"><Relationship Id=\"rId1\" Type=\"" + kOfficeRelations +
           "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
}

QByteArray XlsxParts::workbookRelations(int sheets)
{
    QByteArray xml = QByteArray(kDeclaration) + "<Relationships xmlns=\"" + kRelations + "\">";
    for (int s = 1; s <= sheets; ++s)
        xml += "<Relationship Id=\"rId" + number(s) + "\" Type=\"" + kOfficeRelations +
               "/worksheet\" Target=\"worksheets/sheet" + number(s) + ".xml\"/>";
    xml += "<Relationship Id=\"rId" + number(sheets + 1) + "\" Type=\"" + kOfficeRelations +
           "/styles\" Target=\"styles.xml\"/></Relationships>";
    return xml;
}

QString XlsxParts::filterRange(const QString& lastColumn, int lastLine, bool absolute)
{
    const QString fixed = absolute ? QStringLiteral("$") : QString();
    return fixed + u'A' + fixed + u'2' + u':' + fixed + lastColumn + fixed +
           QString::number(std::max(2, lastLine));
}

QByteArray XlsxParts::workbook(const QStringList& sheetNames, const QString& lastColumn,
                               const QList<int>& lastLines)
{
    QByteArray xml = QByteArray(kDeclaration) + "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" +
                     kOfficeRelations +
                     "\"><bookViews><workbookView xWindow=\"240\" yWindow=\"15\" "
                     "windowWidth=\"16095\" windowHeight=\"9660\"/></bookViews><sheets>";
    for (int s = 0; s < sheetNames.size(); ++s)
        xml += "<sheet name=\"" + escaped(sheetNames.at(s)) + "\" sheetId=\"" + number(s + 1) +
               "\" r:id=\"rId" + number(s + 1) + "\"/>";
    xml += "</sheets>";
    // Spreadsheets find a sheet's filter by this hidden name.
    QByteArray names;
    for (int s = 0; s < sheetNames.size() && !lastColumn.isEmpty(); ++s) {
        QString quoted = sheetNames.at(s);
        quoted.replace(u'\'', QStringLiteral("''"));
        const QString range = filterRange(lastColumn, lastLines.value(s), true);
        names += "<definedName name=\"_xlnm._FilterDatabase\" localSheetId=\"" + number(s) +
                 "\" hidden=\"1\">" + escaped(QStringLiteral("'%1'!%2").arg(quoted, range)) +
                 "</definedName>";
    }
    if (!names.isEmpty())
        xml += "<definedNames>" + names + "</definedNames>";
    xml += "</workbook>";
    return xml;
}

QByteArray XlsxParts::styles()
{
    QByteArray formats = "<numFmt numFmtId=\"164\" formatCode=\"yyyy-mm-dd\"/>"
                         "<numFmt numFmtId=\"165\" formatCode=\"hh:mm:ss\"/>";
    QByteArray numberStyles = "<xf numFmtId=\"1\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
                              "xfId=\"0\" applyNumberFormat=\"1\"/>";
    for (int decimals = 1; decimals <= kMostDecimals; ++decimals) {
        const QByteArray id = number(kFirstCustomFormat + 1 + decimals);
        formats +=
            "<numFmt numFmtId=\"" + id + "\" formatCode=\"0." + QByteArray(decimals, '0') + "\"/>";
        numberStyles += "<xf numFmtId=\"" + id +
                        "\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
                        "applyNumberFormat=\"1\"/>";
    }
    const QByteArray font = "<sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/>";
    return QByteArray(kDeclaration) + "<styleSheet xmlns=\"" + kMain + "\"><numFmts count=\"" +
           number(2 + kMostDecimals) + "\">" + formats + "</numFmts><fonts count=\"3\"><font>" +
           font + "</font><font><b/>" + font + "</font><font><i/><color rgb=\"FFFF0000\"/>" + font +
           "</font></fonts><fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
           "<fill><patternFill patternType=\"gray125\"/></fill></fills><borders count=\"1\">"
           "<border><left/><right/><top/><bottom/><diagonal/></border></borders>"
           "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
           "borderId=\"0\"/></cellStyleXfs><cellXfs count=\"" +
           number(Number + 1 + kMostDecimals) +
           "\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
           "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
           "applyFont=\"1\"/>"
           "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
           "applyNumberFormat=\"1\"/>"
           "<xf numFmtId=\"165\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
           "applyNumberFormat=\"1\"/>"
           "<xf numFmtId=\"0\" fontId=\"2\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
           "applyFont=\"1\"/>" +
           numberStyles +
           "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" "
           "builtinId=\"0\"/></cellStyles></styleSheet>";
}

namespace
{
// "_xHHHH_" at i: the form in which a workbook escapes a character.
bool looksLikeAnEscape(const QByteArray& text, qsizetype i)
{
    if (i + 6 >= text.size() || text.at(i + 1) != 'x' || text.at(i + 6) != '_')
        return false;
    for (qsizetype h = i + 2; h < i + 6; ++h) {
        if (!std::isxdigit(static_cast<unsigned char>(text.at(h))))
            return false;
    }
    return true;
}
} // namespace

QByteArray XlsxParts::escaped(QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray xml;
    xml.reserve(utf8.size());
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8.at(i);
        const auto byte = static_cast<unsigned char>(c);
        if (c == '_' && looksLikeAnEscape(utf8, i))
            xml += "_x005F_"; // the value's own underscore, so that readers do not decode it
        else if (c == '&')
            xml += "&amp;";
        else if (c == '<')
            xml += "&lt;";
        else if (c == '>')
            xml += "&gt;";
        else if (c == '"')
            xml += "&quot;";
        else if (byte < 0x20 && c != '\t' && c != '\n')
            xml += "_x00" + QByteArray::number(byte, 16).rightJustified(2, '0').toUpper() + '_';
        else
            xml += c;
    }
    return xml;
}
