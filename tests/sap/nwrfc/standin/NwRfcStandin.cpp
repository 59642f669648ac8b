// The library's calls over the demo system, for the native RFC binding's tests.

#include "StandinConnection.h"
#include "StandinContainer.h"
#include "sap/ReadModule.h"
#include "sap/RfcFunction.h"
#include "sap/demo/DemoDestination.h"
#include "sap/demo/DemoSystem.h"
#include "sap/demo/ReadTableModule.h"
#include "sap/nwrfc/NwRfcApi.h"

#include <QFile>
#include <QHash>
#include <QMutex>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>

using namespace nwrfc;

namespace
{
using Connection = std::shared_ptr<StandinConnection>;
using Kind = StandinContainer::Kind;

// Handles are numbers never reused, so a closed one cannot come back to life.
QMutex s_lock;
std::map<quintptr, Connection> s_connections;
quintptr s_lastHandle = 0;
std::map<QString, std::unique_ptr<StandinContainer>> s_descriptions;
// The calls counted since ZORV_STANDIN_FAIL_CALL last changed, so that a test sets it and the
// Nth call from then on fails ("N+": that one and every one after), whatever ran before in the
// process.
QMutex s_failLock;
QByteArray s_failSetting;
int s_invokesSinceSetting = 0;

bool failsNow()
{
    QMutexLocker lock(&s_failLock);
    const QByteArray setting = qgetenv("ZORV_STANDIN_FAIL_CALL");
    if (setting != s_failSetting) {
        s_failSetting = setting;
        s_invokesSinceSetting = 0;
    }
    ++s_invokesSinceSetting;
    if (setting.endsWith('+'))
        return s_invokesSinceSetting >= setting.chopped(1).toInt();
    return s_invokesSinceSetting == setting.toInt();
}

QString queryTable(const StandinContainer& function)
{
    const int index = function.fieldIndex(QStringLiteral("QUERY_TABLE"));
    return index < 0 ? QString() : function.value(index).trimmed();
}

// ZORV_STANDIN_HANG: 1 hangs every call, a table's name only the reads of that table's rows
// (a call with NO_DATA, such as a check of the name, is answered).
bool hangs(const StandinContainer& function)
{
    const QString setting = qEnvironmentVariable("ZORV_STANDIN_HANG").trimmed();
    if (setting == u"1")
        return true;
    const int noData = function.fieldIndex(QStringLiteral("NO_DATA"));
    return !setting.isEmpty() && setting.compare(queryTable(function), Qt::CaseInsensitive) == 0 &&
           (noData < 0 || function.value(noData).trimmed().isEmpty());
}

QString text(const SapUc* value)
{
    return value ? QString::fromUtf16(value) : QString();
}

template <size_t N> void put(SapUc (&target)[N], const QString& value)
{
    const size_t count = std::min(N - 1, static_cast<size_t>(value.size()));
    std::copy_n(value.utf16(), count, target);
    target[count] = 0;
}

int clear(ErrorInfo* info)
{
    if (info)
        std::memset(static_cast<void*>(info), 0, sizeof(ErrorInfo));
    return kOk;
}

int fail(ErrorInfo* info, Rc code, const char* key, const QString& message,
         ErrorGroup group = kExternalRuntimeFailure)
{
    clear(info);
    if (info) {
        info->code = code;
        info->group = group;
        put(info->key, QString::fromLatin1(key));
        put(info->message, message);
    }
    return code;
}

int failHandle(ErrorInfo* info)
{
    return fail(info, kInvalidHandle, "RFC_INVALID_HANDLE", QStringLiteral("Invalid handle"));
}

int failParameter(ErrorInfo* info, const QString& message)
{
    return fail(info, kInvalidParameter, "RFC_INVALID_PARAMETER", message);
}

// For the calls that answer a handle: none, once the failure is told.
std::nullptr_t none(int)
{
    return nullptr;
}

Connection findOpen(ConnectionHandle handle)
{
    QMutexLocker lock(&s_lock);
    const auto found = s_connections.find(reinterpret_cast<quintptr>(handle));
    return found != s_connections.end() && found->second->isOpen() ? found->second : nullptr;
}

StandinContainer* container(ContainerHandle handle, Kind kind)
{
    auto* found = static_cast<StandinContainer*>(handle);
    return found && found->kind() == kind ? found : nullptr;
}

// The field of a function or a row; a table stands for its current row, as in the library.
int fieldOf(ContainerHandle handle, const SapUc* name, ErrorInfo* info, StandinContainer** found,
            int* index)
{
    *found = static_cast<StandinContainer*>(handle);
    if (*found && (*found)->kind() == Kind::Table)
        *found = (*found)->currentRow();
    if (!*found)
        return failHandle(info);
    *index = (*found)->fieldIndex(text(name));
    if (*index < 0)
        return failParameter(info, QStringLiteral("Field %1 not found").arg(text(name)));
    return clear(info);
}

int failTooSmall(ErrorInfo* info, const SapUc* name, qsizetype length)
{
    return fail(info, kBufferTooSmall, "RFC_BUFFER_TOO_SMALL",
                QStringLiteral("Field %1 holds %2 characters").arg(text(name)).arg(length));
}

void record(const ConnectionParameter* parameters, unsigned count)
{
    const QString path = qEnvironmentVariable("ZORV_STANDIN_RECORD");
    QMutexLocker lock(&s_lock);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::Append | QIODevice::Text))
        return;
    for (unsigned i = 0; i < count; ++i) {
        const QString name = text(parameters[i].name).toLower();
        const QString value = name == u"passwd" ? QStringLiteral("***") : text(parameters[i].value);
        file.write((name + u'=' + value + u'\n').toUtf8());
    }
}

int failClosing(StandinConnection& connection, ErrorInfo* info, Rc code, const char* key,
                const QString& message, ErrorGroup group)
{
    connection.breakOff();
    return fail(info, code, key, message, group);
}

void copyBack(const RfcTable& from, StandinContainer& to)
{
    to.clearRows();
    for (const RfcTable::Row& values : from.rows()) {
        StandinContainer* row = to.appendRow();
        for (size_t f = 0; f < row->fields().size(); ++f) {
            const int column = from.columnIndex(row->fields()[f].name);
            if (column >= 0)
                row->setValue(static_cast<int>(f), values[static_cast<size_t>(column)]);
        }
    }
}
} // namespace

extern "C" {

ConnectionHandle RfcOpenConnection(const ConnectionParameter* parameters, unsigned count,
                                   ErrorInfo* info)
{
    if (count > 0 && !parameters)
        return none(failParameter(info, QStringLiteral("No connection parameters")));
    record(parameters, count);
    QHash<QString, QString> named;
    for (unsigned i = 0; i < count; ++i)
        named.insert(text(parameters[i].name).toLower(), text(parameters[i].value));
    const auto has = [&named](const char* name) { return named.contains(QLatin1String(name)); };
    const char* missing = has("ashost") ? (has("sysnr") ? nullptr : "SYSNR")
                          : has("mshost")
                              ? (has("sysid") || has("msserv") ? nullptr : "SYSID or MSSERV")
                              : "ASHOST or MSHOST";
    if (missing)
        return none(failParameter(
            info, QStringLiteral("Parameter %1 is missing").arg(QLatin1String(missing))));

    QString error;
    static QMutex buildLock; // connections opened at once must not build the database twice
    QMutexLocker buildLocker(&buildLock);
    if (!DemoSystem::ensureDatabase(&error))
        return none(fail(info, kCommunicationFailure, "RFC_COMMUNICATION_FAILURE", error,
                         kCommunicationGroup));
    buildLocker.unlock();
    LogonData data;
    data.client = named.value(QStringLiteral("client"));
    data.user = named.value(QStringLiteral("user"));
    data.password = named.value(QStringLiteral("passwd"));
    data.language = named.value(QStringLiteral("lang")).trimmed().toUpper();
    auto destination = std::make_unique<DemoDestination>(DemoSystem::databasePath());
    const RfcDestination::LogonResult logon = destination->logon(data);
    if (!logon.ok)
        return none(fail(info, kLogonFailure, "RFC_LOGON_FAILURE", logon.error.en, kLogonGroup));
    data.language = data.language.startsWith(u'P') ? QStringLiteral("PT") : QStringLiteral("EN");
    auto connection = std::make_shared<StandinConnection>(std::move(destination), logon, data);
    clear(info);
    QMutexLocker lock(&s_lock);
    s_connections.emplace(++s_lastHandle, std::move(connection));
    return reinterpret_cast<ConnectionHandle>(s_lastHandle);
}

int RfcCloseConnection(ConnectionHandle handle, ErrorInfo* info)
{
    Connection closed; // logs off outside the lock, or after a call still running ends
    QMutexLocker lock(&s_lock);
    const auto found = s_connections.find(reinterpret_cast<quintptr>(handle));
    if (found == s_connections.end())
        return failHandle(info);
    closed = std::move(found->second);
    closed->cancel(); // a call still running returns at once
    s_connections.erase(found);
    lock.unlock();
    return clear(info);
}

int RfcPing(ConnectionHandle handle, ErrorInfo* info)
{
    return findOpen(handle) ? clear(info) : failHandle(info);
}

int RfcCancel(ConnectionHandle handle, ErrorInfo* info)
{
    const Connection connection = findOpen(handle);
    if (!connection)
        return failHandle(info);
    connection->cancel();
    return clear(info);
}

int RfcGetConnectionAttributes(ConnectionHandle handle, Attributes* attributes, ErrorInfo* info)
{
    const Connection connection = findOpen(handle);
    if (!connection)
        return failHandle(info);
    if (!attributes)
        return failParameter(info, QStringLiteral("No attributes"));
    std::memset(static_cast<void*>(attributes), 0, sizeof(Attributes));
    const RfcDestination::LogonResult& logon = connection->logon();
    const LogonData& data = connection->logonData();
    put(attributes->sysId, logon.systemId);
    put(attributes->host, logon.hostName);
    put(attributes->partnerHost, logon.hostName);
    put(attributes->sysNumber, logon.systemNumber);
    put(attributes->rel, logon.release);
    put(attributes->partnerRel, logon.release);
    put(attributes->client, data.client.trimmed());
    put(attributes->user, data.user.trimmed().toUpper());
    put(attributes->language, data.language);
    put(attributes->isoLanguage, data.language);
    put(attributes->partnerCodepage, QStringLiteral("4103"));
    return clear(info);
}

FunctionDescHandle RfcGetFunctionDesc(ConnectionHandle handle, const SapUc* name, ErrorInfo* info)
{
    if (!findOpen(handle))
        return none(failHandle(info));
    const QString function = text(name);
    QStringList served = qEnvironmentVariable("ZORV_STANDIN_FUNCTIONS").split(u',');
    for (QString& entry : served)
        entry = entry.trimmed();
    // The demo's own modules, and any other name the test asks for.
    if (DemoDestination::Profile::fromEnvironment().classicOnly == false) {
        for (const ReadModule& module : DemoDestination::widerModules())
            served.append(module.name());
    }
    if (function != u"RFC_READ_TABLE" && (function.isEmpty() || !served.contains(function)))
        return none(fail(info, kNotFound, "FU_NOT_FOUND",
                         QStringLiteral("Function module %1 not found").arg(function),
                         kAbapApplicationFailure));
    clear(info);
    QMutexLocker lock(&s_lock);
    std::unique_ptr<StandinContainer>& description = s_descriptions[function];
    if (!description)
        description = StandinContainer::readTableFunction(function);
    return description.get();
}

ContainerHandle RfcCreateFunction(FunctionDescHandle description, ErrorInfo* info)
{
    const StandinContainer* found = container(description, Kind::Function);
    if (!found)
        return none(failHandle(info));
    clear(info);
    return StandinContainer::readTableFunction(found->name()).release();
}

int RfcDestroyFunction(ContainerHandle function, ErrorInfo* info)
{
    StandinContainer* found = container(function, Kind::Function);
    if (!found)
        return failHandle(info);
    delete found;
    return clear(info);
}

int RfcInvoke(ConnectionHandle handle, ContainerHandle function, ErrorInfo* info)
{
    const Connection connection = findOpen(handle);
    StandinContainer* called = container(function, Kind::Function);
    if (!connection || !called)
        return failHandle(info);
    QMutexLocker lock(&connection->callLock());
    if (!connection->isOpen())
        return failHandle(info);

    if (failsNow())
        return failClosing(*connection, info, kCommunicationFailure, "RFC_COMMUNICATION_FAILURE",
                           QStringLiteral("connection to partner broken"), kCommunicationGroup);
    if (hangs(*called) && !connection->waitForCancel(60))
        return failClosing(*connection, info, kTimeout, "RFC_TIMEOUT",
                           QStringLiteral("No answer within 60 seconds"), kCommunicationGroup);

    // A module the demo does not know is RFC_READ_TABLE underneath.
    QString module = called->name();
    const bool ownModule =
        std::any_of(DemoDestination::widerModules().begin(), DemoDestination::widerModules().end(),
                    [&module](const ReadModule& wider) { return wider.name() == module; });
    if (!ownModule)
        module = QStringLiteral("RFC_READ_TABLE");
    RfcFunction call(module, connection->destination());
    for (size_t f = 0; f < called->fields().size(); ++f) {
        if (called->fields()[f].name != u"OUT_TABLE")
            call.setImport(called->fields()[f].name, called->value(static_cast<int>(f)));
    }
    for (const char* name : {"OPTIONS", "FIELDS"}) {
        const StandinContainer* from = called->table(QLatin1String(name));
        RfcTable& to = call.table(from->name());
        for (const auto& row : from->rows()) {
            to.appendRow();
            for (size_t f = 0; f < row->fields().size(); ++f)
                to.setValue(to.rowCount(), row->fields()[f].name, row->value(static_cast<int>(f)));
        }
    }
    call.setCancel(connection->cancelFlag());
    const bool ok = !connection->cancelled() && call.call();
    if (connection->cancelled())
        return failClosing(*connection, info, kCanceled, "RFC_CANCELED",
                           QStringLiteral("Call canceled by the caller"), kExternalRuntimeFailure);
    if (!ok && call.exception() == u"SYSTEM_FAILURE" &&
        call.message() == QLatin1String(ReadTableModule::kNoMemory)) {
        // The short dump of a work process out of memory, told in the logon language.
        const QString message =
            connection->logonData().language == u"PT"
                ? QStringLiteral("Não há mais memória disponível para acrescentar linhas a uma "
                                 "tabela interna.")
                : QString::fromLatin1(ReadTableModule::kNoMemory);
        return failClosing(*connection, info, kAbapRuntimeFailure, "TSV_TNEW_PAGE_ALLOC_FAILED",
                           message, kAbapRuntimeGroup);
    }
    if (!ok) {
        const QByteArray name = call.exception().toLatin1();
        return fail(info, kAbapException, name.constData(), call.exception(),
                    kAbapApplicationFailure);
    }
    copyBack(call.table(QStringLiteral("FIELDS")), *called->table(QStringLiteral("FIELDS")));
    for (const auto& [name, rows] : call.tables()) {
        if (ReadModule::holdsRows(name) && called->table(name))
            copyBack(rows, *called->table(name));
    }
    const int outTable = called->fieldIndex(QStringLiteral("OUT_TABLE"));
    if (outTable >= 0)
        called->setValue(outTable, call.result(QStringLiteral("OUT_TABLE")));
    return clear(info);
}

int RfcSetChars(ContainerHandle handle, const SapUc* name, const SapUc* value, unsigned length,
                ErrorInfo* info)
{
    StandinContainer* target = nullptr;
    int index = 0;
    if (const int rc = fieldOf(handle, name, info, &target, &index); rc != kOk)
        return rc;
    if (!value && length > 0)
        return failParameter(info, QStringLiteral("No value"));
    const QString chars = QString::fromUtf16(value, length).trimmed();
    bool digits = true;
    const bool integer = target->fields()[static_cast<size_t>(index)].length == 0;
    if (integer && !chars.isEmpty())
        chars.toInt(&digits);
    if (!digits)
        return fail(info, kConversionFailure, "RFC_CONVERSION_FAILURE",
                    QStringLiteral("%1 is not an integer").arg(chars));
    target->setValue(index,
                     integer ? QString::number(chars.toInt()) : QString::fromUtf16(value, length));
    return kOk;
}

int RfcSetInt(ContainerHandle handle, const SapUc* name, int value, ErrorInfo* info)
{
    StandinContainer* target = nullptr;
    int index = 0;
    if (const int rc = fieldOf(handle, name, info, &target, &index); rc != kOk)
        return rc;
    target->setValue(index, QString::number(value));
    return kOk;
}

int RfcGetChars(ContainerHandle handle, const SapUc* name, SapUc* buffer, unsigned bufferLength,
                ErrorInfo* info)
{
    StandinContainer* source = nullptr;
    int index = 0;
    if (const int rc = fieldOf(handle, name, info, &source, &index); rc != kOk)
        return rc;
    const QString& value = source->value(index);
    if (!buffer || value.size() > qsizetype(bufferLength))
        return failTooSmall(info, name, value.size());
    std::fill(std::copy_n(value.utf16(), value.size(), buffer), buffer + bufferLength, u' ');
    return kOk;
}

int RfcGetString(ContainerHandle handle, const SapUc* name, SapUc* buffer, unsigned bufferLength,
                 unsigned* stringLength, ErrorInfo* info)
{
    StandinContainer* source = nullptr;
    int index = 0;
    if (const int rc = fieldOf(handle, name, info, &source, &index); rc != kOk)
        return rc;
    const QString& value = source->value(index);
    if (stringLength)
        *stringLength = static_cast<unsigned>(value.size()); // the terminator not counted
    if (!buffer || value.size() >= qsizetype(bufferLength))
        return failTooSmall(info, name, value.size());
    *std::copy_n(value.utf16(), value.size(), buffer) = 0;
    return kOk;
}

int RfcGetTable(ContainerHandle handle, const SapUc* name, ContainerHandle* table, ErrorInfo* info)
{
    const StandinContainer* function = container(handle, Kind::Function);
    if (!function)
        return failHandle(info);
    StandinContainer* found = function->table(text(name));
    if (!found || !table)
        return failParameter(info, QStringLiteral("Table %1 not found").arg(text(name)));
    *table = found;
    return clear(info);
}

ContainerHandle RfcAppendNewRow(ContainerHandle handle, ErrorInfo* info)
{
    StandinContainer* table = container(handle, Kind::Table);
    if (!table)
        failHandle(info);
    else
        clear(info);
    return table ? table->appendRow() : nullptr;
}

int RfcGetRowCount(ContainerHandle handle, unsigned* rowCount, ErrorInfo* info)
{
    const StandinContainer* table = container(handle, Kind::Table);
    if (!table || !rowCount)
        return failHandle(info);
    *rowCount = static_cast<unsigned>(table->rows().size());
    return clear(info);
}

int RfcMoveTo(ContainerHandle handle, unsigned index, ErrorInfo* info)
{
    StandinContainer* table = container(handle, Kind::Table);
    if (!table)
        return failHandle(info);
    if (!table->moveTo(index))
        return fail(info, kTableMoveEof, "RFC_TABLE_MOVE_EOF",
                    QStringLiteral("No row %1").arg(index));
    return clear(info);
}

ContainerHandle RfcGetCurrentRow(ContainerHandle handle, ErrorInfo* info)
{
    const StandinContainer* table = container(handle, Kind::Table);
    StandinContainer* row = table ? table->currentRow() : nullptr;
    if (!table)
        failHandle(info);
    else if (!row)
        fail(info, kTableMoveEof, "RFC_TABLE_MOVE_EOF", QStringLiteral("No current row"));
    else
        clear(info);
    return row;
}

const SapUc* RfcGetVersion(unsigned* major, unsigned* minor, unsigned* patch)
{
    if (major)
        *major = 7500;
    if (minor)
        *minor = 0;
    if (patch)
        *patch = 12;
    return u"7500.0.12";
}
}
