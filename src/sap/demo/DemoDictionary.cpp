#include "sap/demo/DemoDictionary.h"

#include <QStringList>

QString DemoDictionary::letterFor(const QString& dataType)
{
    static const QHash<QString, QString> letters = {
        {QStringLiteral("CHAR"), QStringLiteral("C")},
        {QStringLiteral("CLNT"), QStringLiteral("C")},
        {QStringLiteral("CUKY"), QStringLiteral("C")},
        {QStringLiteral("UNIT"), QStringLiteral("C")},
        {QStringLiteral("LANG"), QStringLiteral("C")},
        {QStringLiteral("NUMC"), QStringLiteral("N")},
        {QStringLiteral("DATS"), QStringLiteral("D")},
        {QStringLiteral("TIMS"), QStringLiteral("T")},
        {QStringLiteral("DEC"), QStringLiteral("P")},
        {QStringLiteral("CURR"), QStringLiteral("P")},
        {QStringLiteral("QUAN"), QStringLiteral("P")},
        {QStringLiteral("INT4"), QStringLiteral("X")},
        {QStringLiteral("RAW"), QStringLiteral("X")},
        {QStringLiteral("FLTP"), QStringLiteral("F")},
    };
    return letters.value(dataType, QStringLiteral("C"));
}

QString DemoDictionary::Field::sqlType() const
{
    if (letter == u"P" || letter == u"F")
        return QStringLiteral("REAL");
    if (dataType == u"INT4")
        return QStringLiteral("INTEGER");
    if (letter == u"X")
        return QStringLiteral("BLOB");
    return QStringLiteral("TEXT");
}

bool DemoDictionary::Table::clientDependent() const
{
    // The table of clients is the same in every client.
    return name != u"T000" && !fields.isEmpty() && fields.front().dataType == u"CLNT";
}

const DemoDictionary::Field* DemoDictionary::Table::field(const QString& name) const
{
    for (const Field& f : fields) {
        if (f.name == name)
            return &f;
    }
    return nullptr;
}

const DemoDictionary& DemoDictionary::instance()
{
    static const DemoDictionary dictionary;
    return dictionary;
}

const DemoDictionary::Table* DemoDictionary::table(const QString& name) const
{
    const auto found = m_index.constFind(name);
    return found == m_index.constEnd() ? nullptr : &m_tables.at(found.value());
}

DemoDictionary::DemoDictionary()
{
    // Elements first: each field takes its texts from its data element.
    const QStringList lines = (QString::fromUtf8(elementLines()) + QString::fromUtf8(tableLines()))
                                  .split(u'\n', Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        if (line.startsWith(u'=')) {
            const qsizetype space = line.indexOf(u' ');
            const QStringList texts = line.mid(space + 1).split(u'|');
            m_elements.insert(line.mid(1, space - 1), {texts.value(0), texts.value(1)});
        } else if (line.startsWith(u'@')) {
            const QStringList words = line.mid(1).split(u' ');
            Table table;
            table.name = words.value(0);
            table.tabclass = words.value(1);
            const QStringList texts = line.section(u' ', 2).split(u'|');
            table.textEn = texts.value(0);
            table.textPt = texts.value(1);
            m_index.insert(table.name, static_cast<int>(m_tables.size()));
            m_tables.append(table);
        } else if (!m_tables.isEmpty()) {
            const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
            Field field;
            field.key = words.value(0) == u"K";
            field.name = words.value(1);
            field.dataType = words.value(2);
            field.length = words.value(3).toInt();
            field.decimals = words.value(4).toInt();
            field.letter = letterFor(field.dataType);
            const auto texts = m_elements.value(field.name);
            field.textEn = texts.first;
            field.textPt = texts.second;
            m_tables.last().fields.append(field);
        }
    }
    addWideTable();
}

void DemoDictionary::addWideTable()
{
    // A table of 999 fields, for the widest My Table a query can hold.
    Table table;
    table.name = QStringLiteral("ZWIDE");
    table.tabclass = QStringLiteral("TRANSP");
    table.textEn = QStringLiteral("Demo: a table of 999 fields");
    table.textPt = QStringLiteral("Demo: uma tabela de 999 campos");
    const auto add = [&](const QString& name, const QString& type, int length, bool key,
                         const QString& en, const QString& pt) {
        Field field;
        field.name = name;
        field.dataType = type;
        field.length = length;
        field.key = key;
        field.letter = letterFor(type);
        field.textEn = en;
        field.textPt = pt;
        m_elements.insert(name, {en, pt});
        table.fields.append(field);
    };
    const auto client = m_elements.value(QStringLiteral("MANDT"));
    add(QStringLiteral("MANDT"), QStringLiteral("CLNT"), 3, true, client.first, client.second);
    add(QStringLiteral("ZROW"), QStringLiteral("NUMC"), 6, true, QStringLiteral("Row"),
        QStringLiteral("Linha"));
    for (int i = 1; i <= kWideColumns; ++i)
        add(QStringLiteral("ZC%1").arg(i, 4, 10, QChar(u'0')), QStringLiteral("CHAR"), 8, false,
            QStringLiteral("Column %1").arg(i), QStringLiteral("Coluna %1").arg(i));
    m_index.insert(table.name, static_cast<int>(m_tables.size()));
    m_tables.append(table);
}
