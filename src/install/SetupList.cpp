#include "SetupList.h"

#include <vector>

namespace
{

// Lines 1 to 29, up to and including the header of the file entries.
constexpr const char* kHead[] = {
    "[Bootstrap]",
    "SetupTitle=Install",
    "SetupText=Copying Files, please stand by.",
    "CabFile=Zorv.CAB",
    "Spawn = Setup1.exe",
    "Uninstal = st6unst.exe",
    "TmpDir = msftqws.pdw",
    "Cabs = 1",
    "",
    "[Bootstrap Files]",
    "File1=@VB6STKIT.DLL,$(WinSysPathSysFile),,,3/26/99 3:00:00 AM,101888,6.0.84.50",
    "",
    "[IconGroups]",
    "Group0=$(Programs)",
    "PrivateGroup0 = True",
    "Parent0=",
    "",
    "[$(Programs)]",
    "Icon1 = \"Zorv.exe\"",
    "Title1=Quillon for SAP R3",
    "StartIn1=$(AppPath)",
    "",
    "[Setup]",
    "Title=Quillon for SAP R/3",
    "DefaultDir=$(ProgramFiles)\\Zorv",
    "AppExe = Zorv.exe",
    "AppToUninstall = Zorv.exe",
    "",
    "[Setup1 Files]",
};

// Entries every installation gets, in order; each is written as "File" + number + text.
constexpr const char* kCommonEntries[] = {
    "=@Zorv.ini,$(AppPath),,,3/12/07 8:46:00 AM,1019,0.0.0.0",
    "=@Fields.txt,$(AppPath),,,12/21/04 6:01:58 AM,0,0.0.0.0",
    "=@dev_rfc.trc,$(AppPath),,,11/11/02 11:50:02 PM,0,0.0.0.0",
    "=@MSCOMCTL.OCX,$(WinSysPath),$(DLLSelfRegister),$(Shared),6/6/02 2:12:59 PM,1077344,"
    "6.1.95.45",
    "=@mschrt20.ocx,$(WinSysPath),$(DLLSelfRegister),$(Shared),4/5/01 2:43:20 PM,1009336,"
    "6.0.88.4",
    "=@TABCTL32.OCX,$(WinSysPath),$(DLLSelfRegister),$(Shared),12/6/00 12:00:00 AM,209608,"
    "6.0.90.43",
    "=@COMDLG32.OCX,$(WinSysPath),$(DLLSelfRegister),$(Shared),6/24/01 9:32:30 PM,140288,"
    "6.0.84.18",
    "=@Zorv.chm,$(AppPath),,,6/20/06 6:46:00 AM,389140,0.0.0.0",
};

// The SAP RFC components, installed privately when SAP GUI does not provide them.
constexpr const char* kSapComponents[] = {
    "=@wdtlog.ocx,$(AppPath)\\Shared,$(DLLSelfRegister),$(Shared),3/27/02 10:33:04 AM,266240,"
    "6100.3.19.33",
    "=@wdtfuncs.ocx,$(AppPath)\\Shared,$(DLLSelfRegister),$(Shared),7/9/01 9:35:20 AM,241664,"
    "6100.1.0.3",
    "=@WDTAOCX.OCX,$(AppPath)\\Shared,$(DLLSelfRegister),$(Shared),7/9/01 9:35:20 AM,299008,"
    "6100.1.0.9",
    "=@wdobapi.ocx,$(AppPath)\\Shared,$(DLLSelfRegister),$(Shared),3/27/02 10:33:04 AM,299008,"
    "6100.3.19.5",
    "=@librfc32.dll,$(AppPath)\\Shared,$(DLLSelfRegister),$(Shared),7/15/99 6:37:06 PM,1699644,"
    "4610.5.0.2566",
};

constexpr const char* kProgram = "=@Zorv.exe,$(AppPath),,,3/12/07 8:46:00 AM,450560,0.3.20.00";

constexpr const char* kLineEnd = "\r\n";

} // namespace

QByteArray SetupList::build(bool sapGuiPresent)
{
    QByteArray text;
    for (const char* line : kHead)
        text.append(line).append(kLineEnd);

    std::vector<const char*> entries(std::begin(kCommonEntries), std::end(kCommonEntries));
    if (!sapGuiPresent)
        entries.insert(entries.end(), std::begin(kSapComponents), std::end(kSapComponents));
    entries.push_back(kProgram);

    int number = 0;
    for (const char* entry : entries)
        text.append("File").append(QByteArray::number(++number)).append(entry).append(kLineEnd);
    return text;
}
