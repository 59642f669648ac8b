#pragma once

#include "shell/BiText.h"

// Messages, status texts and fixed captions, each in both languages (or one form twice).
enum class TextId {
    MainCaption,
    GreetingMorning,
    GreetingAfternoon,
    GreetingEvening,
    Welcome,
    Disconnected,
    NotConnected,
    DialogOpen,
    DialogSaveAs,
    DialogOpenTableInExcel,
    Opening,
    Opened,
    CouldNotOpen,
    BrowserNotFound,
    SapLogonNotFound,
    HelpNotStarted,
    SysInfoUnavailable,
    AboutCaption,
    AboutVersion,
    AboutNotice,
    AboutLinkTip,
    AboutContact,
    AboutLegalWarning,
    AboutSysInfo,
    ButtonOk,
    OptionEnglish,
    OptionPortuguese,
    ProgressImport,
    ProgressExport,
    ProgressCurvaS,
    MenuR3System,
    MenuSapSysInfo,
    MenuSapLogon,
    MenuVertical,
    MenuHorizontal,
    MenuTabular,
    MenuOnTheWeb,
    MenuHomePage,
    MenuSupport,
    NoSystem,
    AlreadyConnected,
    SystemLabel,
    ClientLabel,
    LanguageLabel,
    SystemNumberLabel,
    HostLabel,
    ReleaseLabel,
    EnterLanguage,
    RfcConnectionFailed,
    ComponentMissing,
    SomeFilesMissing,
    LogonComponentMissing,
    ReinstallSapGui,
    ReinstallProgram,
    ProcessingRfcFor,
    // What went wrong in a read, one sentence per table: %1 the table, %2 the system's
    // exception, %3 the system's own words after ": " (or nothing), %4 an option line.
    ReadTableNotAvailable,
    ReadNotAuthorized,
    ReadOptionNotValid,
    ReadOptionLineNotValid,
    ReadFieldNotValid,
    ReadTableWithoutData,
    ReadDataBufferExceeded,
    ReadSystemFailure,
    ReadFailed,
    ReadFailedBecause, // %1 the table, %2 why
    ExportNotWritten,
    PreviewFailedStatus,
    ExportFailedStatus,
    PreviewCancelledStatus,
    ExportCancelledStatus,
    TitlePreview,
    TitleImport,
    TitleTableFields,
    TitleLogon,
    TitleOption,
    TitleRecentDocuments,
    // A refused logon: %1 the system, %2 the user, %3 the client, %4 what the system said;
    // then what to do.
    LogonRefused,
    LogonAdvicePassword,
    LogonAdviceClient,
    LogonAdviceLanguage,
    LogonAdviceCertificate,
    LogonAdviceNetwork,
    LogonAdviceOther,
    // The logon dialog and the ways a system is reached.
    LogonTitle,
    LogonDemoSystem,
    LogonSystem,
    LogonConnection,
    LogonWayDemo,
    LogonWaySoap,
    LogonWayApplicationServer,
    LogonWayMessageServer,
    LogonHostOrUrl,
    LogonHostPlaceholder,
    LogonSystemNumber,
    LogonMessageServer,
    LogonSystemId,
    LogonGroup,
    LogonSncName,
    LogonRfcLibrary,
    LogonLandscapeFile,
    LogonLandscapePlaceholder,
    LogonClient,
    LogonUser,
    LogonPassword,
    LogonLanguage,
    LogonChoose,
    LogonKeepSystem,
    LogonTrustCertificate, // %1 the fingerprint
    LogonLandscapeDialog,
    LogonLandscapeFilter,
    LogonLibraryDialog,
    LogonLibraryFilter, // %1 the library's file name
    // Why SAP Logon's landscape file gave no systems: %1 the file.
    LandscapeMissing,
    LandscapeNotAFile,   // %2 the largest size in MB
    LandscapeUnreadable, // %2 why
    LandscapeTooLarge,   // %2 the largest size in MB
    LandscapeDoctype,
    LandscapeNotXml, // %1 the parser's words, %2 the line
    LandscapeNoLandscape,
    LandscapeNoServerSection,
    // The progress display, the export's file and done line, and a tip of My Table.
    ProgressCancel,
    ProgressCancelTip,
    ExportFileTypes,
    ExportStoppedAtRowLimit, // %1 the rows
    ExportNotAFile,          // %1 the path
    ExportSheets,            // %1 the rows, %2 the sheets, %3 the rows a sheet holds
    // What a read that went through did another way: %1 the module, %2 the table, %3 why.
    ReadFellBack,
    ReadNoKeyFields, // %1 the table
    ReadKeyUnknown,  // %1 the table, %2 why
    ReadJoinedByPosition,
    ReadInOneCall,
    // While an export reads: %1 the table, %2 the rows read, %3 the rows counted.
    ExportReadingRows,
    ExportReadingRowsOf,
    ExportTimeLeft,  // %1 hours, minutes and seconds
    MyTableCallsTip, // %1 the module, %2 the characters of a row
    // Options a read would refuse: %1 the option; %2 its length as sent, %3 the table, %4 the
    // most a line holds.
    OptionTooWideAsSent,
    OptionNamesNoTable,
    ReadOneCall,
    ReadCalls,            // %1 the calls
    UnbalancedQuote,      // %1 the value
    UnknownOptionField,   // %1 what was typed
    AmbiguousOptionField, // %1 what was typed, %2 the keys it names
    PlaceholderField,
    PlaceholderOperator,
    PlaceholderValue,
    PlaceholderConjunction,
    FieldFilterPlaceholder,
    CopyCells,
    CopyCellsWithHeaders,
    RecentDocumentGone, // %1 the document
    SapSystemInformation,
    DatabaseLabel,
    QueryCaption,
    SaveChanges,
    SaveChangesEnd,
    DocumentSaved,
    DocumentOpened,
    NoNumbers,
    AlreadyExists,
    TableAdded,
    TableAddedEnd,
    DeleteFolder,
    TableHas,
    TableHasOf,
    TotalFields,
    TreeHint,
    FieldListHint,
    NoFile,
    TipCopyToMyTable,
    TipRemoveFields,
    TipMoveDown,
    TipMoveUp,
    TipPreview,
    TipMaximumRows,
    OptionTooLong,
    OptionTooLongEnd,
    OptionsHint,
    removeAllOptions,
    TipFieldName,
    TipOperator,
    TipValue,
    TipConjunction,
    TipAddOption,
    PreviewStatus,
    ImportDone,
    ImportDoneFields,
    ImportDoneRows,
    ImportDoneBytes,
    SaveMyTableAs,
    Checking,
    Creating,
    CloseYourTable,
    CloseYourTableEnd,
    ImportRunning,
    ImportCancelled,
    LostCharacters,
    NotAdded,
    NoConnection,
    NoFieldsReturned,
    WindowLimit,
    RecoveryOffer,
    RecoveryOfferEnd,
    Recovered,
};

class Texts
{
public:
    static BiText get(TextId id);
    static QString homePage();
    static QString supportPage();
};
