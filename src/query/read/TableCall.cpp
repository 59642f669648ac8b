#include "query/read/TableCall.h"

#include "sap/RfcDestination.h"
#include "sap/RfcFunction.h"
#include "shell/FaultTexts.h"

#include <QHash>

#include <algorithm>

TableCall::TableCall(RfcDestination& destination, const std::atomic<bool>* cancel,
                     ReadModule module)
    : m_destination(destination), m_cancel(cancel), m_module(std::move(module))
{
}

TableCall::~TableCall() = default;

bool TableCall::outOfResources(const QString& exception, const QString& message)
{
    // Systems word these failures in the exception, the fault or the message: a memory dump
    // (TSV_TNEW_PAGE_ALLOC_FAILED, "No more memory available ..."), or a time-out.
    static const char* const kWords[] = {"memory",   "TSV_TNEW", "time out", "timed out",
                                         "time-out", "timeout",  "in time",  "TIME_OUT"};
    for (const char* word : kWords) {
        if (exception.contains(QLatin1String(word), Qt::CaseInsensitive) ||
            message.contains(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

TableCall::Outcome TableCall::run(const Request& request, const LineSink& sink)
{
    m_function = std::make_unique<RfcFunction>(m_module.name(), &m_destination);
    m_problem = {};
    m_filled.clear();
    m_mixed = false;
    m_widest = 0;
    RfcFunction& function = *m_function;
    function.declareTables(m_module.tables());
    function.setCancel(m_cancel);
    function.setImport(QStringLiteral("QUERY_TABLE"), request.table);
    function.setImport(QStringLiteral("DELIMITER"), request.delimiter);
    if (request.noData)
        function.setImport(QStringLiteral("NO_DATA"), QStringLiteral("X"));
    else
        function.setImport(QStringLiteral("ROWCOUNT"), QString::number(request.rowCount));
    if (request.rowSkips > 0)
        function.setImport(QStringLiteral("ROWSKIPS"), QString::number(request.rowSkips));
    RfcTable& options = function.table(QStringLiteral("OPTIONS"));
    for (const QString& line : request.options) {
        options.appendRow();
        options.setValue(options.rowCount(), QStringLiteral("TEXT"), line);
    }
    RfcTable& fields = function.table(QStringLiteral("FIELDS"));
    for (const QString& name : request.fields) {
        fields.appendRow();
        fields.setValue(fields.rowCount(), QStringLiteral("FIELDNAME"), name);
    }
    QStringList rowTables{QStringLiteral("DATA")};
    if (m_module.output() == ReadModule::Output::WidthTables) {
        rowTables = ReadModule::widthTables();
        function.expectResult(QStringLiteral("OUT_TABLE"));
    }
    for (const QString& name : rowTables)
        watchRows(name, widthOf(name), sink);
    const bool ok = function.call();
    for (const QString& name : rowTables)
        function.table(name).setRowSink({});
    if (function.cancelled() || function.exception() == u"CANCELLED")
        return Outcome::Cancelled;
    if (ok)
        return answerHolds() ? Outcome::Done : Outcome::Refused;
    if (outOfResources(function.exception(), function.message()))
        return Outcome::OutOfResources;
    return function.exception() == u"SYSTEM_FAILURE" ? Outcome::SystemFailure : Outcome::Failed;
}

void TableCall::watchRows(const QString& name, int width, const LineSink& sink)
{
    m_function->table(name).setRowSink([this, name, width, &sink](const RfcTable::Row& row) {
        if (row.empty())
            return;
        if (m_filled.isEmpty())
            m_filled = name;
        else if (m_filled != name)
            m_mixed = true;
        if (row.front().size() > width && row.front().size() > m_widest) {
            m_widest = row.front().size();
            m_widestIn = name;
        }
        sink(row.front());
    });
}

int TableCall::widthOf(const QString& table) const
{
    return m_module.output() == ReadModule::Output::WidthTables ? ReadModule::widthOfTable(table)
                                                                : m_module.lineWidth();
}

bool TableCall::answerHolds()
{
    const QString module = m_module.name();
    if (m_widest > 0) {
        const int width = widthOf(m_widestIn);
        m_problem = FaultTexts::get(FaultText::LineTooWide)
                        .arg(module, QString::number(m_widest), m_widestIn, QString::number(width));
        return false;
    }
    if (m_module.output() != ReadModule::Output::WidthTables)
        return true;
    const QString named = m_function->result(QStringLiteral("OUT_TABLE")).trimmed().toUpper();
    if (m_mixed) {
        m_problem = FaultTexts::get(FaultText::RowsInSeveralTables).arg(module);
        return false;
    }
    if (!m_filled.isEmpty() && named != m_filled) {
        const BiText other =
            named.isEmpty() ? FaultTexts::get(FaultText::NoTable) : BiText::same(named);
        const BiText text = FaultTexts::get(FaultText::RowsInOtherTable);
        m_problem = {text.en.arg(module, m_filled, other.en),
                     text.pt.arg(module, m_filled, other.pt)};
        return false;
    }
    return true;
}

TableCall::Outcome TableCall::run(const Request& request, RowBlock& block)
{
    block.clear();
    return run(request, [&block](QStringView line) { block.append(line); });
}

const QString& TableCall::exception() const
{
    static const QString none;
    return m_function ? m_function->exception() : none;
}

const BiText& TableCall::message() const
{
    static const BiText none;
    return m_function ? m_function->messageText() : none;
}

bool TableCall::connectionLost() const
{
    return m_function && m_function->connectionLost();
}

const RfcTable& TableCall::fields() const
{
    static const RfcTable none;
    return m_function ? m_function->table(QStringLiteral("FIELDS")) : none;
}

bool TableCall::slotsFor(const QStringList& names, const std::vector<int>& lengths,
                         std::vector<RowBlock::Slot>& places, BiText* why) const
{
    places.clear();
    const RfcTable& described = fields();
    const int name = described.columnIndex(QStringLiteral("FIELDNAME"));
    const int offset = described.columnIndex(QStringLiteral("OFFSET"));
    const int length = described.columnIndex(QStringLiteral("LENGTH"));
    bool usable = described.rowCount() > 0 && name >= 0 && offset >= 0 && length >= 0;
    for (int r = 0; usable && r < described.rowCount(); ++r)
        usable = described.rows()[static_cast<size_t>(r)][static_cast<size_t>(length)].toInt() > 0;
    if (!usable) {
        int at = 0;
        for (int width : lengths) {
            places.push_back({at, width});
            at += width;
        }
        return true;
    }
    // A layout no line can have is refused before any row is cut by it.
    const QString table = m_function->importValue(QStringLiteral("QUERY_TABLE"));
    std::vector<std::pair<int, int>> spans; // offset, end
    for (const RfcTable::Row& row : described.rows()) {
        bool offsetIsNumber = false;
        bool lengthIsNumber = false;
        const int at = row[static_cast<size_t>(offset)].trimmed().toInt(&offsetIsNumber);
        const int width = row[static_cast<size_t>(length)].trimmed().toInt(&lengthIsNumber);
        if (!offsetIsNumber || !lengthIsNumber || at < 0 || width <= 0 ||
            at + width > m_module.lineWidth()) {
            if (why)
                *why = FaultTexts::get(FaultText::FieldDescribedBadly)
                           .arg(row[static_cast<size_t>(name)].trimmed(), table,
                                row[static_cast<size_t>(offset)], row[static_cast<size_t>(length)],
                                QString::number(m_module.lineWidth()));
            return false;
        }
        spans.emplace_back(at, at + width);
    }
    std::sort(spans.begin(), spans.end());
    for (size_t s = 1; s < spans.size(); ++s) {
        if (spans[s].first < spans[s - 1].second) {
            if (why)
                *why = FaultTexts::get(FaultText::FieldsOverlap)
                           .arg(table, QString::number(spans[s].first));
            return false;
        }
    }
    // Several requests of one name take its descriptions in turn.
    QHash<QString, int> seen;
    for (const QString& wanted : names) {
        const QString key = wanted.trimmed().toUpper();
        int skip = seen.value(key);
        seen[key] = skip + 1;
        bool found = false;
        for (const RfcTable::Row& row : described.rows()) {
            if (row[static_cast<size_t>(name)].trimmed().toUpper() != key || skip-- > 0)
                continue;
            places.push_back({row[static_cast<size_t>(offset)].toInt(),
                              row[static_cast<size_t>(length)].toInt()});
            found = true;
            break;
        }
        if (!found) {
            if (why)
                *why = FaultTexts::get(FaultText::FieldNotReturned)
                           .arg(key, m_function->importValue(QStringLiteral("QUERY_TABLE")));
            places.clear();
            return false;
        }
    }
    return true;
}
