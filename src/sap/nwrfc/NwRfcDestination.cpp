#include "sap/nwrfc/NwRfcDestination.h"
#include "shell/FaultTexts.h"

#include "sap/RfcFunction.h"

#include <QDir>
#include <QScopeGuard>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace
{
using nwrfc::SapUc;

const SapUc* uc(const QString& text)
{
    return reinterpret_cast<const SapUc*>(text.utf16());
}

template <std::size_t N> QString textOf(const SapUc (&field)[N])
{
    std::size_t length = 0;
    while (length < N && field[length] != 0)
        ++length;
    return QString::fromUtf16(field, qsizetype(length)).trimmed();
}

QString withoutTrailingBlanks(const SapUc* value, std::size_t length)
{
    while (length > 0 && value[length - 1] == u' ')
        --length;
    return QString::fromUtf16(value, qsizetype(length));
}

// After these the library has closed the connection: it is not used again.
bool closesConnection(int code)
{
    switch (code) {
    case nwrfc::kCommunicationFailure:
    case nwrfc::kAbapRuntimeFailure:
    case nwrfc::kAbapMessage:
    case nwrfc::kClosed:
    case nwrfc::kCanceled:
    case nwrfc::kTimeout:
    case nwrfc::kInvalidHandle:
        return true;
    default:
        return false;
    }
}

// The connection was lost on the way, not refused: the same call may go out again.
bool worthRepeating(int code)
{
    return code == nwrfc::kCommunicationFailure || code == nwrfc::kClosed ||
           code == nwrfc::kInvalidHandle;
}

const QStringList kIntegerImports{QStringLiteral("ROWSKIPS"), QStringLiteral("ROWCOUNT")};
// OUT_TABLE names a table of at most 30 characters.
constexpr unsigned kLongestResult = 30;

// Ends a running call through RfcCancel when its caller cancels it; the library allows that
// one call from another thread.
class CancelWatch
{
public:
    CancelWatch(const NwRfcLibrary::Calls& calls, nwrfc::ConnectionHandle connection,
                const RfcFunction& function)
        : m_thread([this, &calls, connection, &function] {
              std::unique_lock lock(m_lock);
              while (!m_done) {
                  m_wake.wait_for(lock, std::chrono::milliseconds(50));
                  if (!m_done && function.cancelled()) {
                      nwrfc::ErrorInfo info{};
                      calls.cancel(connection, &info);
                      return;
                  }
              }
          })
    {
    }
    ~CancelWatch()
    {
        {
            std::lock_guard lock(m_lock);
            m_done = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_done = false;
    std::thread m_thread;
};
} // namespace

NwRfcDestination::NwRfcDestination(std::shared_ptr<const NwRfcLibrary> library)
    : m_library(std::move(library)), m_calls(m_library->calls())
{
}

NwRfcDestination::~NwRfcDestination()
{
    logoff();
}

std::vector<std::pair<QString, QString>> NwRfcDestination::parameters(const LogonData& data)
{
    std::vector<std::pair<QString, QString>> named;
    const auto add = [&named](const char* name, const QString& value) {
        if (!value.isEmpty())
            named.emplace_back(QString::fromLatin1(name), value);
    };
    const NativeServer& server = data.native;
    add("client", data.client);
    add("user", data.user);
    add("passwd", data.password);
    add("lang", data.language);
    if (!server.applicationServer.isEmpty()) {
        add("ashost", server.applicationServer);
        add("sysnr", server.instanceNumber);
    } else {
        add("mshost", server.messageServer);
        add("msserv", server.messageServerPort);
        add("sysid", server.systemId);
        add("group", server.logonGroup.isEmpty() ? QStringLiteral("PUBLIC") : server.logonGroup);
    }
    add("saprouter", server.router);
    if (!server.sncPartner.isEmpty()) {
        add("snc_mode", QStringLiteral("1"));
        add("snc_partnername", server.sncPartner);
        add("snc_lib", server.sncLibrary);
    }
    // The library's trace writes every call, logon included, into files: off.
    add("trace", QStringLiteral("0"));
    return named;
}

nwrfc::ConnectionHandle NwRfcDestination::open(Failure* failure)
{
    const auto named = parameters(m_data);
    std::vector<nwrfc::ConnectionParameter> list;
    list.reserve(named.size());
    for (const auto& [name, value] : named)
        list.push_back({uc(name), uc(value)});
    nwrfc::ErrorInfo info{};
    nwrfc::ConnectionHandle connection =
        m_calls.openConnection(list.data(), unsigned(list.size()), &info);
    if (!connection && failure)
        *failure = {info.code, textOf(info.key), textOf(info.message)};
    return connection;
}

nwrfc::ConnectionHandle NwRfcDestination::take(Failure* failure)
{
    {
        QMutexLocker lock(&m_lock);
        if (!m_free.empty()) {
            nwrfc::ConnectionHandle connection = m_free.back();
            m_free.pop_back();
            return connection;
        }
    }
    return open(failure);
}

void NwRfcDestination::giveBack(nwrfc::ConnectionHandle connection)
{
    QMutexLocker lock(&m_lock);
    m_free.push_back(connection);
}

void NwRfcDestination::close(nwrfc::ConnectionHandle connection)
{
    nwrfc::ErrorInfo info{};
    m_calls.closeConnection(connection, &info);
}

RfcDestination::LogonResult NwRfcDestination::logon(const LogonData& data)
{
    logoff();
    m_data = data;
    LogonResult result;
    Failure failure;
    nwrfc::ConnectionHandle connection = open(&failure);
    if (!connection) {
        result.error = failure.message.isEmpty()
                           ? FaultTexts::get(FaultText::NativeLogonRefused)
                                 .arg(data.native.describe(), QString::number(failure.code))
                           : BiText::same(failure.message);
        m_data.password.clear();
        return result;
    }
    nwrfc::Attributes attributes{};
    nwrfc::ErrorInfo info{};
    if (m_calls.connectionAttributes(connection, &attributes, &info) == nwrfc::kOk) {
        result.systemId = textOf(attributes.sysId);
        result.hostName = textOf(attributes.partnerHost);
        result.systemNumber = textOf(attributes.sysNumber);
        result.release = textOf(attributes.partnerRel);
        m_codepage = textOf(attributes.partnerCodepage);
    }
    result.ok = true;
    giveBack(connection);
    return result;
}

void NwRfcDestination::logoff()
{
    std::vector<nwrfc::ConnectionHandle> open;
    {
        QMutexLocker lock(&m_lock);
        open.swap(m_free);
    }
    for (nwrfc::ConnectionHandle connection : open)
        close(connection);
    m_data.password.clear();
}

bool NwRfcDestination::call(RfcFunction& function)
{
    Failure failure;
    for (int attempt = 0; attempt < 2 && !function.cancelled(); ++attempt) {
        nwrfc::ConnectionHandle connection = take(&failure);
        if (!connection)
            break;
        if (invoke(connection, function, &failure)) {
            giveBack(connection);
            return true;
        }
        if (!closesConnection(failure.code)) {
            giveBack(connection);
            break;
        }
        close(connection);
        if (!worthRepeating(failure.code))
            break;
    }
    if (function.cancelled())
        failure = {nwrfc::kCanceled, {}, {}};
    report(function, failure);
    function.setConnectionLost(worthRepeating(failure.code));
    return false;
}

bool NwRfcDestination::invoke(nwrfc::ConnectionHandle connection, RfcFunction& function,
                              Failure* failure)
{
    nwrfc::ErrorInfo info{};
    const auto failed = [&info, failure] {
        *failure = {info.code, textOf(info.key), textOf(info.message)};
        return false;
    };
    nwrfc::FunctionDescHandle description =
        m_calls.functionDescription(connection, uc(function.name()), &info);
    if (!description)
        return failed();
    nwrfc::ContainerHandle handle = m_calls.createFunction(description, &info);
    if (!handle)
        return failed();
    const auto destroy = qScopeGuard([this, handle] {
        nwrfc::ErrorInfo ignored{};
        m_calls.destroyFunction(handle, &ignored);
    });
    for (const auto& [name, parameter] : function.imports()) {
        const int rc = kIntegerImports.contains(name)
                           ? m_calls.setInt(handle, uc(name), parameter.value.toInt(), &info)
                           : m_calls.setChars(handle, uc(name), uc(parameter.value),
                                              unsigned(parameter.value.size()), &info);
        if (rc != nwrfc::kOk)
            return failed();
    }
    const QStringList touched = function.interfaceTables();
    for (const auto& [name, table] : function.tables()) {
        nwrfc::ContainerHandle rows = nullptr;
        if (table.rowCount() == 0)
            continue;
        if (m_calls.getTable(handle, uc(name), &rows, &info) != nwrfc::kOk)
            return failed();
        for (const RfcTable::Row& row : table.rows()) {
            nwrfc::ContainerHandle line = m_calls.appendNewRow(rows, &info);
            if (!line)
                return failed();
            for (qsizetype column = 0; column < table.columns().size(); ++column) {
                const QString& value = row[std::size_t(column)];
                if (!value.isEmpty() &&
                    m_calls.setChars(line, uc(table.columns().at(column)), uc(value),
                                     unsigned(value.size()), &info) != nwrfc::kOk)
                    return failed();
            }
        }
    }
    {
        CancelWatch watch(m_calls, connection, function);
        if (m_calls.invoke(connection, handle, &info) != nwrfc::kOk)
            return failed();
    }
    std::vector<SapUc> buffer(1024);
    QStringList wanted;
    for (const auto& [name, value] : function.results())
        wanted.append(name);
    for (const QString& name : wanted) {
        SapUc value[kLongestResult];
        if (m_calls.getChars(handle, uc(name), value, kLongestResult, &info) != nwrfc::kOk)
            return failed();
        function.setResult(name, withoutTrailingBlanks(value, kLongestResult));
    }
    for (const QString& name : touched) {
        RfcTable& table = function.table(name);
        nwrfc::ContainerHandle rows = nullptr;
        unsigned count = 0;
        if (m_calls.getTable(handle, uc(name), &rows, &info) != nwrfc::kOk ||
            m_calls.rowCount(rows, &count, &info) != nwrfc::kOk)
            return failed();
        table.clear();
        RfcTable::Row row(std::size_t(table.columns().size()));
        for (unsigned index = 0; index < count; ++index) {
            if (m_calls.moveTo(rows, index, &info) != nwrfc::kOk)
                return failed();
            nwrfc::ContainerHandle line = m_calls.currentRow(rows, &info);
            if (!line)
                return failed();
            for (qsizetype column = 0; column < table.columns().size(); ++column) {
                const SapUc* field = uc(table.columns().at(column));
                unsigned length = 0;
                int rc = m_calls.getString(line, field, buffer.data(), unsigned(buffer.size()),
                                           &length, &info);
                if (rc == nwrfc::kBufferTooSmall) {
                    buffer.resize(std::size_t(length) + 1);
                    rc = m_calls.getString(line, field, buffer.data(), unsigned(buffer.size()),
                                           &length, &info);
                }
                if (rc != nwrfc::kOk)
                    return failed();
                row[std::size_t(column)] = withoutTrailingBlanks(
                    buffer.data(), std::min<std::size_t>(length, buffer.size()));
            }
            table.deliver(row, true);
        }
    }
    return true;
}

void NwRfcDestination::report(RfcFunction& function, const Failure& failure)
{
    switch (failure.code) {
    case nwrfc::kAbapException:
        function.setException(failure.key.isEmpty() ? failure.message : failure.key,
                              failure.message);
        return;
    case nwrfc::kCanceled:
        function.setException(QStringLiteral("CANCELLED"));
        return;
    case nwrfc::kNotFound:
        function.setException(failure.key.isEmpty() ? QStringLiteral("FUNCTION_NOT_FOUND")
                                                    : failure.key,
                              failure.message);
        return;
    case nwrfc::kAbapRuntimeFailure:
        // A short dump: its text comes in the logon language; its name does not.
        function.setException(QStringLiteral("SYSTEM_FAILURE"),
                              failure.key.isEmpty()
                                  ? failure.message
                                  : QStringLiteral("%1 (%2)").arg(failure.message, failure.key));
        return;
    default:
        function.setException(
            QStringLiteral("SYSTEM_FAILURE"),
            failure.message.isEmpty()
                ? FaultTexts::get(FaultText::RfcLibraryFailed).arg(QString::number(failure.code))
                : BiText::same(failure.message));
    }
}

QString NwRfcDestination::details() const
{
    QString lines = QStringLiteral("NetWeaver RFC library %1 (%2)")
                        .arg(m_library->version(), QDir::toNativeSeparators(m_library->path()));
    if (!m_codepage.isEmpty())
        lines += QStringLiteral("\nPartner codepage %1").arg(m_codepage);
    return lines;
}
