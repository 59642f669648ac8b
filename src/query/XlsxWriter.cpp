#include "XlsxWriter.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>

namespace
{
constexpr int kHeaderLines = 2;
constexpr int kWidestColumn = 50;
constexpr int kMostDecimals = 14;
const QDate kDayZero(1899, 12, 30);

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
} // namespace

XlsxWriter::XlsxWriter(Settings settings) : m_settings(std::move(settings)) {}

XlsxWriter::~XlsxWriter()
{
    abandon();
}

bool XlsxWriter::fail(const QString& what)
{
    if (m_error.isEmpty())
        m_error = what;
    return false;
}

double XlsxWriter::serialDate(QStringView yyyymmdd)
{
    const QStringView text = yyyymmdd.trimmed();
    if (text.size() != 8)
        return -1;
    bool ok = false;
    const int year = text.left(4).toInt(&ok);
    const int month = ok ? text.mid(4, 2).toInt(&ok) : 0;
    const int day = ok ? text.mid(6, 2).toInt(&ok) : 0;
    const QDate date(year, month, day);
    if (!ok || !date.isValid() || year < 1900)
        return -1;
    return static_cast<double>(kDayZero.daysTo(date));
}

double XlsxWriter::serialTime(QStringView hhmmss)
{
    const QStringView text = hhmmss.trimmed();
    if (text.size() != 6)
        return -1;
    bool ok = false;
    const int hours = text.left(2).toInt(&ok);
    const int minutes = ok ? text.mid(2, 2).toInt(&ok) : 0;
    const int seconds = ok ? text.mid(4, 2).toInt(&ok) : 0;
    if (!ok || hours > 23 || minutes > 59 || seconds > 59)
        return -1;
    return (hours * 3600 + minutes * 60 + seconds) / 86400.0;
}

bool XlsxWriter::packedNumber(QStringView text, double* number, int* decimals)
{
    QStringView value = text.trimmed();
    bool negative = false;
    if (value.endsWith(u'-')) {
        negative = true;
        value.chop(1);
    } else if (value.startsWith(u'-')) {
        negative = true;
        value = value.mid(1);
    }
    value = value.trimmed();
    if (value.isEmpty())
        return false;
    for (QChar c : value) {
        if (!c.isDigit() && c != u'.')
            return false;
    }
    bool ok = false;
    const double parsed = value.toDouble(&ok);
    if (!ok)
        return false;
    const qsizetype point = value.indexOf(u'.');
    *decimals = point < 0 ? 0 : static_cast<int>(value.size() - point - 1);
    *number = negative ? -parsed : parsed;
    return true;
}

lxw_format* XlsxWriter::numberFormat(int decimals)
{
    decimals = std::clamp(decimals, 0, kMostDecimals);
    lxw_format*& format = m_numbers[static_cast<size_t>(decimals)];
    if (!format) {
        format = workbook_add_format(m_workbook);
        const QByteArray pattern =
            decimals == 0 ? QByteArray("0") : "0." + QByteArray(decimals, '0');
        format_set_num_format(format, pattern.constData());
    }
    return format;
}

bool XlsxWriter::start()
{
    const QFileInfo target(m_settings.path);
    if (target.exists() && !target.isFile())
        return fail(QStringLiteral("%1 is not a regular file; an export replaces only files")
                        .arg(m_settings.path));
    const QString folder = target.absolutePath();
    m_file = std::make_unique<QTemporaryFile>(
        QDir(folder).filePath(QStringLiteral(".zorv-xlsx-XXXXXX")));
    if (!m_file->open())
        return fail(
            QStringLiteral("%1 cannot be written: %2").arg(m_settings.path, m_file->errorString()));
    m_file->close();
    const QByteArray name = QFile::encodeName(m_file->fileName());
    const QByteArray temporaryFolder = QFile::encodeName(folder);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(temporaryFolder.constData());
    m_workbook = workbook_new_opt(name.constData(), &options);
    if (!m_workbook)
        return fail(QStringLiteral("%1 cannot be written").arg(m_settings.path));
    m_header = workbook_add_format(m_workbook);
    format_set_bold(m_header);
    m_date = workbook_add_format(m_workbook);
    format_set_num_format(m_date, "yyyy-mm-dd");
    m_time = workbook_add_format(m_workbook);
    format_set_num_format(m_time, "hh:mm:ss");
    m_overflow = workbook_add_format(m_workbook);
    format_set_font_color(m_overflow, LXW_COLOR_RED);
    format_set_italic(m_overflow);
    m_numbers.assign(kMostDecimals + 1, nullptr);
    return newSheet();
}

bool XlsxWriter::newSheet()
{
    const int columns = static_cast<int>(m_settings.keys.size());
    if (m_sheet && columns > 0)
        worksheet_autofilter(m_sheet, 1, 0, static_cast<lxw_row_t>(std::max(1, m_row - 1)),
                             static_cast<lxw_col_t>(columns - 1));
    ++m_sheets;
    m_sheetNameBytes = sheetName(m_settings.sheetName, m_sheets).toUtf8();
    m_sheet = workbook_add_worksheet(m_workbook, m_sheetNameBytes.constData());
    if (!m_sheet)
        return fail(QStringLiteral("a sheet cannot be added to %1").arg(m_settings.path));
    for (int c = 0; c < columns; ++c) {
        const int length = c < static_cast<int>(m_settings.lengths.size())
                               ? m_settings.lengths[static_cast<size_t>(c)]
                               : 10;
        const double width = std::clamp(length, 4, kWidestColumn) + 1;
        worksheet_set_column(m_sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), width,
                             nullptr);
    }
    worksheet_freeze_panes(m_sheet, kHeaderLines, 0);
    // With constant memory a row is done once the next one starts: keys first, then texts.
    for (int c = 0; c < columns; ++c)
        worksheet_write_string(m_sheet, 0, static_cast<lxw_col_t>(c),
                               m_settings.keys.at(c).toUtf8().constData(), m_header);
    for (int c = 0; c < columns; ++c)
        worksheet_write_string(m_sheet, 1, static_cast<lxw_col_t>(c),
                               m_settings.texts.value(c).toUtf8().constData(), m_header);
    m_row = kHeaderLines;
    return true;
}

bool XlsxWriter::row(const QStringView* values, const char* present, int count)
{
    if (!m_workbook)
        return fail(QStringLiteral("%1 is not open").arg(m_settings.path));
    if (m_row >= m_settings.rowsPerSheet && !newSheet())
        return false;
    const auto text = [&](lxw_col_t column, QStringView value, lxw_format* format) {
        m_utf8 = value.toUtf8();
        return worksheet_write_string(m_sheet, static_cast<lxw_row_t>(m_row), column,
                                      m_utf8.constData(), format);
    };
    for (int k = 0; k < count; ++k) {
        if (!present[k])
            continue;
        const QStringView value = withoutTrailingBlanks(values[k]);
        if (value.isEmpty())
            continue;
        const lxw_col_t column = static_cast<lxw_col_t>(k);
        const lxw_row_t line = static_cast<lxw_row_t>(m_row);
        const QString type = m_settings.types.value(k);
        lxw_error written = LXW_NO_ERROR;
        if (type == u"P") {
            double number = 0;
            int decimals = 0;
            written =
                packedNumber(value, &number, &decimals)
                    ? worksheet_write_number(m_sheet, line, column, number, numberFormat(decimals))
                    : text(column, value, m_overflow);
        } else if (type == u"I" || type == u"b" || type == u"s" || type == u"F") {
            bool ok = false;
            const double number = value.trimmed().toDouble(&ok);
            written = ok ? worksheet_write_number(m_sheet, line, column, number, nullptr)
                         : text(column, value, nullptr);
        } else if (type == u"D") {
            if (value.trimmed() == u"00000000")
                continue;
            const double day = serialDate(value);
            written = day >= 0 ? worksheet_write_number(m_sheet, line, column, day, m_date)
                               : text(column, value, nullptr);
        } else if (type == u"T") {
            const double time = serialTime(value);
            written = time >= 0 ? worksheet_write_number(m_sheet, line, column, time, m_time)
                                : text(column, value, nullptr);
        } else {
            written = text(column, value, nullptr);
        }
        if (written != LXW_NO_ERROR)
            return fail(QStringLiteral("%1 could not be written: %2")
                            .arg(m_settings.path, QString::fromUtf8(lxw_strerror(written))));
    }
    ++m_row;
    return true;
}

bool XlsxWriter::finish()
{
    if (!m_workbook)
        return fail(QStringLiteral("%1 is not open").arg(m_settings.path));
    const int columns = static_cast<int>(m_settings.keys.size());
    if (columns > 0)
        worksheet_autofilter(m_sheet, 1, 0, static_cast<lxw_row_t>(std::max(1, m_row - 1)),
                             static_cast<lxw_col_t>(columns - 1));
    const lxw_error closed = workbook_close(m_workbook);
    m_workbook = nullptr;
    if (closed != LXW_NO_ERROR) {
        abandon();
        return fail(QStringLiteral("%1 could not be written: %2 (is the disk full?)")
                        .arg(m_settings.path, QString::fromUtf8(lxw_strerror(closed))));
    }
    // The whole new file, or the old one: copied into place through a save file.
    QFile written(m_file->fileName());
    QSaveFile target(m_settings.path);
    if (!written.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly)) {
        abandon();
        return fail(
            QStringLiteral("%1 cannot be written: %2").arg(m_settings.path, target.errorString()));
    }
    while (!written.atEnd()) {
        const QByteArray block = written.read(1 << 20);
        if (target.write(block) != block.size()) {
            target.cancelWriting();
            abandon();
            return fail(QStringLiteral("%1 could not be written completely (is the disk full?)")
                            .arg(m_settings.path));
        }
    }
    if (!target.commit()) {
        abandon();
        return fail(QStringLiteral("%1 could not be written completely (is the disk full?)")
                        .arg(m_settings.path));
    }
    m_file.reset();
    return true;
}

void XlsxWriter::abandon()
{
    if (m_workbook) {
        lxw_workbook_free(m_workbook);
        m_workbook = nullptr;
    }
    m_file.reset();
}
