#pragma once

#include "sap/nwrfc/NwRfcApi.h"
#include "shell/BiText.h"

#include <QString>
#include <QStringList>

#include <memory>

// SAP's NetWeaver RFC library, loaded at run time from where the user has it: the file chosen
// in the logon dialog or on the command line, else SAPNWRFC_HOME's lib folder, else the
// loader's own path. Nothing of SAP's is linked or shipped; a library that lacks a call Zorv
// needs is refused whole, before any call is made.
class NwRfcLibrary
{
public:
    struct Calls {
        nwrfc::RfcOpenConnection openConnection = nullptr;
        nwrfc::RfcCloseConnection closeConnection = nullptr;
        nwrfc::RfcPing ping = nullptr;
        nwrfc::RfcCancel cancel = nullptr;
        nwrfc::RfcGetConnectionAttributes connectionAttributes = nullptr;
        nwrfc::RfcGetFunctionDesc functionDescription = nullptr;
        nwrfc::RfcCreateFunction createFunction = nullptr;
        nwrfc::RfcDestroyFunction destroyFunction = nullptr;
        nwrfc::RfcInvoke invoke = nullptr;
        nwrfc::RfcSetChars setChars = nullptr;
        nwrfc::RfcSetInt setInt = nullptr;
        nwrfc::RfcGetChars getChars = nullptr;
        nwrfc::RfcGetString getString = nullptr;
        nwrfc::RfcGetTable getTable = nullptr;
        nwrfc::RfcAppendNewRow appendNewRow = nullptr;
        nwrfc::RfcGetRowCount rowCount = nullptr;
        nwrfc::RfcMoveTo moveTo = nullptr;
        nwrfc::RfcGetCurrentRow currentRow = nullptr;
        nwrfc::RfcGetVersion version = nullptr;
    };

    // The library's file name on this platform (libsapnwrfc.so, sapnwrfc.dll, ...).
    static QString fileName();
    // Where it is looked for, in order: the chosen file, SAPNWRFC_HOME/lib, the loader's path.
    static QStringList candidates(const QString& chosen);
    // The library, loaded once per process and file; nothing, with one sentence that names
    // what was tried and what to do, when it cannot be used.
    static std::shared_ptr<const NwRfcLibrary> load(const QString& chosen, BiText* error);

    // Whether a logon's error is this class's sentence about the library, which says what to
    // do itself: the system was never reached.
    static bool namesTheLibrary(const QString& error);

    const Calls& calls() const { return m_calls; }
    const QString& path() const { return m_path; }
    // "7500.0.12", as the library tells it.
    const QString& version() const { return m_version; }

private:
    Calls m_calls;
    QString m_path;
    QString m_version;
};
