#include "sap/nwrfc/NwRfcLibrary.h"
#include "shell/FaultTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QMutex>

namespace
{

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
    const BiText unusable = FaultTexts::get(FaultText::LibraryUnusable);
    return error.startsWith(unusable.en) || error.startsWith(unusable.pt);
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

std::shared_ptr<const NwRfcLibrary> NwRfcLibrary::load(const QString& chosen, BiText* error)
{
    // A library that was loaded stays loaded for the life of the process, as SAP's expects; the
    // cache makes a second logon to another system reuse it.
    static QMutex lock;
    static QHash<QString, std::shared_ptr<const NwRfcLibrary>> loaded;
    QMutexLocker locker(&lock);
    QStringList tried;
    QStringList triedPt;
    for (const QString& place : candidates(chosen)) {
        if (const auto found = loaded.constFind(place); found != loaded.constEnd())
            return found.value();
        if (!chosen.isEmpty() && !QFileInfo(place).isFile()) {
            const BiText text =
                FaultTexts::get(FaultText::LibraryNoSuchFile).arg(QDir::toNativeSeparators(place));
            tried.append(text.en);
            triedPt.append(text.pt);
            continue;
        }
        QLibrary library(place);
        if (!library.load()) {
            tried.append(library.errorString());
            triedPt.append(library.errorString());
            continue;
        }
        auto usable = std::make_shared<NwRfcLibrary>();
        const QString missing = resolveAll(library, usable->m_calls);
        usable->m_path = library.fileName();
        if (!missing.isEmpty()) {
            const BiText text = FaultTexts::get(FaultText::LibraryTooOld)
                                    .arg(QDir::toNativeSeparators(usable->m_path), missing);
            tried.append(text.en);
            triedPt.append(text.pt);
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
    if (error) {
        const BiText unusable = FaultTexts::get(FaultText::LibraryUnusable);
        const BiText advice = FaultTexts::get(FaultText::LibraryAdvice).arg(fileName());
        const QString form = QStringLiteral("%1 (%2). %3.");
        *error = {form.arg(unusable.en, tried.join(QStringLiteral("; ")), advice.en),
                  form.arg(unusable.pt, triedPt.join(QStringLiteral("; ")), advice.pt)};
    }
    return nullptr;
}
