#pragma once

#include "BiText.h"

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
    SapSystemInformation,
    DatabaseLabel,
};

class Texts
{
public:
    static BiText get(TextId id);
    static QString homePage();
    static QString supportPage();
};
