#include "query/read/KeyCatalog.h"
#include "shell/FaultTexts.h"

#include "query/read/TableCall.h"

#include <algorithm>

KeyCatalog::Keys KeyCatalog::keysOf(RfcDestination& destination, const QString& table,
                                    const std::atomic<bool>* cancel)
{
    {
        QMutexLocker lock(&m_lock);
        const auto found = m_keys.constFind(table);
        if (found != m_keys.constEnd())
            return *found;
    }
    Keys keys = read(destination, table, cancel);
    // A cancelled read says nothing about the table.
    if (!(cancel && cancel->load())) {
        QMutexLocker lock(&m_lock);
        m_keys.insert(table, keys);
    }
    return keys;
}

void KeyCatalog::bind(const std::shared_ptr<RfcDestination>& destination)
{
    QMutexLocker lock(&m_lock);
    if (m_destination.lock() == destination)
        return;
    m_keys.clear();
    m_pages.clear();
    m_rowCounts.clear();
    m_widest.reset();
    m_destination = destination;
}

ReadModule KeyCatalog::widestModule(RfcDestination& destination, const std::atomic<bool>* cancel)
{
    {
        QMutexLocker lock(&m_lock);
        if (m_widest)
            return *m_widest;
    }
    ReadModule chosen;
    for (const ReadModule& module : ReadModule::wider()) {
        if (offers(destination, module, cancel)) {
            chosen = module;
            break;
        }
    }
    if (cancel && cancel->load())
        return {};
    QMutexLocker lock(&m_lock);
    m_widest = chosen;
    return chosen;
}

KeyCatalog::PageLimits KeyCatalog::pageLimits(const QString& table)
{
    QMutexLocker lock(&m_lock);
    return m_pages.value(table);
}

void KeyCatalog::learnPageLimits(const QString& table, const PageLimits& limits)
{
    QMutexLocker lock(&m_lock);
    m_pages.insert(table, limits);
}

qint64 KeyCatalog::knownRowCount(const QString& table)
{
    QMutexLocker lock(&m_lock);
    return m_rowCounts.value(table, -1);
}

void KeyCatalog::learnRowCount(const QString& table, qint64 rows)
{
    QMutexLocker lock(&m_lock);
    m_rowCounts.insert(table, rows);
}

std::optional<ReadModule> KeyCatalog::knownWidestModule()
{
    QMutexLocker lock(&m_lock);
    return m_widest;
}

bool KeyCatalog::offers(RfcDestination& destination, const ReadModule& module,
                        const std::atomic<bool>* cancel)
{
    // A module that is missing, not authorised or of another interface fails this call; one
    // that answers it can read tables.
    TableCall call(destination, cancel, module);
    TableCall::Request request;
    request.table = QStringLiteral("T000");
    request.fields = {QStringLiteral("MANDT")};
    request.rowCount = 1;
    RowBlock block;
    return call.run(request, block) == TableCall::Outcome::Done;
}

KeyCatalog::Keys KeyCatalog::read(RfcDestination& destination, const QString& table,
                                  const std::atomic<bool>* cancel)
{
    Keys keys;
    TableCall call(destination, cancel);
    TableCall::Request request;
    request.table = QStringLiteral("DD03L");
    request.fields = {QStringLiteral("FIELDNAME"), QStringLiteral("POSITION"),
                      QStringLiteral("LENG"), QStringLiteral("DATATYPE")};
    QString name = table;
    name.replace(u'\'', QStringLiteral("''"));
    request.options = {QStringLiteral("TABNAME = '%1' AND KEYFLAG = 'X'").arg(name)};
    RowBlock block;
    if (call.run(request, block) != TableCall::Outcome::Done) {
        keys.problem = FaultTexts::get(FaultText::DictionaryUnreadable).arg(call.exception());
        return keys;
    }
    std::vector<RowBlock::Slot> places;
    if (!call.slotsFor(request.fields, {30, 4, 6, 4}, places, &keys.problem))
        return keys;
    struct Entry {
        int position;
        KeyField field;
    };
    std::vector<Entry> entries;
    for (qsizetype r = 0; r < block.size(); ++r) {
        const QString fieldName = block.value(r, places[0]).trimmed().toString();
        // Includes and appends appear as pseudo fields (".INCLUDE"); they hold no value.
        if (fieldName.isEmpty() || fieldName.startsWith(u'.'))
            continue;
        const bool known = std::any_of(entries.begin(), entries.end(),
                                       [&](const Entry& e) { return e.field.name == fieldName; });
        if (known)
            continue;
        entries.push_back(
            {block.value(r, places[1]).trimmed().toInt(),
             KeyField::fromDictionary(fieldName, block.value(r, places[2]).trimmed().toInt(),
                                      block.value(r, places[3]).toString())});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.position < b.position; });
    for (Entry& entry : entries)
        keys.fields.push_back(std::move(entry.field));
    keys.known = true;
    return keys;
}
