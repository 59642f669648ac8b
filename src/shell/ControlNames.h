#pragma once

#include <QLatin1StringView>
#include <QString>

// The object names of the controls that the caption table and the tests look up, in one place.
// The short numbered names are the controls' long-standing names; code names each control for
// what it is. Menu and toolbar commands are named in MenuLayout. Qt Core only, as the Install
// program uses it too.
namespace ControlNames
{

// The main window.
namespace Main
{
// Status bar panel 1: the message of the operation in progress.
inline constexpr QLatin1StringView kMessagePanel{"StatusPanel1"};
// Status bar panel 2: the connection, with its picture and its text.
inline constexpr QLatin1StringView kConnectionPanel{"conectar"};
// Status bar panel 3: the clock.
inline constexpr QLatin1StringView kClockPanel{"StatusPanel3"};
// The toolbar, which also holds the progress display.
inline constexpr QLatin1StringView kToolbar{"Toolbar1"};
// The progress display's button that cancels the running read.
inline constexpr QLatin1StringView kProgressCancel{"ProgressCancel"};

// The File menu's entry for a recently used document, counted from 1 as its text shows.
inline QString recentDocument(int index)
{
    return QStringLiteral("recent%1").arg(index);
}

// The context menu that repeats a main menu (its object name is the menu's).
inline QString popupMenu(const QString& menu)
{
    return QStringLiteral("popup-") + menu;
}
} // namespace Main

// A query window.
namespace Query
{
// The line above the tree that names the table open in it.
inline constexpr QLatin1StringView kTreeSummary{"Label1"};
// The tree of tables and folders.
inline constexpr QLatin1StringView kTree{"TreeView1"};
// The box above the field list that narrows it to the fields that match.
inline constexpr QLatin1StringView kFieldFilter{"FieldFilter"};
// The fields of the table chosen in the tree.
inline constexpr QLatin1StringView kFieldList{"ListView1"};
// My Table: the fields that a preview and an export read.
inline constexpr QLatin1StringView kMyTable{"ListView2"};
// The option lines (the WHERE condition).
inline constexpr QLatin1StringView kOptionList{"ListView3"};
// The preview grid.
inline constexpr QLatin1StringView kPreviewGrid{"ListView4"};
// The check box that reads every row instead of the row limit.
inline constexpr QLatin1StringView kAllRows{"Check1"};
// The label of the row limit box.
inline constexpr QLatin1StringView kRowLimitLabel{"Label2"};
// The row limit box.
inline constexpr QLatin1StringView kRowLimit{"Text2"};
// The option editor: field, operator, value, conjunction and the button that adds the line.
inline constexpr QLatin1StringView kOptionField{"Combo2"};
inline constexpr QLatin1StringView kOptionOperator{"Combo3"};
inline constexpr QLatin1StringView kOptionValue{"Text1"};
inline constexpr QLatin1StringView kOptionConjunction{"Combo4"};
inline constexpr QLatin1StringView kAddOption{"Command2"};
// The preview's filter box and its choice of column.
inline constexpr QLatin1StringView kPreviewFilter{"PreviewFilter"};
inline constexpr QLatin1StringView kPreviewFilterColumn{"PreviewFilterColumn"};

// The buttons beside My Table, counted from 0: copy, remove, move down, move up, preview.
inline QString rowButton(int index)
{
    return QStringLiteral("Command3_%1").arg(index);
}
} // namespace Query

// The options dialog.
namespace Options
{
// The dialog itself: the caption table names its controls through it.
inline constexpr QLatin1StringView kDialog{"fopcoes"};
// The frame of the language choice and its two buttons.
inline constexpr QLatin1StringView kLanguageBox{"Frame1"};
inline constexpr QLatin1StringView kEnglish{"Option1"};
inline constexpr QLatin1StringView kPortuguese{"Option2"};
// The frame of the list separator and its box.
inline constexpr QLatin1StringView kSeparatorBox{"Frame2"};
inline constexpr QLatin1StringView kSeparator{"Text1"};
// The frame of the number of sessions a read uses at once, and its box.
inline constexpr QLatin1StringView kSessionsBox{"SessionsBox"};
inline constexpr QLatin1StringView kSessions{"Sessions"};
// Whether the queries open at the last exit are offered at start.
inline constexpr QLatin1StringView kReopenQueries{"ReopenQueries"};
// The button that keeps the choices.
inline constexpr QLatin1StringView kOk{"cok"};

// A control of the dialog as the caption table names it.
inline QString inDialog(QLatin1StringView control)
{
    return QString(kDialog) + u'.' + QString(control);
}
} // namespace Options

// The about box.
namespace About
{
// The line with the program's version.
inline constexpr QLatin1StringView kVersion{"Label1"};
// The frame of the notice, the link to the home page, the contact and the legal warning.
inline constexpr QLatin1StringView kNotice{"Frame1"};
inline constexpr QLatin1StringView kHomePageLink{"Label5"};
inline constexpr QLatin1StringView kContact{"Label2"};
inline constexpr QLatin1StringView kLegalWarning{"Label3"};
// The button that starts the system information program.
inline constexpr QLatin1StringView kSystemInfo{"cmdSysInfo"};
// The button that closes the box.
inline constexpr QLatin1StringView kOk{"Command1"};
} // namespace About

// The logon dialog.
namespace Logon
{
// The system to log on to, as SAP Logon or the user's list names it.
inline constexpr QLatin1StringView kSystem{"System"};
inline constexpr QLatin1StringView kClient{"client"};
inline constexpr QLatin1StringView kUser{"User"};
inline constexpr QLatin1StringView kPassword{"Password"};
// The line that says why the last logon failed.
inline constexpr QLatin1StringView kError{"Error"};
// Whether a system typed in is kept in the user's list.
inline constexpr QLatin1StringView kKeepSystem{"KeepSystem"};
// Whether a server certificate that cannot be verified is trusted for this logon.
inline constexpr QLatin1StringView kTrustCertificate{"TrustCertificate"};
// How the system is reached: demo, SOAP, application server or message server.
inline constexpr QLatin1StringView kConnection{"Connection"};
// What each way of reaching a system asks for.
inline constexpr QLatin1StringView kHostName{"HostName"};
inline constexpr QLatin1StringView kSystemNumber{"SystemNumber"};
inline constexpr QLatin1StringView kMessageServer{"MessageServer"};
inline constexpr QLatin1StringView kSystemId{"SystemID"};
inline constexpr QLatin1StringView kLogonGroup{"LogonGroup"};
inline constexpr QLatin1StringView kRouter{"Router"};
inline constexpr QLatin1StringView kSncPartner{"SncPartner"};
// The file of SAP's RFC library that a native connection loads.
inline constexpr QLatin1StringView kRfcLibrary{"RfcLibrary"};
} // namespace Logon

// The file dialog of the desktop.
namespace FileDialog
{
// The line under the dialog that says where the file goes.
inline constexpr QLatin1StringView kNote{"FileDialogNote"};
} // namespace FileDialog

// The Install program's window.
namespace Install
{
inline constexpr QLatin1StringView kWindow{"fInstall"};
// The program's name, large.
inline constexpr QLatin1StringView kTitle{"Label2"};
// What the button under the mouse does, or how the installation went.
inline constexpr QLatin1StringView kStatus{"Label1"};
inline constexpr QLatin1StringView kInstall{"Command1"};
inline constexpr QLatin1StringView kCancel{"Command2"};
// The pictures: the computer, the drive to install from, and the marker beside the buttons.
inline constexpr QLatin1StringView kComputerPicture{"Image3"};
inline constexpr QLatin1StringView kDrivePicture{"Image4"};
inline constexpr QLatin1StringView kMarker{"Image1"};
} // namespace Install

} // namespace ControlNames
