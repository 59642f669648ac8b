#pragma once

// The C interface of SAP's NetWeaver RFC library, declared here from its public documentation:
// only what Zorv calls, loaded at run time. Nothing of SAP's is compiled in or shipped. Member
// order and sizes are the library's (a test checks them), so a mistake fails a test, not a call.

#include <cstddef>

namespace nwrfc
{
// Every string the library takes or gives is UTF-16, on every platform.
using SapUc = char16_t;

// RFC_RC: what every call returns. Values beyond the known ones are treated as unknown.
enum Rc : int {
    kOk = 0,
    kCommunicationFailure = 1,
    kLogonFailure = 2,
    kAbapRuntimeFailure = 3,
    kAbapMessage = 4,
    kAbapException = 5,
    kClosed = 6,
    kCanceled = 7,
    kTimeout = 8,
    kMemoryInsufficient = 9,
    kVersionMismatch = 10,
    kInvalidProtocol = 11,
    kSerializationFailure = 12,
    kInvalidHandle = 13,
    kRetry = 14,
    kExternalFailure = 15,
    kExecuted = 16,
    kNotFound = 17,
    kNotSupported = 18,
    kIllegalState = 19,
    kInvalidParameter = 20,
    kCodepageConversionFailure = 21,
    kConversionFailure = 22,
    kBufferTooSmall = 23,
    kTableMoveBof = 24,
    kTableMoveEof = 25,
    kStartSapGuiFailure = 26,
    kAbapClassException = 27,
    kUnknownError = 28,
    kAuthorizationFailure = 29,
};

// RFC_ERROR_GROUP, the group member of ErrorInfo.
enum ErrorGroup : int {
    kGroupOk = 0,
    kAbapApplicationFailure = 1,
    kAbapRuntimeGroup = 2,
    kLogonGroup = 3,
    kCommunicationGroup = 4,
    kExternalRuntimeFailure = 5,
    kExternalApplicationFailure = 6,
    kExternalAuthorizationFailure = 7,
};

// RFC_ERROR_INFO: filled by every call that fails.
struct ErrorInfo {
    int code;  // an Rc
    int group; // an ErrorGroup
    SapUc key[128];
    SapUc message[512];
    SapUc abapMsgClass[20 + 1];
    SapUc abapMsgType[1 + 1];
    SapUc abapMsgNumber[3 + 1];
    SapUc abapMsgV1[50 + 1];
    SapUc abapMsgV2[50 + 1];
    SapUc abapMsgV3[50 + 1];
    SapUc abapMsgV4[50 + 1];
};

// RFC_CONNECTION_PARAMETER: one logon parameter, by name (case does not matter).
struct ConnectionParameter {
    const SapUc* name;
    const SapUc* value;
};

// RFC_ATTRIBUTES: what a connection tells about itself and its partner.
struct Attributes {
    SapUc dest[64 + 1];
    SapUc host[100 + 1];
    SapUc partnerHost[100 + 1];
    SapUc sysNumber[2 + 1];
    SapUc sysId[8 + 1];
    SapUc client[3 + 1];
    SapUc user[12 + 1];
    SapUc language[2 + 1];
    SapUc trace[1 + 1];
    SapUc isoLanguage[2 + 1];
    SapUc codepage[4 + 1];
    SapUc partnerCodepage[4 + 1];
    SapUc rfcRole[1 + 1];
    SapUc type[1 + 1];
    SapUc partnerType[1 + 1];
    SapUc rel[4 + 1];
    SapUc partnerRel[4 + 1];
    SapUc kernelRel[4 + 1];
    SapUc cpicConvId[8 + 1];
    SapUc progName[128 + 1];
    SapUc partnerBytesPerChar[1 + 1];
    SapUc partnerSystemCodepage[4 + 1];
    SapUc partnerIp[15 + 1];
    SapUc partnerIpv6[45 + 1];
    SapUc reserved[17];
};

// Handles are opaque; function, structure and table handles are all data containers.
using ConnectionHandle = void*;
using FunctionDescHandle = void*;
using ContainerHandle = void*;

// The calls, as pointers to what the library exports under these names. Zorv is built for
// 64-bit platforms only, where the library's calling convention is the platform's default.
static_assert(sizeof(void*) == 8, "the native RFC binding is declared for 64-bit platforms");
using RfcOpenConnection = ConnectionHandle (*)(const ConnectionParameter*, unsigned, ErrorInfo*);
using RfcCloseConnection = int (*)(ConnectionHandle, ErrorInfo*);
using RfcPing = int (*)(ConnectionHandle, ErrorInfo*);
using RfcCancel = int (*)(ConnectionHandle, ErrorInfo*);
using RfcGetConnectionAttributes = int (*)(ConnectionHandle, Attributes*, ErrorInfo*);
using RfcGetFunctionDesc = FunctionDescHandle (*)(ConnectionHandle, const SapUc*, ErrorInfo*);
using RfcCreateFunction = ContainerHandle (*)(FunctionDescHandle, ErrorInfo*);
using RfcDestroyFunction = int (*)(ContainerHandle, ErrorInfo*);
using RfcInvoke = int (*)(ConnectionHandle, ContainerHandle, ErrorInfo*);
using RfcSetChars = int (*)(ContainerHandle, const SapUc*, const SapUc*, unsigned, ErrorInfo*);
using RfcSetInt = int (*)(ContainerHandle, const SapUc*, int, ErrorInfo*);
using RfcGetChars = int (*)(ContainerHandle, const SapUc*, SapUc*, unsigned, ErrorInfo*);
using RfcGetString = int (*)(ContainerHandle, const SapUc*, SapUc*, unsigned, unsigned*,
                             ErrorInfo*);
using RfcGetTable = int (*)(ContainerHandle, const SapUc*, ContainerHandle*, ErrorInfo*);
using RfcAppendNewRow = ContainerHandle (*)(ContainerHandle, ErrorInfo*);
using RfcGetRowCount = int (*)(ContainerHandle, unsigned*, ErrorInfo*);
using RfcMoveTo = int (*)(ContainerHandle, unsigned, ErrorInfo*);
using RfcGetCurrentRow = ContainerHandle (*)(ContainerHandle, ErrorInfo*);
using RfcGetVersion = const SapUc* (*)(unsigned*, unsigned*, unsigned*);

// The sizes and places the library relies on, for the 64-bit platforms Zorv is built for.
inline constexpr std::size_t kErrorInfoSize = 1752;
inline constexpr std::size_t kErrorInfoMessageOffset = 264;
inline constexpr std::size_t kAttributesSize = 1118;
} // namespace nwrfc
