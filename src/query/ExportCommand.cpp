#include "ExportCommand.h"

#include "QueryDocumentFile.h"
#include "RfcConnection.h"
#include "SapCommandLine.h"
#include "TableExport.h"

#include <QCommandLineParser>

#include <atomic>

namespace
{
void print(std::FILE* stream, const QString& text)
{
    SapCommandLine::print(stream, text);
}
} // namespace

int ExportCommand::run(const QStringList& args, DestinationFactory& factory, std::FILE* out,
                       std::FILE* err)
{
    QCommandLineParser parser;
    parser.addOption(
        {QStringLiteral("output"), QStringLiteral("The export file."), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("separator"), QStringLiteral("The list separator."),
                      QStringLiteral("S"), QStringLiteral(";")});
    parser.addOption({QStringLiteral("encoding"),
                      QStringLiteral("windows-1252 (the default) or utf-8."),
                      QStringLiteral("NAME"), QStringLiteral("windows-1252")});
    SapCommandLine::addLogonOptions(parser);
    parser.addPositionalArgument(QStringLiteral("query"), QStringLiteral("A saved query."));
    if (!parser.parse(QStringList{QStringLiteral("zorv")} + args) ||
        parser.positionalArguments().size() != 1) {
        print(err, QStringLiteral("usage: zorv export QUERY.txt [--output FILE] [options]\n"));
        return 2;
    }
    const QString encoding = parser.value(QStringLiteral("encoding")).toLower();
    if (encoding != u"windows-1252" && encoding != u"utf-8") {
        print(err, QStringLiteral("--encoding takes windows-1252 or utf-8\n"));
        return 2;
    }

    QueryDocument document;
    const QString path = parser.positionalArguments().front();
    const QueryDocumentFile::ReadResult read = QueryDocumentFile::readFile(path, document);
    QString problem = read.ok ? QueryDocumentFile::checkLoadable(document) : read.error;
    QVector<ReadPlan::Item> fields;
    for (const QString& entry : document.ssField) {
        if (const auto field = QueryDocumentFile::parseFieldEntry(entry, &problem))
            fields.append({field->key, field->type, field->length, field->text});
    }
    ReadPlan plan;
    if (problem.isEmpty() && !plan.ReadLIMytable(fields, document.ssOption, &problem) &&
        problem.isEmpty())
        problem = QStringLiteral("The query has no fields: ") + path;
    if (!problem.isEmpty()) {
        print(err, problem + u'\n');
        return 1;
    }

    TableExport::Settings settings;
    settings.path = parser.isSet(QStringLiteral("output")) ? parser.value(QStringLiteral("output"))
                                                           : document.MyTableF;
    if (settings.path.isEmpty()) {
        print(err, QStringLiteral("The query names no export file: give one with --output\n"));
        return 1;
    }
    settings.separator = parser.value(QStringLiteral("separator"));
    settings.rowLimit = document.sRows;
    settings.encoding =
        encoding == u"utf-8" ? TableExport::Encoding::Utf8 : TableExport::Encoding::WindowsCodePage;

    const auto connection = SapCommandLine::logon(parser, factory, err);
    if (!connection)
        return 1;
    TableExport exporter(*connection->destination(), plan, settings);
    TableExport::Observer observer;
    observer.status = [err](const QString& text) { print(err, text + u'\n'); };
    const std::atomic<bool> never{false};
    const TableExport::Result result = exporter.run(never, observer);
    connection->Logoff();
    for (const QString& failure : result.failedPieces)
        print(err, failure + u'\n');
    if (!result.ok) {
        print(err, QStringLiteral("The export failed: ") + result.error + u'\n');
        return 1;
    }
    if (result.lostCharacters > 0)
        print(err, QStringLiteral("%1 characters the Windows code page cannot hold were written "
                                  "as \"?\"; --encoding utf-8 keeps them\n")
                       .arg(result.lostCharacters));
    print(out, settings.path + u'\n');
    print(err, QStringLiteral("%1 rows written in %2 s\n")
                   .arg(result.rows)
                   .arg(result.elapsed, 0, 'f', 2));
    return result.failedPieces.isEmpty() ? 0 : 1;
}
