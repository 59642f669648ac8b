#include "sap/TableReader.h"

#include "sap/RfcFunction.h"
#include "sap/SapConnection.h"
#include "shell/AppState.h"
#include "shell/DesktopServices.h"
#include "shell/Language.h"
#include "shell/StatusHost.h"
#include "shell/Texts.h"

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

int TableReader::typeIconIndex(const QString& letter)
{
    static const QString letters = QStringLiteral("CNPDTXIFs");
    if (letter.size() != 1)
        return 3;
    const qsizetype at = letters.indexOf(letter.front());
    return at < 0 ? 3 : static_cast<int>(at) + 3;
}

const RfcTable& TableReader::fieldsTable() const
{
    return m_fields;
}

const RfcTable& TableReader::dataTable() const
{
    return m_data;
}

void TableReader::keepResults(RfcFunction& function)
{
    m_fields = std::move(function.table(QStringLiteral("FIELDS")));
    m_data = std::move(function.table(QStringLiteral("DATA")));
    m_data.setRowSink({});
}

void TableReader::showException(const QString& exception, const QString& message)
{
    m_host.services().desktop().message(
        message.isEmpty() ? exception : exception + QStringLiteral(": ") + message);
}

std::shared_ptr<RfcDestination> TableReader::destination() const
{
    const SapFunctions* functions = m_connection.functions();
    return functions ? functions->connection.sharedDestination() : nullptr;
}

std::function<std::unique_ptr<RfcDestination>(BiText*)> TableReader::sessionOpener() const
{
    const SapFunctions* functions = m_connection.functions();
    if (!functions || !functions->connection.isConnected())
        return {};
    return functions->connection.opener();
}

void TableReader::systemFailure()
{
    m_connection.releaseComponents();
}

bool TableReader::readFieldCatalogue(const QString& table)
{
    Desktop& desktop = m_host.services().desktop();
    SapFunctions* functions = m_connection.functions();
    if (!functions) {
        desktop.message(QStringLiteral("Error 91: Object variable not set on ReadFieldCatalogue"));
        return false;
    }
    BusyPointer busy(desktop);
    functions->removeAll();
    RfcFunction& function = functions->add(QStringLiteral("RFC_READ_TABLE"));
    function.setImport(QStringLiteral("QUERY_TABLE"), table);
    function.setImport(QStringLiteral("NO_DATA"), QStringLiteral("x"));
    function.table(QStringLiteral("FIELDS"));
    const bool ok = function.call();
    keepResults(function);
    if (!ok)
        showException(function.exception(), function.message());
    return ok;
}
