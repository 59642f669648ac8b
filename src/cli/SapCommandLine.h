#pragma once

#include "sap/NativeServer.h"
#include "sap/systems/KnownSystem.h"

#include <QStringList>

#include <cstdio>
#include <memory>
#include <optional>

class DestinationFactory;
class QCommandLineParser;
class RfcConnection;

// The command-line tools of the SAP access layer: building the demo database, and the logon
// that every command shares.
class SapCommandLine
{
public:
    // args excludes the program name and the command. Returns the exit status.
    static int demoDb(const QStringList& args, std::FILE* out, std::FILE* err);

    static constexpr int kLongestTimeout = 24 * 3600;

    // The logon options every command shares: --system, --client, --user, --password-file,
    // --language, --timeout, and the native RFC ones (--ashost ... --rfc-library).
    static void addLogonOptions(QCommandLineParser& parser);
    // Logs on silently with those options; nothing, after one line on err saying why, when it
    // fails. A system other than the demo needs --user: nothing is sent without it.
    static std::unique_ptr<RfcConnection> logon(const QCommandLineParser& parser,
                                                DestinationFactory& factory, std::FILE* err);
    static void print(std::FILE* stream, const QString& text);
    // Whether everything written to out reached it; one line on err when not.
    static bool delivered(std::FILE* out, std::FILE* err);
    // The system of that name in Zorv's own list, else in SAP Logon's landscape (the given
    // file, else its usual place); a line on err when a given landscape cannot serve it.
    static std::optional<KnownSystem> knownSystem(const QString& name, const QString& landscape,
                                                  std::FILE* err);
    // The native RFC options; a problem with them is one sentence in problem.
    static NativeServer nativeServer(const QCommandLineParser& parser, QString* problem);
};
