#include "sap/demo/ReadTableModule.h"

#include "sap/RfcFunction.h"
#include "sap/demo/DemoDictionary.h"
#include "sap/demo/SqliteDatabase.h"
#include "sap/demo/SqliteStatement.h"
#include "sap/demo/WaFormatter.h"
#include "sap/demo/WhereParser.h"

#include <QThread>
#include <QtEndian>

#include <vector>

namespace
{
using Field = DemoDictionary::Field;

// The cost of rows is paid in steps: a sleep per row would cost more than it says.
constexpr qint64 kRowsCostedTogether = 1000;

bool fail(RfcFunction& function, const char* exception, const char* message = nullptr)
{
    function.setException(QString::fromLatin1(exception),
                          message ? QString::fromLatin1(message) : QString());
    return false;
}

QString numc6(int value)
{
    return QStringLiteral("%1").arg(value, 6, 10, QChar(u'0'));
}

// How a column's values are formatted, decided once per call rather than per value.
enum class Format { Packed, Integer, Hex, Digits, Text };

Format formatOf(const Field& field)
{
    const QChar letter = field.letter.front();
    if (letter == u'P')
        return Format::Packed;
    if (field.dataType == u"INT4")
        return Format::Integer;
    if (letter == u'X')
        return Format::Hex;
    return letter == u'N' ? Format::Digits : Format::Text;
}

void appendValue(QString& line, const SqliteStatement& row, int column, const Field& field,
                 Format format)
{
    if (format == Format::Packed) {
        WaFormatter::appendPacked(line, row.real(column), field.length, field.decimals);
    } else if (format == Format::Integer) {
        const qint32 value = static_cast<qint32>(row.integer(column));
        QByteArray bytes(4, '\0');
        qToBigEndian(value, bytes.data());
        WaFormatter::appendHex(line, bytes, field.length);
    } else if (format == Format::Hex) {
        WaFormatter::appendHex(line, row.blob(column), field.length);
    } else {
        int bytes = 0;
        const char* utf8 = row.utf8(column, &bytes);
        const bool digits = format == Format::Digits;
        // Most values are plain ASCII: widen them in place instead of decoding.
        if (WaFormatter::appendAscii(line, utf8, bytes, field.length, digits))
            return;
        const QString decoded = QString::fromUtf8(utf8, bytes);
        if (digits)
            WaFormatter::appendDigits(line, decoded, field.length);
        else
            WaFormatter::appendText(line, decoded, field.length);
    }
}

void bind(SqliteStatement& statement, int index, const WhereParser::Value& value)
{
    if (const auto* text = std::get_if<QString>(&value))
        statement.bindText(index, *text);
    else if (const auto* real = std::get_if<double>(&value))
        statement.bindDouble(index, *real);
    else if (const auto* whole = std::get_if<qint64>(&value))
        statement.bindInt(index, *whole);
    else
        statement.bindBlob(index, std::get<QByteArray>(value));
}
} // namespace

bool ReadTableModule::call(SqliteDatabase& db, RfcFunction& function, const Caller& caller)
{
    const QString tableName =
        function.importValue(QStringLiteral("QUERY_TABLE")).trimmed().toUpper();
    const DemoDictionary::Table* table = DemoDictionary::instance().table(tableName);
    if (!table)
        return fail(function, "TABLE_NOT_AVAILABLE");
    if (caller.authorized && !caller.authorized(tableName))
        return fail(function, "NOT_AUTHORIZED");
    if (table->isStructure())
        return fail(function, "TABLE_WITHOUT_DATA");

    // A blank delimiter is no delimiter; the parameter holds one character.
    const QString delimiterParam = function.importValue(QStringLiteral("DELIMITER"));
    const QString delimiter = delimiterParam.isEmpty() || delimiterParam.front() == u' '
                                  ? QString()
                                  : delimiterParam.left(1);

    RfcTable& fieldsTable = function.table(QStringLiteral("FIELDS"));
    std::vector<const Field*> fields;
    if (fieldsTable.rowCount() == 0) {
        for (const Field& field : table->fields)
            fields.push_back(&field);
    } else {
        for (int r = 1; r <= fieldsTable.rowCount(); ++r) {
            // FIELDNAME is a CHAR 30 field: a longer name is cut, as the system stores it.
            const QString name = fieldsTable.value(r, QStringLiteral("FIELDNAME"))
                                     .left(kFieldNameWidth)
                                     .trimmed()
                                     .toUpper();
            const Field* field = table->field(name);
            if (!field)
                return fail(function, "FIELD_NOT_VALID");
            fields.push_back(field);
        }
    }

    RfcTable described(fieldsTable.columns());
    int cursor = 0;
    for (size_t k = 0; k < fields.size(); ++k) {
        const Field& field = *fields[k];
        if (k > 0)
            cursor += static_cast<int>(delimiter.size());
        described.deliver({field.name, numc6(cursor), numc6(field.length), field.letter,
                           field.text(caller.portuguese)});
        cursor += field.length;
    }
    // The width matters only for rows: a catalogue read describes tables of any width.
    const QString noData = function.importValue(QStringLiteral("NO_DATA"));
    const bool rowsWanted = noData.isEmpty() || noData.front() == u' ';
    const ReadModule& module = caller.module;
    if (rowsWanted && cursor > module.lineWidth())
        return fail(function, "DATA_BUFFER_EXCEEDED");
    fieldsTable = std::move(described);

    QString output = QStringLiteral("DATA");
    if (module.output() == ReadModule::Output::WidthTables) {
        for (const QString& table : ReadModule::widthTables()) {
            output = table;
            if (ReadModule::widthOfTable(table) >= cursor)
                break;
        }
        function.setResult(QStringLiteral("OUT_TABLE"), output);
    }
    RfcTable& data = function.table(output);
    data.clear();
    if (!rowsWanted)
        return true;
    for (const Field* field : fields) {
        if (field->letter == u"F")
            return fail(function, "SYSTEM_FAILURE"); // the classic module cannot move floats
    }

    QStringList lines;
    const RfcTable& options = function.table(QStringLiteral("OPTIONS"));
    for (int r = 1; r <= options.rowCount(); ++r)
        lines.append(options.value(r, QStringLiteral("TEXT")).left(kOptionWidth));
    const WhereParser::Result where = WhereParser::parse(lines, *table);
    if (!where.ok)
        return fail(function, "OPTION_NOT_VALID");

    QStringList columns;
    for (const Field* field : fields)
        columns.append(u'"' + field->name + u'"');
    QStringList conditions;
    if (table->clientDependent())
        conditions.append(u'"' + table->fields.front().name + QStringLiteral("\" = ?"));
    if (!where.sql.isEmpty())
        conditions.append(u'(' + where.sql + u')');
    QString sql = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
                  QStringLiteral(" FROM \"") + table->name + u'"';
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    if (caller.anyOrder)
        sql += QStringLiteral(" ORDER BY random()");
    sql += QStringLiteral(" LIMIT ? OFFSET ?");

    SqliteStatement statement(db.handle(), sql);
    if (!statement.valid())
        return fail(function, where.sql.isEmpty() ? "SYSTEM_FAILURE" : "OPTION_NOT_VALID");
    int index = 1;
    if (table->clientDependent())
        statement.bindText(index++, caller.client);
    for (const WhereParser::Value& value : where.bindings)
        bind(statement, index++, value);
    const qint64 rowCount = function.importValue(QStringLiteral("ROWCOUNT")).trimmed().toLongLong();
    const qint64 rowSkips = function.importValue(QStringLiteral("ROWSKIPS")).trimmed().toLongLong();
    statement.bindInt(index++, rowCount > 0 ? rowCount : -1);
    statement.bindInt(index++, rowSkips > 0 ? rowSkips : 0);

    std::vector<Format> formats;
    for (const Field* field : fields)
        formats.push_back(formatOf(*field));
    QString line;
    line.reserve(cursor);
    qint64 rowsCosted = 0;
    // One row object serves every row: the line is swapped in and out, never copied.
    RfcTable::Row row(1);
    qint64 delivered = 0;
    while (statement.step()) {
        if (function.cancelled())
            return fail(function, "CANCELLED");
        if (caller.rowBudget > 0 && ++delivered > caller.rowBudget)
            return fail(function, "SYSTEM_FAILURE", kNoMemory);
        if (caller.rowMicroseconds > 0 && ++rowsCosted == kRowsCostedTogether) {
            QThread::usleep(static_cast<unsigned long>(caller.rowMicroseconds) *
                            kRowsCostedTogether);
            rowsCosted = 0;
        }
        line.resize(0); // keeps the buffer; clear() would give it back every row
        for (size_t k = 0; k < fields.size(); ++k) {
            if (k > 0)
                line.append(delimiter);
            appendValue(line, statement, static_cast<int>(k), *fields[k], formats[k]);
        }
        qsizetype end = line.size();
        while (end > 0 && line.at(end - 1) == u' ')
            --end;
        line.truncate(end);
        row.front().swap(line);
        data.deliver(row, true);
        row.front().swap(line);
    }
    if (!statement.error().isEmpty())
        return fail(function, "SYSTEM_FAILURE");
    if (rowsCosted > 0)
        QThread::usleep(static_cast<unsigned long>(caller.rowMicroseconds * rowsCosted));
    return true;
}
