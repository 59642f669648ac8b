#include "shell/ProgramCommand.h"

ProgramCommand::Kind ProgramCommand::classify(const QString& first)
{
    if (first.isEmpty())
        return Kind::Window;
    if (first == u"--version")
        return Kind::Version;
    if (first == u"--help" || first == u"-h" || first == u"help")
        return Kind::Help;
    if (first == u"demo-db")
        return Kind::DemoDb;
    if (first == u"read-table")
        return Kind::ReadTable;
    if (first == u"export")
        return Kind::Export;
    return first.startsWith(u'-') ? Kind::Window : Kind::Unknown;
}

QString ProgramCommand::usage()
{
    return QStringLiteral(
        "usage: zorv [COMMAND [ARGUMENTS]]\n"
        "Without a command, zorv starts its window.\n"
        "\n"
        "commands:\n"
        "  export QUERY.txt [options]     writes the export file of a saved query\n"
        "  read-table TABLE [options]     calls RFC_READ_TABLE once and prints FIELDS and DATA\n"
        "  demo-db [--scale N]            builds the demo database and prints its path\n"
        "  help                           prints this text\n"
        "\n"
        "options:\n"
        "  --help, -h                     prints this text\n"
        "  --version                      prints the program version\n"
        "\n"
        "read-table and export log on with --system demo|URL, --client C, --user U,\n"
        "--password-file F and --language EN|PT; the README lists every option.\n");
}
