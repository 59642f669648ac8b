#pragma once

#include "shell/BiText.h"

// Why a read, an export or a connection failed, in the words of Zorv itself (the system's own
// words are quoted in them as they come).
enum class FaultText {
    // Reading a table.
    TooLargeWithoutKey,
    NotInParts,
    OutOfResources,
    ConnectionLost,
    RowTwice,
    RowOutsidePart,
    MoreRowsThanKey,
    RowsChanged,
    OutOfKeyOrder,
    LineTooWide,
    RowsInSeveralTables,
    RowsInOtherTable,
    NoTable,
    FieldDescribedBadly,
    FieldsOverlap,
    FieldNotReturned,
    KeyValueNotWritable,
    KeyValueTooLong,
    FieldAndKeyTooWide,
    DictionaryUnreadable,
    FieldTooWide,
    SpoolNotCreated,
    SpoolNotWritten,
    SpoolNotReadBack,
    // Writing a file.
    WriteIncomplete,
    CannotCompress,
    PartOver4Gb,
    CannotBeWritten,
    FileOver4Gb,
    NotOpen,
    // Reaching a system.
    DemoDatabaseNotSetUp,
    DemoDatabaseUnopened,
    AddressHoldsUser,
    GiveSystemAddress,
    NativeLogonRefused,
    RfcLibraryFailed,
    LibraryUnusable,
    LibraryAdvice,
    LibraryNoSuchFile,
    LibraryTooOld,
    LogonRefusedHttp,
    CallTimedOut,
    Redirect,
    RedirectNowhere,
    CertificateFingerprint,
    NoValidAnswer,
    // What was wrong with an answer.
    ChunksMalformed,
    BodyRefused,
    ClosedWithoutAnswer,
    ClosedInHeader,
    ClosedBeforeEnd,
    HeaderTooLong,
    NotHttp,
    EncodingUnsupported,
    LengthNotANumber,
    DocumentType,
    ValueTooLong,
    TokenTooLong,
    EndedEarly,
    NotSoap,
    NestedTooDeep,
    NotSoapStartsWith,
    OtherResponse,
    NoNamespace,
    Namespace,
    NoResponse,
    RowsNotAskedFor,
    MoreRowsThanAsked,
    TooManyDescriptionRows,
    Count // not a text: how many there are
};

class FaultTexts
{
public:
    static BiText get(FaultText id);
};
