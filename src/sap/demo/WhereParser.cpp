#include "sap/demo/WhereParser.h"

#include <optional>

namespace
{
struct Token {
    enum class Kind { Word, Literal, Open, Close, Comma };
    Kind kind;
    QString text;
};

struct Failure {
    QString why;
};

// Tokens never straddle lines: each line is split on its own.
bool tokenize(const QStringList& lines, std::vector<Token>& tokens, QString* error)
{
    for (const QString& line : lines) {
        qsizetype i = 0;
        const qsizetype n = line.size();
        while (i < n) {
            const QChar c = line.at(i);
            if (c.isSpace()) {
                ++i;
            } else if (c == u'\'') {
                QString text;
                ++i;
                bool closed = false;
                while (i < n) {
                    if (line.at(i) == u'\'') {
                        if (i + 1 < n && line.at(i + 1) == u'\'') {
                            text += u'\'';
                            i += 2;
                            continue;
                        }
                        closed = true;
                        ++i;
                        break;
                    }
                    text += line.at(i++);
                }
                if (!closed) {
                    *error = QStringLiteral("unterminated literal");
                    return false;
                }
                if (i < n && !line.at(i).isSpace() && line.at(i) != u')' && line.at(i) != u',') {
                    *error = QStringLiteral("a literal must be followed by a blank");
                    return false;
                }
                tokens.push_back({Token::Kind::Literal, text});
            } else if (c == u'(' || c == u')' || c == u',') {
                tokens.push_back({c == u'(' ? Token::Kind::Open
                                            : (c == u')' ? Token::Kind::Close : Token::Kind::Comma),
                                  QString(c)});
                ++i;
            } else {
                const qsizetype start = i;
                while (i < n && !line.at(i).isSpace() && line.at(i) != u'(' && line.at(i) != u')' &&
                       line.at(i) != u',')
                    ++i;
                const QString word = line.mid(start, i - start);
                if (word.contains(u'\'')) {
                    *error = QStringLiteral("a literal must be separated by blanks: ") + word;
                    return false;
                }
                tokens.push_back({Token::Kind::Word, word});
            }
        }
    }
    return true;
}

class Parser
{
public:
    Parser(const std::vector<Token>& tokens, const DemoDictionary::Table& table,
           std::vector<WhereParser::Value>& bindings)
        : m_tokens(tokens), m_table(table), m_bindings(bindings)
    {
    }

    QString condition(int depth)
    {
        if (depth > WhereParser::kMaxDepth)
            throw Failure{QStringLiteral("too deeply nested")};
        QStringList terms{conjunction(depth)};
        while (acceptKeyword("OR"))
            terms.append(conjunction(depth));
        return balanced(terms, QStringLiteral(" OR "));
    }

    bool atEnd() const { return m_at >= m_tokens.size(); }

private:
    // Long chains are nested as a balanced tree, so thousands of lines stay within the
    // database's limit on expression depth.
    static QString balanced(const QStringList& terms, const QString& op)
    {
        if (terms.size() == 1)
            return terms.front();
        if (terms.size() <= 8)
            return terms.join(op);
        const qsizetype half = terms.size() / 2;
        return u'(' + balanced(terms.mid(0, half), op) + QStringLiteral(")") + op + u'(' +
               balanced(terms.mid(half), op) + u')';
    }

    QString conjunction(int depth)
    {
        QStringList terms{negation(depth)};
        while (acceptKeyword("AND"))
            terms.append(negation(depth));
        return balanced(terms, QStringLiteral(" AND "));
    }

    QString negation(int depth)
    {
        if (depth > WhereParser::kMaxDepth)
            throw Failure{QStringLiteral("too deeply nested")};
        if (acceptKeyword("NOT"))
            return QStringLiteral("NOT (") + negation(depth + 1) + u')';
        if (accept(Token::Kind::Open)) {
            const QString inner = condition(depth + 1);
            expect(Token::Kind::Close);
            return u'(' + inner + u')';
        }
        return predicate();
    }

    QString predicate()
    {
        const Token& name = next(QStringLiteral("a field name"));
        if (name.kind != Token::Kind::Word)
            throw Failure{QStringLiteral("a field name is expected")};
        const DemoDictionary::Field* field = m_table.field(name.text.toUpper());
        if (!field)
            throw Failure{QStringLiteral("unknown field ") + name.text};
        const QString column = u'"' + field->name + u'"';

        if (acceptKeyword("IS")) {
            const bool negated = acceptKeyword("NOT");
            if (!acceptKeyword("NULL"))
                throw Failure{QStringLiteral("NULL is expected")};
            return column + (negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
        }
        const bool negated = acceptKeyword("NOT");
        const QString nots = negated ? QStringLiteral(" NOT") : QString();
        if (acceptKeyword("BETWEEN")) {
            const QString low = value(*field);
            if (!acceptKeyword("AND"))
                throw Failure{QStringLiteral("AND is expected in BETWEEN")};
            return column + nots + QStringLiteral(" BETWEEN ") + low + QStringLiteral(" AND ") +
                   value(*field);
        }
        if (acceptKeyword("LIKE")) {
            QString sql = column + nots + QStringLiteral(" LIKE ") + pattern();
            if (acceptKeyword("ESCAPE")) {
                const QString escape = pattern();
                if (std::get<QString>(m_bindings.back()).size() != 1)
                    throw Failure{QStringLiteral("ESCAPE takes one character")};
                sql += QStringLiteral(" ESCAPE ") + escape;
            }
            return sql;
        }
        if (acceptKeyword("IN")) {
            expect(Token::Kind::Open);
            QStringList values{value(*field)};
            while (accept(Token::Kind::Comma))
                values.append(value(*field));
            expect(Token::Kind::Close);
            return column + nots + QStringLiteral(" IN (") + values.join(QStringLiteral(", ")) +
                   u')';
        }
        if (negated)
            throw Failure{QStringLiteral("BETWEEN, LIKE or IN is expected after NOT")};
        // The operator is read before the value: the order of the tokens matters.
        const QString op = comparison();
        return column + op + value(*field);
    }

    QString comparison()
    {
        const Token& op = next(QStringLiteral("an operator"));
        const QString word = op.text.toUpper();
        if (op.kind == Token::Kind::Word) {
            if (word == u"=" || word == u"EQ")
                return QStringLiteral(" = ");
            if (word == u"<>" || word == u"NE" || word == u"><")
                return QStringLiteral(" <> ");
            if (word == u"<" || word == u"LT")
                return QStringLiteral(" < ");
            if (word == u">" || word == u"GT")
                return QStringLiteral(" > ");
            if (word == u"<=" || word == u"LE" || word == u"=<")
                return QStringLiteral(" <= ");
            if (word == u">=" || word == u"GE" || word == u"=>")
                return QStringLiteral(" >= ");
        }
        throw Failure{QStringLiteral("unknown operator ") + op.text};
    }

    QString pattern()
    {
        const Token& token = next(QStringLiteral("a pattern"));
        if (token.kind != Token::Kind::Literal)
            throw Failure{QStringLiteral("a quoted pattern is expected")};
        m_bindings.emplace_back(token.text);
        return QStringLiteral("?");
    }

    QString value(const DemoDictionary::Field& field)
    {
        const Token& token = next(QStringLiteral("a value"));
        QString text;
        if (token.kind == Token::Kind::Literal) {
            text = token.text;
        } else if (token.kind == Token::Kind::Word && isNumber(token.text)) {
            text = token.text;
        } else {
            throw Failure{QStringLiteral("a value is expected instead of ") + token.text};
        }
        m_bindings.push_back(convert(field, text));
        return QStringLiteral("?");
    }

    static bool isNumber(const QString& word)
    {
        qsizetype i = (word.startsWith(u'-') || word.startsWith(u'+')) ? 1 : 0;
        if (i >= word.size())
            return false;
        for (; i < word.size(); ++i) {
            if (!word.at(i).isDigit())
                return false;
        }
        return true;
    }

    // Literals take the field's own form, as the system converts them before comparing.
    static WhereParser::Value convert(const DemoDictionary::Field& field, const QString& text)
    {
        if (field.letter == u"P" || field.letter == u"F") {
            bool ok = false;
            const double number = text.trimmed().toDouble(&ok);
            if (!ok)
                throw Failure{QStringLiteral("not a number: ") + text};
            return number;
        }
        if (field.dataType == u"INT4") {
            bool ok = false;
            const qint64 number = text.trimmed().toLongLong(&ok);
            if (!ok)
                throw Failure{QStringLiteral("not a whole number: ") + text};
            return number;
        }
        if (field.letter == u"X")
            return QByteArray::fromHex(text.toLatin1());
        if (field.letter == u"N") {
            const QString digits = text.trimmed();
            if (isNumber(digits) && !digits.startsWith(u'-') && !digits.startsWith(u'+'))
                return digits.rightJustified(field.length, u'0');
            return text;
        }
        QString trimmed = text;
        while (trimmed.endsWith(u' '))
            trimmed.chop(1);
        return trimmed;
    }

    const Token& next(const QString& what)
    {
        if (atEnd())
            throw Failure{what + QStringLiteral(" is missing")};
        return m_tokens[m_at++];
    }

    bool accept(Token::Kind kind)
    {
        if (!atEnd() && m_tokens[m_at].kind == kind) {
            ++m_at;
            return true;
        }
        return false;
    }

    void expect(Token::Kind kind)
    {
        if (!accept(kind))
            throw Failure{kind == Token::Kind::Close ? QStringLiteral("\")\" is missing")
                                                     : QStringLiteral("\"(\" is missing")};
    }

    bool acceptKeyword(const char* keyword)
    {
        if (!atEnd() && m_tokens[m_at].kind == Token::Kind::Word &&
            m_tokens[m_at].text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0) {
            ++m_at;
            return true;
        }
        return false;
    }

    const std::vector<Token>& m_tokens;
    const DemoDictionary::Table& m_table;
    std::vector<WhereParser::Value>& m_bindings;
    size_t m_at = 0;
};
} // namespace

WhereParser::Result WhereParser::parse(const QStringList& lines, const DemoDictionary::Table& table)
{
    Result result;
    std::vector<Token> tokens;
    if (!tokenize(lines, tokens, &result.error)) {
        result.ok = false;
        return result;
    }
    if (tokens.empty())
        return result;
    try {
        Parser parser(tokens, table, result.bindings);
        result.sql = parser.condition(0);
        if (!parser.atEnd())
            throw Failure{QStringLiteral("unexpected text after the condition")};
    } catch (const Failure& failure) {
        result.ok = false;
        result.error = failure.why;
        result.sql.clear();
        result.bindings.clear();
    }
    return result;
}
