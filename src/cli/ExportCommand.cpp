#include "cli/ExportCommand.h"

#include "cli/SapCommandLine.h"
#include "query/document/QueryDocumentFile.h"
#include "query/export/CsvWriter.h"
#include "query/export/ExportTarget.h"
#include "query/export/TableExport.h"
#include "query/read/KeyCatalog.h"
#include "sap/RfcConnection.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>

namespace
{
void print(std::FILE* stream, const QString& text)
{
    SapCommandLine::print(stream, text);
}
// Why the export may not write target: it is the document itself, or (unless the user chose
// it) a file that holds something else than an earlier export of this query.
QString unsafeTarget(const QString& target, const QString& document, bool chosen,
                     const QVector<ReadPlan::Field>& fields, const QString& separator)
{
    if (target == u"-")
        return {};
    const QFileInfo info(target);
    if (info.exists() && info.canonicalFilePath() == QFileInfo(document).canonicalFilePath())
        return QStringLiteral("The export file %1 is the query document itself: give another "
                              "with --output")
            .arg(QDir::toNativeSeparators(target));
    // What is no plain file (a pipe, a folder) is refused later, for what it is.
    if (chosen || !info.exists() || !info.isFile())
        return {};
    QStringList keys;
    for (const ReadPlan::Field& field : fields)
        keys.append(field.key);
    QFile file(target);
    QByteArray first;
    if (file.open(QIODevice::ReadOnly))
        first = file.read(64 * 1024).split('\n').first();
    if (first.startsWith("\xEF\xBB\xBF"))
        first.remove(0, 3);
    while (first.endsWith('\r'))
        first.chop(1);
    if (QString::fromLatin1(first) == CsvWriter::headerLine(keys, separator))
        return {};
    return QStringLiteral("%1, the query's export file, exists and is no earlier export of this "
                          "query; give --output FILE to write elsewhere, or --replace to "
                          "overwrite it")
        .arg(QDir::toNativeSeparators(target));
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
    parser.addOption({QStringLiteral("format"),
                      QStringLiteral("csv or xlsx (the default follows the output's name)."),
                      QStringLiteral("NAME")});
    parser.addOption(
        {QStringLiteral("trim"), QStringLiteral("Values without the blanks that pad them (CSV).")});
    parser.addOption({QStringLiteral("formulas-as-text"),
                      QStringLiteral("Cells a spreadsheet would evaluate (=, +, -, @, a tab or a "
                                     "carriage return first) written as text, after an "
                                     "apostrophe (CSV).")});
    parser.addOption({QStringLiteral("page-rows"),
                      QStringLiteral("Rows asked for in one call (default: as many as keep an "
                                     "answer within a few MB)."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("module"),
                      QStringLiteral("The read module (default: the widest the system offers; "
                                     "RFC_READ_TABLE for that one alone)."),
                      QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("sessions"),
                      QStringLiteral("Logons of the system the read calls at once, 1 to 8 "
                                     "(default 3; 1: one call after another)."),
                      QStringLiteral("N"), QStringLiteral("3")});
    parser.addOption({QStringLiteral("replace"),
                      QStringLiteral("Overwrite the query's own export file even when it holds "
                                     "something else than an earlier export.")});
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
    const QString format = parser.value(QStringLiteral("format")).toLower();
    if (!format.isEmpty() && format != u"csv" && format != u"xlsx") {
        print(err, QStringLiteral("--format takes csv or xlsx\n"));
        return 2;
    }
    qint64 pageRows = 0;
    if (parser.isSet(QStringLiteral("page-rows"))) {
        bool ok = false;
        pageRows = parser.value(QStringLiteral("page-rows")).toLongLong(&ok);
        if (!ok || pageRows < 1) {
            print(err, QStringLiteral("--page-rows takes a whole number of 1 or more\n"));
            return 2;
        }
    }
    bool sessionsOk = false;
    const int sessions = parser.value(QStringLiteral("sessions")).toInt(&sessionsOk);
    if (!sessionsOk || sessions < 1 || sessions > SessionPool::kMostSessions) {
        print(err, QStringLiteral("--sessions takes a whole number from 1 to %1\n")
                       .arg(SessionPool::kMostSessions));
        return 2;
    }

    QueryDocument document;
    const QString path = parser.positionalArguments().front();
    const QueryDocumentFile::ReadResult read = QueryDocumentFile::readFile(path, document);
    QString problem = read.ok ? QueryDocumentFile::checkLoadable(document) : read.error;
    QVector<ReadPlan::Field> fields;
    for (const QString& entry : document.fields) {
        if (const auto field = QueryDocumentFile::parseFieldEntry(entry, &problem))
            fields.append({field->key, field->type, field->length, field->text});
    }
    ReadPlan plan;
    BiText tooWide;
    if (problem.isEmpty() && !plan.build(fields, document.options, &tooWide))
        problem =
            tooWide.isEmpty() ? QStringLiteral("The query has no fields: ") + path : tooWide.en;
    if (!problem.isEmpty()) {
        print(err, problem + u'\n');
        return 1;
    }

    TableExport::Settings settings;
    const bool chosen = parser.isSet(QStringLiteral("output"));
    settings.path = chosen ? parser.value(QStringLiteral("output")) : document.exportFile;
    if (settings.path.isEmpty()) {
        print(err, QStringLiteral("The query names no export file: give one with --output\n"));
        return 1;
    }
    settings.separator = parser.value(QStringLiteral("separator"));
    // A document's export name is its author's suggestion, not an order: documents travel.
    if (!chosen)
        settings.path = QFileInfo(path).absoluteDir().absoluteFilePath(settings.path);
    const QString refused =
        unsafeTarget(settings.path, path, chosen || parser.isSet(QStringLiteral("replace")), fields,
                     settings.separator);
    if (!refused.isEmpty()) {
        print(err, refused + u'\n');
        return 1;
    }
    settings.rowLimit = document.rowLimit;
    settings.pageRows = pageRows;
    settings.widestModule = true;
    settings.countRows = true;
    settings.moduleName = parser.value(QStringLiteral("module")).trimmed().toUpper();
    settings.format = format.isEmpty()    ? TableExport::formatOf(settings.path)
                      : format == u"xlsx" ? TableExport::Format::Xlsx
                                          : TableExport::Format::Csv;
    settings.trim = parser.isSet(QStringLiteral("trim"));
    settings.markFormulasAsText = parser.isSet(QStringLiteral("formulas-as-text"));
    if (settings.format == TableExport::Format::Xlsx && settings.path == u"-") {
        print(err, QStringLiteral("A workbook cannot go to standard output: give --output a "
                                  "file name\n"));
        return 2;
    }
    settings.standardOutput = out;
    const QString unreadable = ReadJob::check(plan).en;
    if (!unreadable.isEmpty()) {
        print(err, unreadable + u'\n');
        return 1;
    }
    const QString unfit = settings.path == u"-" ? QString() : ExportTarget::unfit(settings.path).en;
    if (!unfit.isEmpty()) {
        print(err, unfit + u'\n');
        return 1;
    }
    settings.encoding =
        encoding == u"utf-8" ? TableExport::Encoding::Utf8 : TableExport::Encoding::WindowsCodePage;

    const auto connection = SapCommandLine::logon(parser, factory, err);
    if (!connection)
        return 1;
    settings.sessions = sessions;
    settings.openSession = connection->opener();
    KeyCatalog keys;
    TableExport exporter(*connection->destination(), keys, plan, settings);
    TableExport::Observer observer;
    observer.status = [err](const BiText& text) { print(err, text.en + u'\n'); };
    const std::atomic<bool> never{false};
    const TableExport::Result result = exporter.run(never, observer);
    connection->logOff();
    for (const ReadJob::Failure& failure : result.failures)
        print(err, TableExport::failureText(failure) + u'\n');
    if (!result.ok) {
        print(err, QStringLiteral("The export failed; %1 was not written%2\n")
                       .arg(settings.path, result.error.isEmpty()
                                               ? QString()
                                               : QStringLiteral(": ") + result.error.en));
        return 1;
    }
    for (const BiText& note : result.notes)
        print(err, note.en + u'\n');
    if (result.lostCharacters > 0)
        print(err, QStringLiteral("%1 characters the Windows code page cannot hold were written "
                                  "as \"?\"; --encoding utf-8 keeps them\n")
                       .arg(result.lostCharacters));
    if (settings.path != u"-")
        print(out, settings.path + u'\n');
    if (!SapCommandLine::delivered(out, err))
        return 1;
    print(err, QStringLiteral("%1 rows written in %2 s (%3)\n")
                   .arg(result.rows)
                   .arg(result.elapsed, 0, 'f', 2)
                   .arg(ReadJob::callsText(result.calls, result.module).en));
    return 0;
}
