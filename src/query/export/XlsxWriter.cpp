#include "query/export/XlsxWriter.h"
#include "shell/FaultTexts.h"

#include "query/export/ExportTarget.h"
#include "query/export/SapValues.h"
#include "query/export/XlsxParts.h"
#include "query/export/ZipWriter.h"

#include <QSaveFile>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace
{
constexpr int kHeaderLines = 2;
constexpr int kWidestColumn = 50;

QStringView withoutTrailingBlanks(QStringView text)
{
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

// A sheet name holds 31 characters and none of []:*?/\ .
QString sheetName(const QString& name, int sheet)
{
    QString base = name;
    for (QChar& c : base) {
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = u'_';
    }
    if (base.isEmpty())
        base = QStringLiteral("Sheet");
    const QString suffix = sheet > 1 ? QStringLiteral(" (%1)").arg(sheet) : QString();
    return base.left(31 - suffix.size()) + suffix;
}

// "A", ..., "Z", "AA", ...
std::string columnName(int column)
{
    std::string name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
    return name;
}

template <typename Number> void appendNumber(std::string& xml, Number value)
{
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    xml.append(digits, static_cast<size_t>(end - digits));
}

// Appends the text as XML character data when it is plain ASCII; false, with nothing appended,
// else.
bool appendPlain(std::string& xml, QStringView text)
{
    const size_t start = xml.size();
    xml.resize(start + static_cast<size_t>(text.size()));
    char* to = xml.data() + start;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80 || u < 0x20 || u == u'&' || u == u'<' || u == u'>' || u == u'"' ||
            u == u'_') {
            xml.resize(start);
            return false;
        }
        *to++ = static_cast<char>(u);
    }
    return true;
}
} // namespace

XlsxWriter::XlsxWriter(Settings settings) : m_settings(std::move(settings)) {}

XlsxWriter::~XlsxWriter()
{
    abandon();
}

bool XlsxWriter::fail(const BiText& what)
{
    if (m_error.isEmpty())
        m_error = what;
    return false;
}

bool XlsxWriter::start()
{
    m_error = ExportTarget::unfit(m_settings.path);
    if (!m_error.isEmpty())
        return false;
    m_file = std::make_unique<QSaveFile>(m_settings.path);
    if (!m_file->open(QIODevice::WriteOnly)) {
        fail(FaultTexts::get(FaultText::CannotBeWritten)
                 .arg(m_settings.path, m_file->errorString()));
        m_file.reset();
        return false;
    }
    m_kinds.clear();
    m_columnNames.clear();
    for (qsizetype c = 0; c < m_settings.keys.size(); ++c) {
        const QString type = m_settings.types.value(c);
        m_kinds.push_back(type == u"P" ? Kind::Packed
                          : type == u"I" || type == u"b" || type == u"s" || type == u"F"
                              ? Kind::Number
                          : type == u"D" ? Kind::Date
                          : type == u"T" ? Kind::Time
                                         : Kind::Text);
        m_columnNames.push_back(columnName(static_cast<int>(c)));
    }
    m_zip = std::make_unique<ZipWriter>(*m_file);
    return newSheet();
}

bool XlsxWriter::newSheet()
{
    endSheet();
    ++m_sheets;
    m_sheetNames.append(sheetName(m_settings.sheetName, m_sheets));
    m_zip->begin("xl/worksheets/sheet" + QByteArray::number(m_sheets) + ".xml");
    QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<sheetViews><sheetView ";
    if (m_sheets == 1)
        xml += "tabSelected=\"1\" ";
    xml += "workbookViewId=\"0\"><pane ySplit=\"2\" topLeftCell=\"A3\" activePane=\"bottomLeft\" "
           "state=\"frozen\"/><selection pane=\"bottomLeft\" activeCell=\"A3\" sqref=\"A3\"/>"
           "</sheetView></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>";
    const int columns = static_cast<int>(m_settings.keys.size());
    if (columns > 0) {
        xml += "<cols>";
        for (int c = 0; c < columns; ++c) {
            const int length = c < static_cast<int>(m_settings.lengths.size())
                                   ? m_settings.lengths[static_cast<size_t>(c)]
                                   : 10;
            // As wide as the field, in characters, and the cell's margins.
            const QByteArray place = QByteArray::number(c + 1);
            xml += "<col min=\"" + place + "\" max=\"" + place + "\" width=\"" +
                   QByteArray::number(std::clamp(length, 4, kWidestColumn) + 1) +
                   ".7109375\" customWidth=\"1\"/>";
        }
        xml += "</cols>";
    }
    xml += "<sheetData>";
    m_zip->write(xml);
    for (int line = 1; line <= kHeaderLines; ++line) {
        m_row = line - 1;
        m_xml = "<row r=\"" + std::to_string(line) + "\">";
        const QStringList& values = line == 1 ? m_settings.keys : m_settings.texts;
        int previous = -1;
        for (int c = 0; c < columns; ++c) {
            if (values.value(c).isEmpty())
                continue;
            textCell(c, c == previous + 1, values.at(c), XlsxParts::Header);
            previous = c;
        }
        m_xml += "</row>";
        m_zip->write(m_xml.data(), static_cast<qsizetype>(m_xml.size()));
    }
    m_row = kHeaderLines;
    return true;
}

QString XlsxWriter::lastColumn() const
{
    return m_columnNames.empty() ? QString() : QString::fromStdString(m_columnNames.back());
}

void XlsxWriter::endSheet()
{
    if (m_sheets == 0)
        return;
    QByteArray xml = "</sheetData>";
    const int columns = static_cast<int>(m_settings.keys.size());
    if (columns > 0)
        xml += "<autoFilter ref=\"" +
               XlsxParts::filterRange(lastColumn(), m_row, false).toLatin1() + "\"/>";
    m_lastLines.append(m_row);
    xml += "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
           "footer=\"0.3\"/></worksheet>";
    m_zip->write(xml);
}

// A cell's start: its place only where it does not follow the cell before (readers count on).
void XlsxWriter::cell(int column, bool placed, int style, const char* type)
{
    std::string& xml = m_xml;
    xml += "<c";
    if (!placed) {
        xml += " r=\"";
        xml += m_columnNames[static_cast<size_t>(column)];
        appendNumber(xml, m_row + 1);
        xml += '"';
    }
    if (style != XlsxParts::Plain) {
        xml += " s=\"";
        appendNumber(xml, style);
        xml += '"';
    }
    if (type)
        xml += type;
    xml += '>';
}

void XlsxWriter::textCell(int column, bool placed, QStringView value, int style)
{
    cell(column, placed, style, " t=\"inlineStr\"");
    const bool blankAtEdge = value.front().isSpace() || value.back().isSpace();
    m_xml += blankAtEdge ? "<is><t xml:space=\"preserve\">" : "<is><t>";
    if (!appendPlain(m_xml, value)) {
        const QByteArray escaped = XlsxParts::escaped(value);
        m_xml.append(escaped.constData(), static_cast<size_t>(escaped.size()));
    }
    m_xml += "</t></is></c>";
}

void XlsxWriter::numberCell(int column, bool placed, double value, int style)
{
    cell(column, placed, style, nullptr);
    m_xml += "<v>";
    appendNumber(m_xml, value);
    m_xml += "</v></c>";
}

bool XlsxWriter::row(const QStringView* values, const char* present, int count)
{
    if (!m_zip)
        return fail(FaultTexts::get(FaultText::NotOpen).arg(m_settings.path));
    if (m_zip->failed())
        return fail(m_zip->error());
    if ((m_row >= m_settings.rowsPerSheet || m_zip->entryBytes() >= m_settings.bytesPerSheet) &&
        !newSheet())
        return false;
    std::string& xml = m_xml;
    xml.clear(); // keeps its capacity from row to row
    xml += "<row r=\"";
    appendNumber(xml, m_row + 1);
    xml += "\">";
    count = std::min(count, static_cast<int>(m_kinds.size()));
    int previous = -1;
    for (int k = 0; k < count; ++k) {
        if (!present[k])
            continue;
        const QStringView value = withoutTrailingBlanks(values[k]);
        if (value.isEmpty())
            continue;
        const bool placed = k == previous + 1;
        previous = k;
        switch (m_kinds[static_cast<size_t>(k)]) {
        case Kind::Packed: {
            double number = 0;
            int decimals = 0;
            if (SapValues::packedNumber(value, &number, &decimals))
                numberCell(k, placed, number, XlsxParts::numberStyle(decimals));
            else
                textCell(k, placed, value, XlsxParts::Overflow);
            break;
        }
        case Kind::Number: {
            bool ok = false;
            const double number = value.trimmed().toDouble(&ok);
            if (ok && std::isfinite(number))
                numberCell(k, placed, number, XlsxParts::Plain);
            else
                textCell(k, placed, value, XlsxParts::Plain);
            break;
        }
        case Kind::Date: {
            if (value.trimmed() == u"00000000") {
                previous = -1; // no cell: the next one names its place
                break;
            }
            const double day = SapValues::serialDate(value);
            if (day >= 0)
                numberCell(k, placed, day, XlsxParts::Date);
            else
                textCell(k, placed, value, XlsxParts::Plain);
            break;
        }
        case Kind::Time: {
            const double time = SapValues::serialTime(value);
            if (time >= 0)
                numberCell(k, placed, time, XlsxParts::Time);
            else
                textCell(k, placed, value, XlsxParts::Plain);
            break;
        }
        case Kind::Text:
            textCell(k, placed, value, XlsxParts::Plain);
            break;
        }
    }
    xml += "</row>";
    m_zip->write(xml.data(), static_cast<qsizetype>(xml.size()));
    ++m_row;
    return true;
}

bool XlsxWriter::finish()
{
    if (!m_zip)
        return fail(FaultTexts::get(FaultText::NotOpen).arg(m_settings.path));
    endSheet();
    m_zip->begin("xl/styles.xml");
    m_zip->write(XlsxParts::styles());
    m_zip->begin("xl/workbook.xml");
    m_zip->write(XlsxParts::workbook(m_sheetNames, lastColumn(), m_lastLines));
    m_zip->begin("xl/_rels/workbook.xml.rels");
    m_zip->write(XlsxParts::workbookRelations(m_sheets));
    m_zip->begin("_rels/.rels");
    m_zip->write(XlsxParts::packageRelations());
    m_zip->begin("[Content_Types].xml");
    m_zip->write(XlsxParts::contentTypes(m_sheets));
    if (!m_zip->close()) {
        fail(m_zip->error());
        abandon();
        return false;
    }
    m_zip.reset();
    if (!m_file->commit()) {
        fail(ExportTarget::writeFailure(m_settings.path, m_file->errorString()));
        abandon();
        return false;
    }
    m_file.reset();
    return true;
}

void XlsxWriter::abandon()
{
    m_zip.reset();
    if (m_file)
        m_file->cancelWriting();
    m_file.reset();
}
