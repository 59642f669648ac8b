#include "query/read/ReadPlan.h"
#include "shell/FaultTexts.h"

#include <cmath>

QString ReadPlan::tableOf(const QString& key)
{
    const qsizetype dash = key.indexOf(u'-');
    return dash < 0 ? key : key.left(dash);
}

QString ReadPlan::Field::name() const
{
    return key.mid(key.indexOf(u'-') + 1);
}

bool ReadPlan::build(const QVector<Field>& fields, const QStringList& options, BiText* error,
                     int lineWidth)
{
    m_lineWidth = lineWidth;
    m_fields = fields;
    m_options = options;
    m_pieces.clear();
    m_namesATable.clear();
    // A field that cannot fit a data line by itself could never be read, however the fields
    // are split.
    for (const Field& field : m_fields) {
        if (field.length > m_lineWidth) {
            if (error)
                *error = FaultTexts::get(FaultText::FieldTooWide)
                             .arg(field.key, QString::number(field.length),
                                  QString::number(m_lineWidth));
            return false;
        }
    }
    group();
    while (splitFirstTooWide()) {
    }
    assignOptions();
    return !m_fields.isEmpty();
}

void ReadPlan::group()
{
    for (int i = 0; i < fieldCount(); ++i) {
        const QString table = m_fields.at(i).table();
        if (m_pieces.isEmpty() || table != m_pieces.last().table) {
            if (!m_pieces.isEmpty())
                m_pieces.last().fields.end = i;
            m_pieces.append({table, {i, i}, {}});
        }
    }
    if (!m_pieces.isEmpty())
        m_pieces.last().fields.end = fieldCount();
}

int ReadPlan::width(const Piece& piece) const
{
    if (piece.fields.isEmpty())
        return -1;
    int total = 0;
    for (int i = piece.fields.begin; i < piece.fields.end; ++i)
        total += m_fields.at(i).length;
    return total + piece.fields.size() - 1;
}

bool ReadPlan::splitFirstTooWide()
{
    for (int p = 0; p < pieceCount(); ++p) {
        if (width(m_pieces.at(p)) <= m_lineWidth)
            continue;
        Piece& wide = m_pieces[p];
        // The midpoint of the fields numbered from 1 as My Table shows them; an exact half goes
        // to the even number, so the splits fall where they always did.
        const int first = wide.fields.begin + 1;
        const int last = wide.fields.end;
        int middle = static_cast<int>(std::nearbyint(first + (last - first) / 2.0));
        if (middle == first)
            ++middle;
        const Piece second{wide.table, {middle - 1, wide.fields.end}, {}};
        wide.fields.end = middle - 1;
        m_pieces.insert(p + 1, second);
        return true;
    }
    return false;
}

void ReadPlan::assignOptions()
{
    m_namesATable = QVector<bool>(m_options.size(), false);
    for (Piece& piece : m_pieces) {
        piece.options = {};
        const QString prefix = piece.table + u'-';
        for (int j = 0; j < m_options.size(); ++j) {
            if (!m_options.at(j).contains(prefix))
                continue;
            if (piece.options.isEmpty())
                piece.options.begin = j;
            piece.options.end = j + 1;
            m_namesATable[j] = true;
        }
    }
}
