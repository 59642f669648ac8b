#include "window/query/MyTable.h"

#include "query/read/ReadJob.h"

#include "query/document/PrintFile.h"
#include "shell/AppState.h"
#include "shell/Desktop.h"
#include "shell/DesktopServices.h"
#include "shell/Language.h"
#include "shell/ShellHost.h"
#include "shell/Texts.h"
#include "window/query/FieldDrag.h"
#include "window/query/FieldIcons.h"
#include "window/query/QueryContext.h"
#include "window/query/ReportListView.h"

#include <QComboBox>

#include <algorithm>

namespace
{
constexpr int kListKeyRole = Qt::UserRole;
const char* const kFieldCommands[] = {
    "mqpreview", "mprintfieldsmytable", "mimportmytable",  "mmovedown",
    "mmoveup",   "mremovefield",        "mremoveallfields"};
} // namespace

MyTable::MyTable(QueryContext& context, ReportListView* view, QComboBox* fieldBox)
    : QObject(view), m_context(context), m_view(view), m_fieldBox(fieldBox)
{
    connect(view, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        m_context.host.setStatusText(item->text(0) + u' ' + item->toolTip(0));
    });
    view->setDragEncoder([this](const QList<QTreeWidgetItem*>& items) {
        QVector<ReadPlan::Field> fields;
        for (QTreeWidgetItem* item : m_view->itemsInOrder()) {
            if (items.contains(item))
                fields.append(
                    {item->text(0), item->text(1), item->text(2).toInt(), item->toolTip(0)});
        }
        return FieldDrag::encode(fields);
    });
    view->setDropHandler(FieldDrag::kFormat, [this](const QMimeData* data, int row, bool here) {
        return dropped(data, row, here);
    });
}

bool MyTable::dropped(const QMimeData* data, int row, bool fromHere)
{
    const QVector<ReadPlan::Field> fields = FieldDrag::decode(data);
    if (fields.isEmpty())
        return false;
    if (!fromHere) {
        addFields(fields, row);
        return true;
    }
    QStringList keys;
    for (const ReadPlan::Field& field : fields)
        keys.append(field.key);
    moveFields(keys, row);
    return true;
}

void MyTable::moveFields(const QStringList& keys, int row)
{
    QList<QTreeWidgetItem*> moving;
    int before = row < 0 ? count() : std::min(row, count());
    for (int i = count() - 1; i >= 0; --i) {
        if (!keys.contains(m_view->topLevelItem(i)->text(0)))
            continue;
        if (i < before)
            --before;
        moving.prepend(m_view->takeTopLevelItem(i));
    }
    if (moving.isEmpty())
        return;
    m_view->insertTopLevelItems(before, moving);
    m_view->clearSelection();
    for (QTreeWidgetItem* item : moving)
        item->setSelected(true);
    m_view->setCurrentItem(moving.front(), 0, QItemSelectionModel::NoUpdate);
    showSummary();
    Q_EMIT modified();
}

int MyTable::count() const
{
    return m_view->topLevelItemCount();
}

QVector<ReadPlan::Field> MyTable::items() const
{
    QVector<ReadPlan::Field> result;
    for (QTreeWidgetItem* item : m_view->itemsInOrder())
        result.append({item->text(0), item->text(1), item->text(2).toInt(), item->toolTip(0)});
    return result;
}

void MyTable::insert(const ReadPlan::Field& field, int row)
{
    auto* item = new QTreeWidgetItem({field.key, field.type, QString::number(field.length)});
    // Fields land between items, never on one.
    item->setFlags(item->flags() & ~Qt::ItemIsDropEnabled);
    if (row < 0 || row >= count())
        m_view->addTopLevelItem(item);
    else
        m_view->insertTopLevelItem(row, item);
    item->setData(0, kListKeyRole, field.key);
    item->setIcon(0, FieldIcons::forType(field.type));
    item->setToolTip(0, field.text);
    item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
}

void MyTable::addFields(const QVector<ReadPlan::Field>& fields, int row)
{
    Desktop& desktop = m_context.host.services().desktop();
    desktop.setBusy(true);
    bool redo = false;
    for (const ReadPlan::Field& field : fields) {
        bool present = false;
        for (QTreeWidgetItem* item : m_view->itemsInOrder()) {
            if (item->text(0) == field.key) {
                present = true;
                break;
            }
            if (item->data(0, kListKeyRole).toString() == field.key) {
                present = true;
                redo = true;
            }
        }
        if (!present) {
            insert(field, row);
            if (row >= 0)
                ++row;
        }
    }
    if (redo && !m_redoing) {
        rebuildItems();
    } else {
        showSummary();
        if (!m_loading)
            Q_EMIT modified();
    }
    desktop.setBusy(false);
}

void MyTable::rebuildItems()
{
    // Rebuild every item with its key equal to its text, then repeat the copy in progress.
    const QVector<ReadPlan::Field> kept = items();
    m_redoing = true;
    m_view->clear();
    addFields(kept);
    if (m_chosenFields)
        addFields(m_chosenFields());
    m_redoing = false;
}

void MyTable::move(int step)
{
    QTreeWidgetItem* current = m_view->currentItem();
    if (!current)
        return;
    const int position = m_view->indexOfTopLevelItem(current);
    const int target = position + step;
    if (target < 0 || target >= count())
        return;
    swapRows(current, m_view->topLevelItem(target));
}

void MyTable::moveDown()
{
    move(1);
}

void MyTable::moveUp()
{
    move(-1);
}

void MyTable::swapRows(QTreeWidgetItem* current, QTreeWidgetItem* other)
{
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->clearSelection();
    for (int column = 0; column < 3; ++column) {
        const QString text = current->text(column);
        current->setText(column, other->text(column));
        other->setText(column, text);
    }
    const QString tip = current->toolTip(0);
    current->setToolTip(0, other->toolTip(0));
    other->setToolTip(0, tip);
    const QIcon icon = current->icon(0);
    current->setIcon(0, other->icon(0));
    other->setIcon(0, icon);
    m_view->setCurrentItem(other);
    other->setSelected(true);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Q_EMIT modified();
}

void MyTable::removeSelected()
{
    Desktop& desktop = m_context.host.services().desktop();
    desktop.setBusy(true);
    for (QTreeWidgetItem* item : m_view->selectedItems())
        delete item;
    showSummary();
    Q_EMIT modified();
    desktop.setBusy(false);
}

void MyTable::removeAll()
{
    if (count() == 0)
        return;
    m_view->clear();
    showSummary();
    Q_EMIT modified();
}

int MyTable::totalBytes()
{
    m_fieldBox->clear();
    int total = 0;
    for (QTreeWidgetItem* item : m_view->itemsInOrder()) {
        total += item->text(2).toInt();
        m_fieldBox->addItem(item->data(0, kListKeyRole).toString(), item->text(2).toInt());
    }
    m_fieldBox->setCurrentIndex(-1);
    return total;
}

void MyTable::showSummary()
{
    const int n = count();
    for (const char* command : kFieldCommands)
        m_context.host.setCommandEnabled(QString::fromLatin1(command), n > 0);
    showHeader();
    Q_EMIT summaryShown();
}

void MyTable::showHeader()
{
    const int n = count();
    const int bytes = totalBytes();
    // The number of reads a preview or export will need, so a wide selection is no surprise;
    // through a wider module once the system is known to offer one.
    const ReadModule module = m_context.keys->knownWidestModule().value_or(ReadModule());
    ReadPlan plan;
    QString calls;
    if (plan.build(items(), {}, nullptr, module.lineWidth()))
        calls = QStringLiteral(" (") +
                Language(m_context.host.state()).pick(ReadJob::callsText(plan.pieceCount(), {})) +
                u')';
    m_view->headerItem()->setText(
        0, QStringLiteral("My Table > %1 Fields %2 Bytes").arg(n).arg(bytes) + calls);
    // The pane is narrow: the module the calls go to is its header's tip.
    const QString calledModule =
        Language(m_context.host.state()).pick(Texts::get(TextId::MyTableCallsTip));
    m_view->headerItem()->setToolTip(
        0,
        module.isClassic() ? QString() : calledModule.arg(module.name()).arg(module.lineWidth()));
}

void MyTable::printMyTable()
{
    QVector<PrintFile::FieldLine> lines;
    for (const ReadPlan::Field& item : items())
        lines.append({item.key, item.text, item.type, item.length});
    const QString path = PrintFile::pathIn(m_context.programFolder);
    if (!PrintFile::write(path, PrintFile::fieldLines(lines))) {
        m_context.host.services().desktop().message(Texts::get(TextId::NoFile).en);
        return;
    }
    PrintFile::showPrintFile(m_context.host.services(), path);
}

QString MyTable::tableName() const
{
    const QVector<ReadPlan::Field> fields = items();
    return fields.isEmpty() ? QString() : ReadPlan::tableOf(fields.front().key);
}

void MyTable::addCommands(QueryCommands& commands)
{
    commands.add(QStringLiteral("mcopytomytable"), [this] {
        if (m_chosenFields)
            addFields(m_chosenFields());
    });
    commands.add(QStringLiteral("mprintfieldsmytable"), [this] { printMyTable(); });
    commands.add(QStringLiteral("mmovedown"), [this] { moveDown(); });
    commands.add(QStringLiteral("mmoveup"), [this] { moveUp(); });
    commands.add(QStringLiteral("mremovefield"), [this] { removeSelected(); });
    commands.add(QStringLiteral("mremoveallfields"), [this] { removeAll(); });
}
