#include "TableReader.h"

#include "AppState.h"
#include "DesktopServices.h"
#include "Language.h"
#include "RfcFunction.h"
#include "SapConnection.h"
#include "StatusHost.h"
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

TableReader::TableReader(StatusHost& host, SapConnection& connection)
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

std::shared_ptr<RfcDestination> TableReader::destination() const
{
    const SapFunctions* functions = m_connection.SapFunctionsObject();
    return functions ? functions->Connection.sharedDestination() : nullptr;
}

void TableReader::systemFailure()
{
    m_connection.ReleaseComponents();
}

bool TableReader::readFieldCatalogue(const QString& table)
{
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
