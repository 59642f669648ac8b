#include "query/export/XlsxParts.h"

#include "shell/XmlText.h"

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
bool looksLikeAnEscape(QStringView text, qsizetype i)
{
    if (i + 6 >= text.size() || text[i + 1] != u'x' || text[i + 6] != u'_')
        return false;
    for (qsizetype h = i + 2; h < i + 6; ++h) {
        const char16_t c = text[h].unicode();
        if (c >= 0x80 || !std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

// A cell's own forms: characters XML cannot hold (a carriage return too) as "_x00HH_", and
// the value's own underscore before such a form as "_x005F_", so that readers do not decode it.
bool cellForm(QStringView text, qsizetype at, QString& out)
{
    const char16_t c = text[at].unicode();
    if (c == u'_' && looksLikeAnEscape(text, at)) {
        out += QStringLiteral("_x005F_");
        return true;
    }
    if (c < 0x20 && c != u'\t' && c != u'\n') {
        out += QStringLiteral("_x00") + QString::number(c, 16).rightJustified(2, u'0').toUpper() +
               u'_';
        return true;
    }
    return false;
}
} // namespace

QByteArray XlsxParts::escaped(QStringView text)
{
    return XmlText::escaped(text, {XmlText::Ampersand::Named, true, false, &cellForm}).toUtf8();
}
