#include "TableReader.h"

#include "AppState.h"
#include "DesktopServices.h"
#include "Language.h"
#include "ReadPlan.h"
#include "RfcFunction.h"
#include "SapConnection.h"
#include "ShellHost.h"
#include "Texts.h"

namespace
{

// Keeps the hourglass for the life of a read.
class BusyPointer
{
public:
    explicit BusyPointer(Desktop& desktop) : m_desktop(desktop) { m_desktop.setBusy(true); }
    ~BusyPointer() { m_desktop.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Desktop& m_desktop;
};
} // namespace

TableReader::TableReader(ShellHost& host, SapConnection& connection)
    : m_host(host), m_connection(connection)
{
}

int TableReader::TypeIcon(const QString& letter)
{
    static const QString letters = QStringLiteral("CNPDTXIFs");
    if (letter.size() != 1)
        return 3;
    const qsizetype at = letters.indexOf(letter.front());
    return at < 0 ? 3 : static_cast<int>(at) + 3;
}

const RfcTable& TableReader::FieldsTable() const
{
    return m_fields;
}

const RfcTable& TableReader::DataTable() const
{
    return m_data;
}

void TableReader::keepResults(RfcFunction& function)
{
    m_fields = std::move(function.Tables(QStringLiteral("FIELDS")));
    m_data = std::move(function.Tables(QStringLiteral("DATA")));
    m_data.setRowSink({});
}

void TableReader::showException(const QString& exception, const QString& message)
{
    m_host.services().desktop().message(
        message.isEmpty() ? exception : exception + QStringLiteral(": ") + message);
}

RfcDestination* TableReader::destination() const
{
    const SapFunctions* functions = m_connection.SapFunctionsObject();
    return functions ? functions->Connection.destination() : nullptr;
}

void TableReader::systemFailure()
{
    m_connection.ReleaseComponents();
}

bool TableReader::busy()
{
    // One read at a time: a running import owns the connection until it ends.
    if (!m_host.state().ImportRunning)
        return false;
    m_host.setStatusText(Language(m_host.state()).pick(Texts::get(TextId::ImportRunning)));
    return true;
}

bool TableReader::ReadFieldCatalogue(const QString& table)
{
    if (busy())
        return false;
    Desktop& desktop = m_host.services().desktop();
    SapFunctions* functions = m_connection.SapFunctionsObject();
    if (!functions) {
        desktop.message(QStringLiteral("Error 91: Object variable not set on ReadFieldCatalogue"));
        return false;
    }
    BusyPointer busy(desktop);
    functions->RemoveAll();
    RfcFunction& function = functions->Add(QStringLiteral("RFC_READ_TABLE"));
    function.Exports(QStringLiteral("QUERY_TABLE")).Value = table;
    function.Exports(QStringLiteral("NO_DATA")).Value = QStringLiteral("x");
    function.Tables(QStringLiteral("FIELDS"));
    const bool ok = function.Call();
    keepResults(function);
    if (!ok)
        showException(function.exception(), function.message());
    return ok;
}

bool TableReader::GetData(const ReadPlan& plan, const QString& table, qint32 rowLimit,
                          const QString& delimiter, int first, int last, int optFirst, int optLast,
                          RfcTable::RowSink sink)
{
    if (busy())
        return false;
    Desktop& desktop = m_host.services().desktop();
    SapFunctions* functions = m_connection.SapFunctionsObject();
    if (!functions || first < 1 || last > plan.SFI || optLast > plan.SOP) {
        desktop.message(QStringLiteral("Error 91: Object variable not set on GetData "));
        return false;
    }
    BusyPointer busy(desktop);
    m_host.setStatusText(Texts::get(TextId::ProcessingRfcFor).en + table);
    const qsizetype cut = plan.sFieldKey.at(first).indexOf(u'-');

    functions->RemoveAll();
    RfcFunction& function = functions->Add(QStringLiteral("RFC_READ_TABLE"));
    function.Exports(QStringLiteral("QUERY_TABLE")).Value = table;
    function.Exports(QStringLiteral("ROWCOUNT")).Value = QString::number(rowLimit);
    function.Exports(QStringLiteral("DELIMITER")).Value = delimiter;
    RfcTable& options = function.Tables(QStringLiteral("OPTIONS"));
    RfcTable& fields = function.Tables(QStringLiteral("FIELDS"));
    RfcTable& data = function.Tables(QStringLiteral("DATA"));
    data.setRowSink(std::move(sink));
    for (int i = first; i <= last; ++i) {
        fields.appendrow();
        fields.setValue(i - first + 1, QStringLiteral("FIELDNAME"),
                        plan.sFieldKey.at(i).mid(cut + 1));
    }
    // A piece without options has the range 0 to 0 and sends one empty line.
    for (int j = optFirst; j <= optLast; ++j) {
        options.appendrow();
        options.setValue(j - optFirst + 1, QStringLiteral("TEXT"), plan.sOption.at(j).mid(cut + 1));
    }
    const bool ok = function.Call();
    keepResults(function);
    if (ok)
        return true;
    const QString exception = function.exception();
    showException(exception, function.message());
    if (exception == u"SYSTEM_FAILURE")
        m_connection.ReleaseComponents();
    return false;
}
