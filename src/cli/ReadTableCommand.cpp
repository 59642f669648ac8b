#include "cli/ReadTableCommand.h"

#include "cli/SapCommandLine.h"
#include "query/read/TableCall.h"
#include "sap/ReadTableWidths.h"
#include "sap/RfcConnection.h"
#include "sap/RfcTable.h"

#include <QCommandLineParser>
#include <QTemporaryFile>

namespace
{
constexpr int kOptionWidth = ReadTableWidths::kOptionLine;

void print(std::FILE* stream, const QString& text)
{
    SapCommandLine::print(stream, text);
}
} // namespace

int ReadTableCommand::run(const QStringList& args, DestinationFactory& factory, std::FILE* out,
                          std::FILE* err)
{
    QCommandLineParser parser;
    const auto valued = [&](const char* name, const char* about, const char* value) {
        parser.addOption(
            {QString::fromLatin1(name), QString::fromLatin1(about), QString::fromLatin1(value)});
    };
    valued("fields", "Fields to read, separated by commas.", "F1,F2");
    valued("where", "One OPTIONS line; repeat for more.", "LINE");
    valued("rowcount", "ROWCOUNT.", "N");
    valued("rowskips", "ROWSKIPS.", "N");
    valued("delimiter", "DELIMITER.", "C");
    parser.addOption({QStringLiteral("no-data"), QStringLiteral("NO_DATA.")});
    SapCommandLine::addLogonOptions(parser);
    parser.addPositionalArgument(QStringLiteral("table"), QStringLiteral("QUERY_TABLE"));
    if (!parser.parse(QStringList{QStringLiteral("zorv")} + args)) {
        print(err, parser.errorText() + u'\n');
        return 2;
    }
    if (parser.positionalArguments().size() != 1) {
        print(err, QStringLiteral("usage: zorv read-table TABLE [options]\n"));
        return 2;
    }

    TableCall::Request request;
    request.table = parser.positionalArguments().front();
    request.rowCount = parser.value(QStringLiteral("rowcount")).toLongLong();
    request.rowSkips = parser.value(QStringLiteral("rowskips")).toLongLong();
    request.delimiter = parser.value(QStringLiteral("delimiter"));
    request.noData = parser.isSet(QStringLiteral("no-data"));
    for (const QString& name :
         parser.value(QStringLiteral("fields")).split(u',', Qt::SkipEmptyParts))
        request.fields.append(name.trimmed());
    request.options = parser.values(QStringLiteral("where"));
    // The system keeps 72 characters of a line and drops the rest without a word.
    for (const QString& line : request.options) {
        if (line.size() > kOptionWidth) {
            print(err, QStringLiteral("--where \"%1\" is %2 characters long; a WHERE line holds "
                                      "at most %3\n")
                           .arg(line)
                           .arg(line.size())
                           .arg(kOptionWidth));
            return 2;
        }
    }

    const std::unique_ptr<RfcConnection> connection = SapCommandLine::logon(parser, factory, err);
    if (!connection)
        return 1;

    // Rows are printed as they arrive, so a large read needs no memory of its own; a system
    // that sends its rows before the field descriptions (as real systems do) has them wait in
    // a temporary file.
    TableCall call(*connection->destination());
    bool fieldsPrinted = false;
    QTemporaryFile early;
    bool earlyOpen = false;
    bool spoolFailed = false;
    const auto fieldsKnown = [&] {
        const RfcTable& described = call.fields();
        return described.rowCount() > 0 && !described.rows().front()[2].isEmpty();
    };
    const auto printFields = [&] {
        if (fieldsPrinted)
            return;
        fieldsPrinted = true;
        for (const auto& row : call.fields().rows())
            print(out, row[0] + u'\t' + row[1] + u'\t' + row[2] + u'\t' + row[3] + u'\t' + row[4] +
                           u'\n');
        print(out, QStringLiteral("\n"));
        if (earlyOpen && early.seek(0)) {
            while (!early.atEnd()) {
                const QByteArray block = early.read(1 << 16);
                std::fwrite(block.constData(), 1, static_cast<size_t>(block.size()), out);
            }
            early.close();
        }
    };
    const TableCall::Outcome outcome = call.run(request, [&](QStringView line) {
        if (!fieldsPrinted && !fieldsKnown()) {
            if (!earlyOpen)
                earlyOpen = early.open();
            if (!earlyOpen || early.write(line.toUtf8() + '\n') < 0)
                spoolFailed = true;
            return;
        }
        printFields();
        print(out, line.toString() + u'\n');
    });
    connection->logOff();
    if (outcome != TableCall::Outcome::Done) {
        print(err, call.exception() +
                       (call.message().isEmpty() ? QString()
                                                 : QStringLiteral(": ") + call.message().en) +
                       u'\n');
        return 2;
    }
    printFields();
    if (spoolFailed) {
        print(err, QStringLiteral("Rows that came before the field descriptions could not be "
                                  "kept in a temporary file (is the disk full?)\n"));
        return 1;
    }
    return SapCommandLine::delivered(out, err) ? 0 : 1;
}
