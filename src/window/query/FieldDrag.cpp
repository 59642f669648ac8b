#include "window/query/FieldDrag.h"

#include <QMimeData>

const QString FieldDrag::kFormat = QStringLiteral("application/x-zorv-fields");

QMimeData* FieldDrag::encode(const QVector<ReadPlan::Field>& fields)
{
    // One line per field; a field text never holds a tab or a line break of its own.
    QStringList lines;
    QStringList keys;
    for (const ReadPlan::Field& field : fields) {
        QString text = field.text;
        text.replace(u'\t', u' ').replace(u'\n', u' ');
        lines.append(
            QStringList{field.key, field.type, QString::number(field.length), text}.join(u'\t'));
        keys.append(field.key);
    }
    auto* data = new QMimeData;
    data->setData(kFormat, lines.join(u'\n').toUtf8());
    data->setText(keys.join(u'\n'));
    return data;
}

QVector<ReadPlan::Field> FieldDrag::decode(const QMimeData* data)
{
    QVector<ReadPlan::Field> fields;
    if (!data || !data->hasFormat(kFormat))
        return fields;
    const QString text = QString::fromUtf8(data->data(kFormat));
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList parts = line.split(u'\t');
        if (parts.size() != 4 || parts.at(0).isEmpty())
            continue;
        fields.append({parts.at(0), parts.at(1), parts.at(2).toInt(), parts.at(3)});
    }
    return fields;
}
