#include "sap/nwrfc/NwRfcLibrary.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QMutex>

namespace
{
const QString kUnusable = QStringLiteral("SAP's NetWeaver RFC library could not be used");
const QString kAdvice = QStringLiteral(
    "Install SAP's NetWeaver RFC library 7.50 and choose its %1 (or set SAPNWRFC_HOME)");

template <typename Call>
bool resolve(QLibrary& library, const char* name, Call& call, QStringList& missing)
{
    call = reinterpret_cast<Call>(library.resolve(name));
    if (!call)
        missing.append(QString::fromLatin1(name));
    return call != nullptr;
}

// Every call Zorv makes, or why the library cannot serve.
QString resolveAll(QLibrary& library, NwRfcLibrary::Calls& calls)
{
    QStringList missing;
    resolve(library, "RfcOpenConnection", calls.openConnection, missing);
    resolve(library, "RfcCloseConnection", calls.closeConnection, missing);
    resolve(library, "RfcPing", calls.ping, missing);
    resolve(library, "RfcCancel", calls.cancel, missing);
    resolve(library, "RfcGetConnectionAttributes", calls.connectionAttributes, missing);
    resolve(library, "RfcGetFunctionDesc", calls.functionDescription, missing);
    resolve(library, "RfcCreateFunction", calls.createFunction, missing);
    resolve(library, "RfcDestroyFunction", calls.destroyFunction, missing);
    resolve(library, "RfcInvoke", calls.invoke, missing);
    resolve(library, "RfcSetChars", calls.setChars, missing);
    resolve(library, "RfcSetInt", calls.setInt, missing);
    resolve(library, "RfcGetChars", calls.getChars, missing);
    resolve(library, "RfcGetString", calls.getString, missing);
    resolve(library, "RfcGetTable", calls.getTable, missing);
    resolve(library, "RfcAppendNewRow", calls.appendNewRow, missing);
    resolve(library, "RfcGetRowCount", calls.rowCount, missing);
    resolve(library, "RfcMoveTo", calls.moveTo, missing);
    resolve(library, "RfcGetCurrentRow", calls.currentRow, missing);
    resolve(library, "RfcGetVersion", calls.version, missing);
    return missing.join(QStringLiteral(", "));
}
} // namespace

QString NwRfcLibrary::fileName()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("sapnwrfc.dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("libsapnwrfc.dylib");
#else
    return QStringLiteral("libsapnwrfc.so");
#endif
}

bool NwRfcLibrary::namesTheLibrary(const QString& error)
{
    return error.startsWith(kUnusable);
}

QStringList NwRfcLibrary::candidates(const QString& chosen)
{
    if (!chosen.isEmpty())
        return {chosen};
    QStringList places;
    const QString home = qEnvironmentVariable("SAPNWRFC_HOME");
    if (!home.isEmpty())
        places.append(QDir(home).filePath(QStringLiteral("lib/") + fileName()));
    places.append(fileName());
    return places;
}

std::shared_ptr<const NwRfcLibrary> NwRfcLibrary::load(const QString& chosen, QString* error)
{
    // A library that was loaded stays loaded for the life of the process, as SAP's expects; the
    // cache makes a second logon to another system reuse it.
    static QMutex lock;
    static QHash<QString, std::shared_ptr<const NwRfcLibrary>> loaded;
    QMutexLocker locker(&lock);
    QStringList tried;
    for (const QString& place : candidates(chosen)) {
        if (const auto found = loaded.constFind(place); found != loaded.constEnd())
            return found.value();
        if (!chosen.isEmpty() && !QFileInfo(place).isFile()) {
            tried.append(QStringLiteral("%1: no such file").arg(QDir::toNativeSeparators(place)));
            continue;
        }
        QLibrary library(place);
        if (!library.load()) {
            tried.append(library.errorString());
            continue;
        }
        auto usable = std::make_shared<NwRfcLibrary>();
        const QString missing = resolveAll(library, usable->m_calls);
        usable->m_path = library.fileName();
        if (!missing.isEmpty()) {
            tried.append(QStringLiteral("%1 lacks %2, so it is too old")
                             .arg(QDir::toNativeSeparators(usable->m_path), missing));
            continue;
        }
        unsigned major = 0;
        unsigned minor = 0;
        unsigned patch = 0;
        usable->m_calls.version(&major, &minor, &patch);
        usable->m_version = QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(patch);
        loaded.insert(place, usable);
        return usable;
    }
    if (error)
        *error = QStringLiteral("%1 (%2). %3.")
                     .arg(kUnusable, tried.join(QStringLiteral("; ")), kAdvice.arg(fileName()));
    return nullptr;
}
