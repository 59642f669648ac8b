#include "query/read/ReadMessage.h"

#include "query/read/ReadPlan.h"
#include "shell/Language.h"
#include "shell/Texts.h"

#include <algorithm>

namespace
{
TextId forException(const QString& exception, bool lineKnown)
{
    if (exception == u"TABLE_NOT_AVAILABLE")
        return TextId::ReadTableNotAvailable;
    if (exception == u"NOT_AUTHORIZED" || exception == u"NO_AUTH")
        return TextId::ReadNotAuthorized;
    if (exception == u"OPTION_NOT_VALID")
        return lineKnown ? TextId::ReadOptionLineNotValid : TextId::ReadOptionNotValid;
    if (exception == u"FIELD_NOT_VALID")
        return TextId::ReadFieldNotValid;
    if (exception == u"TABLE_WITHOUT_DATA")
        return TextId::ReadTableWithoutData;
    if (exception == u"DATA_BUFFER_EXCEEDED")
        return TextId::ReadDataBufferExceeded;
    if (exception == u"SYSTEM_FAILURE")
        return TextId::ReadSystemFailure;
    return TextId::ReadFailed;
}

bool isOperator(const QString& word)
{
    static const QStringList kOperators = {
        QStringLiteral("EQ"),   QStringLiteral("NE"),      QStringLiteral("LT"),
        QStringLiteral("LE"),   QStringLiteral("GT"),      QStringLiteral("GE"),
        QStringLiteral("="),    QStringLiteral("<>"),      QStringLiteral("<"),
        QStringLiteral("<="),   QStringLiteral(">"),       QStringLiteral(">="),
        QStringLiteral("LIKE"), QStringLiteral("BETWEEN"), QStringLiteral("IN"),
        QStringLiteral("IS"),   QStringLiteral("NOT")};
    return kOperators.contains(word.toUpper());
}

bool looksWrong(const QString& line)
{
    if (line.count(u'\'') % 2 != 0)
        return true;
    // A closing quote is followed by a blank, a comma, a parenthesis or the end of the line.
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) != u'\'')
            continue;
        if (quoted && i + 1 < line.size() && line.at(i + 1) == u'\'') {
            ++i; // a doubled quote inside a literal
            continue;
        }
        quoted = !quoted;
        if (!quoted && i + 1 < line.size() && !QStringLiteral(" ,)").contains(line.at(i + 1)))
            return true;
    }
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    // A line may continue the one before (a conjunction, a parenthesis, a value list).
    if (words.isEmpty() || !words.front().contains(u'-'))
        return false;
    return words.size() < 3 || !isOperator(words.at(1));
}
} // namespace

QString ReadMessage::pick(const BiText& text) const
{
    return Language(m_state).pick(text);
}

QString ReadMessage::offendingLine(const QStringList& lines)
{
    for (const QString& line : lines) {
        if (looksWrong(line))
            return line;
    }
    return lines.size() == 1 ? lines.front() : QString();
}

BiText ReadMessage::sentence(const ReadJob::Failure& failure, const QStringList& options)
{
    if (failure.exception.isEmpty()) {
        const BiText text = Texts::get(TextId::ReadFailedBecause);
        return {text.en.arg(failure.table, failure.explanation.en),
                text.pt.arg(failure.table, failure.explanation.pt)};
    }
    const BiText words =
        failure.message.isEmpty() ? BiText{} : BiText::same(QStringLiteral(": ")) + failure.message;
    const QString line =
        failure.exception == u"OPTION_NOT_VALID" ? offendingLine(options) : QString();
    BiText text = Texts::get(forException(failure.exception, !line.isEmpty()));
    const auto fill = [&](const QString& form, const QString& said) {
        return line.isEmpty() ? form.arg(failure.table, failure.exception, said)
                              : form.arg(failure.table, failure.exception, said, line.trimmed());
    };
    text = {fill(text.en, words.en), fill(text.pt, words.pt)};
    if (!failure.explanation.isEmpty()) {
        text.en += u' ' + failure.explanation.en + u'.';
        text.pt += u' ' + failure.explanation.pt + u'.';
    }
    return text;
}

QString ReadMessage::failure(const ReadJob::Result& result, const ReadPlan* plan) const
{
    QStringList lines;
    if (m_action == Action::Export)
        lines.append(pick(Texts::get(TextId::ExportNotWritten)));
    for (const ReadJob::Failure& failure : result.failures) {
        QStringList options;
        for (const ReadPlan::Piece& piece : plan ? plan->pieces() : QVector<ReadPlan::Piece>{}) {
            if (piece.table != failure.table)
                continue;
            for (int j = piece.options.begin; j < piece.options.end; ++j) {
                if (!options.contains(plan->options().at(j)))
                    options.append(plan->options().at(j));
            }
        }
        lines.append(pick(sentence(failure, options)));
    }
    if (!result.error.isEmpty())
        lines.append(pick(result.error));
    return lines.join(QStringLiteral("\n\n"));
}

QString ReadMessage::title() const
{
    switch (m_action) {
    case Action::Preview:
        return pick(Texts::get(TextId::TitlePreview));
    case Action::Export:
        return pick(Texts::get(TextId::TitleExport));
    case Action::Catalogue:
        break;
    }
    return pick(Texts::get(TextId::TitleTableFields));
}

QString ReadMessage::statusLine(const ReadJob::Result& result) const
{
    QStringList what;
    for (const ReadJob::Failure& failure : result.failures)
        what.append(failure.table + QStringLiteral(": ") +
                    (failure.exception.isEmpty() ? pick(failure.explanation) : failure.exception));
    if (!result.error.isEmpty())
        what.append(pick(result.error));
    return pick(Texts::get(m_action == Action::Export ? TextId::ExportFailedStatus
                                                      : TextId::PreviewFailedStatus)) +
           what.join(QStringLiteral("; "));
}

QString ReadMessage::cancelled(const QString& what) const
{
    return pick(Texts::get(m_action == Action::Export ? TextId::ExportCancelledStatus
                                                      : TextId::PreviewCancelledStatus)) +
           what;
}
