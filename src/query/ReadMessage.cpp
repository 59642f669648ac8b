#include "ReadMessage.h"

#include "Language.h"

namespace
{
// %1 the table, %2 the exception, %3 the system's own words (with a leading blank), if any.
BiText forException(const QString& exception)
{
    if (exception == u"TABLE_NOT_AVAILABLE")
        return {QStringLiteral("The system has no table %1 (%2)%3. Check the name in the tree."),
                QStringLiteral("O sistema não tem a tabela %1 (%2)%3. Verifique o nome na "
                               "árvore.")};
    if (exception == u"NOT_AUTHORIZED" || exception == u"NO_AUTH")
        return {QStringLiteral("Your user may not read the table %1 (%2)%3. Ask for read "
                               "authority on it: authorization object S_TABU_DIS for its "
                               "authorization group, or S_TABU_NAM for the table."),
                QStringLiteral("Seu usuário não pode ler a tabela %1 (%2)%3. Peça autorização "
                               "de leitura: objeto S_TABU_DIS para o grupo da tabela, ou "
                               "S_TABU_NAM para a tabela.")};
    if (exception == u"OPTION_NOT_VALID")
        return {QStringLiteral("The system did not accept the options of %1 as a WHERE "
                               "condition (%2)%3. Check each option line: a blank around every "
                               "operator and value, values in quotes."),
                QStringLiteral("O sistema não aceitou as opções de %1 como condição WHERE "
                               "(%2)%3. Verifique cada linha: um espaço antes e depois de cada "
                               "operador e valor, valores entre aspas.")};
    if (exception == u"FIELD_NOT_VALID")
        return {QStringLiteral("A field of My Table does not exist in %1 (%2)%3. Read the "
                               "table's fields again and rebuild My Table."),
                QStringLiteral("Um campo de Minha Tabela não existe em %1 (%2)%3. Leia os "
                               "campos da tabela de novo e refaça Minha Tabela.")};
    if (exception == u"TABLE_WITHOUT_DATA")
        return {QStringLiteral("%1 holds no rows of its own: it is a structure, or a field of "
                               "My Table is unknown to this release (%2)%3."),
                QStringLiteral("%1 não tem linhas próprias: é uma estrutura, ou um campo de "
                               "Minha Tabela é desconhecido nesta versão (%2)%3.")};
    if (exception == u"DATA_BUFFER_EXCEEDED")
        return {QStringLiteral("The fields of %1 are too wide for one read (%2)%3."),
                QStringLiteral("Os campos de %1 são largos demais para uma leitura (%2)%3.")};
    if (exception == u"SYSTEM_FAILURE")
        return {QStringLiteral("The system failed while reading %1 (%2)%3. The connection is "
                               "opened again at the next read."),
                QStringLiteral("O sistema falhou ao ler %1 (%2)%3. A conexão é aberta de novo "
                               "na próxima leitura.")};
    return {QStringLiteral("Reading %1 failed (%2)%3."),
            QStringLiteral("A leitura de %1 falhou (%2)%3.")};
}
} // namespace

QString ReadMessage::pick(const BiText& text) const
{
    return Language(m_state).pick(text);
}

BiText ReadMessage::sentence(const ReadJob::Failure& failure)
{
    if (failure.exception.isEmpty())
        return {
            QStringLiteral("Reading %1 failed: %2.").arg(failure.table, failure.explanation),
            QStringLiteral("A leitura de %1 falhou: %2.").arg(failure.table, failure.explanation)};
    const QString words =
        failure.message.isEmpty() ? QString() : QStringLiteral(": ") + failure.message;
    BiText text = forException(failure.exception);
    text.en = text.en.arg(failure.table, failure.exception, words);
    text.pt = text.pt.arg(failure.table, failure.exception, words);
    if (!failure.explanation.isEmpty()) {
        text.en += u' ' + failure.explanation + u'.';
        text.pt += u' ' + failure.explanation + u'.';
    }
    return text;
}

QString ReadMessage::failure(const ReadJob::Result& result) const
{
    QStringList lines;
    if (m_action == Action::Export)
        lines.append(pick({QStringLiteral("The export failed; the file was not written."),
                           QStringLiteral("A exportação falhou; o arquivo não foi gravado.")}));
    for (const ReadJob::Failure& failure : result.failures)
        lines.append(pick(sentence(failure)));
    if (!result.error.isEmpty())
        lines.append(result.error);
    return lines.join(QStringLiteral("\n\n"));
}

QString ReadMessage::statusLine(const ReadJob::Result& result) const
{
    QStringList what;
    for (const ReadJob::Failure& failure : result.failures)
        what.append(failure.table + QStringLiteral(": ") +
                    (failure.exception.isEmpty() ? failure.explanation : failure.exception));
    if (!result.error.isEmpty())
        what.append(result.error);
    const BiText head =
        m_action == Action::Preview
            ? BiText{QStringLiteral("Preview failed - "),
                     QStringLiteral("A visualização falhou - ")}
            : BiText{QStringLiteral("Export failed - "), QStringLiteral("A exportação falhou - ")};
    return pick(head) + what.join(QStringLiteral("; "));
}

QString ReadMessage::cancelled(const QString& what) const
{
    return pick(m_action == Action::Preview ? BiText{QStringLiteral("Preview cancelled - "),
                                                     QStringLiteral("Visualização cancelada - ")}
                                            : BiText{QStringLiteral("Export cancelled - "),
                                                     QStringLiteral("Exportação cancelada - ")}) +
           what;
}
