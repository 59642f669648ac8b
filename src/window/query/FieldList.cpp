#include "window/query/FieldList.h"

#include "query/document/PrintFile.h"
#include "query/read/ReadMessage.h"
#include "query/read/TableCall.h"
#include "sap/TableReader.h"
#include "shell/AppState.h"
#include "shell/DesktopServices.h"
#include "shell/Language.h"
#include "shell/ShellHost.h"
#include "shell/Texts.h"
#include "window/query/FieldDrag.h"
#include "window/query/FieldIcons.h"
#include "window/query/QueryCommands.h"
#include "window/query/QueryContext.h"
#include "window/query/ReportListView.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QShortcut>

FieldList::FieldList(QueryContext& context, ReportListView* view, QLineEdit* filter)
    : QObject(view), m_context(context), m_view(view), m_filter(filter),
      m_namesTitle(view->headerItem()->text(0))
{
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    // Enter in the list copies the selected fields to My Table, as the menu does.
    m_view->installEventFilter(this);
    connect(m_filter, &QLineEdit::textChanged, this, &FieldList::refilter);
    // Ctrl+F anywhere in the query window goes to the filter.
    auto* find = new QShortcut(QKeySequence::Find, m_filter->parentWidget());
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        m_filter->setFocus(Qt::ShortcutFocusReason);
        m_filter->selectAll();
    });
    connect(m_view, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        Q_EMIT chosen(item->isSelected() ? selectedFields()
                                         : QVector<ReadPlan::Field>{fieldOf(item)});
    });
    m_view->setDragEncoder([this](const QList<QTreeWidgetItem*>& items) {
        // The view hands the items over in no particular order: the list's order counts.
        QVector<ReadPlan::Field> fields;
        for (const QTreeWidgetItem* item : m_view->itemsInOrder()) {
            if (!item->isHidden() && items.contains(item))
                fields.append(fieldOf(item));
        }
        return FieldDrag::encode(fields);
    });
}

int FieldList::count() const
{
    return m_view->topLevelItemCount();
}

int FieldList::shownCount() const
{
    int shown = 0;
    for (const QTreeWidgetItem* item : m_view->itemsInOrder())
        shown += item->isHidden() ? 0 : 1;
    return shown;
}

ReadPlan::Field FieldList::fieldOf(const QTreeWidgetItem* item)
{
    return {item->text(0), item->text(2), item->text(3).toInt(), item->toolTip(0)};
}

bool FieldList::readFieldCatalogue(const QString& table)
{
    ShellHost& host = m_context.host;
    Desktop& desktop = host.services().desktop();
    m_catalogue = RfcTable();
    const std::shared_ptr<RfcDestination> destination = m_context.reader.destination();
    if (!destination) {
        desktop.message(QStringLiteral("Error 91: Object variable not set on ReadFieldCatalogue"));
        return false;
    }
    desktop.setBusy(true);
    TableCall call(*destination);
    TableCall::Request request;
    request.table = table;
    request.noData = true;
    RowBlock none;
    const TableCall::Outcome outcome = call.run(request, none);
    desktop.setBusy(false);
    if (outcome == TableCall::Outcome::Done) {
        m_catalogue = call.fields();
        return true;
    }
    ReadJob::Result failed;
    failed.failures.push_back({table, call.exception(), call.message(), {}, {}});
    if (call.exception() == u"SYSTEM_FAILURE")
        m_context.reader.systemFailure();
    const ReadMessage message(host.state(), ReadMessage::Action::Catalogue);
    desktop.message(message.failure(failed), Desktop::Buttons::Ok, Desktop::Icon::Warning,
                    message.title());
    return false;
}

bool FieldList::addTableFields(const QString& table)
{
    ShellHost& host = m_context.host;
    if (!host.state().connected) {
        host.connectToSystem();
        if (!host.state().connected)
            return false;
    }
    const QString name = table.toUpper();
    if (!readFieldCatalogue(name))
        return false;
    const RfcTable& fields = m_catalogue;
    for (int r = 1; r <= fields.rowCount(); ++r) {
        const QString key = name + u'-' + fields.value(r, QStringLiteral("FIELDNAME")).trimmed();
        if (m_view->itemByKey(key))
            continue;
        const QString text = fields.value(r, QStringLiteral("FIELDTEXT"));
        const QString type = fields.value(r, QStringLiteral("TYPE"));
        const int length = fields.value(r, QStringLiteral("LENGTH")).trimmed().toInt();
        auto* item = new QTreeWidgetItem(m_view, {key, text, type, QString::number(length)});
        item->setIcon(0, FieldIcons::forType(type));
        item->setToolTip(0, text);
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        applyFilter(item);
    }
    showRowCounts();
    return true;
}

void FieldList::removeTableFields(const QString& table)
{
    const QString prefix = table.toUpper() + u'-';
    const int view = m_view->view();
    m_view->setView(ReportListView::kListView);
    m_view->setUpdatesEnabled(false);
    for (int i = m_view->topLevelItemCount() - 1; i >= 0; --i) {
        if (m_view->topLevelItem(i)->text(0).startsWith(prefix))
            delete m_view->takeTopLevelItem(i);
    }
    m_view->setUpdatesEnabled(true);
    m_view->setView(view);
    showRowCounts();
}

QStringList FieldList::tables() const
{
    QStringList tables;
    for (const QTreeWidgetItem* item : m_view->itemsInOrder()) {
        const QString key = item->text(0);
        const QString table = key.left(key.indexOf(u'-'));
        if (!tables.contains(table))
            tables.append(table);
    }
    return tables;
}

void FieldList::showRowCounts()
{
    const Language language(m_context.host.state());
    // Portuguese wins a caption when both languages are chosen.
    const QLocale locale = language.portuguese() ? QLocale(QLocale::Portuguese, QLocale::Brazil)
                                                 : QLocale(QLocale::English);
    const QString form = language.pick(Texts::get(TextId::FieldListRowCount));
    QStringList counts;
    for (const QString& table : tables()) {
        const qint64 rows = m_context.keys->knownRowCount(table);
        if (rows >= 0)
            counts.append(form.arg(table, locale.toString(rows)));
    }
    m_view->headerItem()->setText(0, counts.isEmpty() ? m_namesTitle
                                                      : m_namesTitle + QStringLiteral(" (") +
                                                            counts.join(u", ") + u')');
    // The column is narrow: the whole of it is the header's tip.
    m_view->headerItem()->setToolTip(0, counts.join(u'\n'));
}

QVector<ReadPlan::Field> FieldList::selectedFields() const
{
    QVector<ReadPlan::Field> fields;
    for (const QTreeWidgetItem* item : m_view->selectedInOrder())
        fields.append(fieldOf(item));
    return fields;
}

void FieldList::applyFilter(QTreeWidgetItem* item) const
{
    const QString wanted = m_filter->text().trimmed();
    const bool shown = wanted.isEmpty() || item->text(0).contains(wanted, Qt::CaseInsensitive) ||
                       item->text(1).contains(wanted, Qt::CaseInsensitive);
    item->setHidden(!shown);
    // What the filter hides is not copied along unseen.
    if (!shown)
        item->setSelected(false);
}

void FieldList::setFilterText(const QString& text)
{
    m_filter->setText(text);
}

void FieldList::refilter()
{
    m_view->setUpdatesEnabled(false);
    for (QTreeWidgetItem* item : m_view->itemsInOrder())
        applyFilter(item);
    m_view->setUpdatesEnabled(true);
    showCount();
}

void FieldList::showCount() const
{
    const int total = count();
    if (total == 0)
        return;
    ShellHost& host = m_context.host;
    const Language language(host.state());
    QString text = QString::number(total) + language.pick(Texts::get(TextId::TotalFields));
    // While the filter narrows the list, the count says how many of them it shows.
    if (!m_filter->text().trimmed().isEmpty())
        text = QString::number(shownCount()) + language.pick(Texts::get(TextId::TableHasOf)) + text;
    host.setStatusText(text);
}

void FieldList::focusList()
{
    // Into the list at the first field the filter shows, unless one shown is current already.
    QTreeWidgetItem* current = m_view->currentItem();
    if (!current || current->isHidden()) {
        for (QTreeWidgetItem* item : m_view->itemsInOrder()) {
            if (!item->isHidden()) {
                m_view->setCurrentItem(item);
                break;
            }
        }
    }
    m_view->setFocus(Qt::OtherFocusReason);
}

bool FieldList::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (watched == m_filter) {
        if (key == Qt::Key_Escape && !m_filter->text().isEmpty()) {
            m_filter->clear();
            return true;
        }
        if (enter || key == Qt::Key_Down) {
            focusList();
            return true;
        }
    } else if (watched == m_view && enter) {
        Q_EMIT chosen(selectedFields());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void FieldList::showHint()
{
    ShellHost& host = m_context.host;
    const bool empty = count() == 0;
    host.setCommandEnabled(QStringLiteral("mprintfields"), !empty);
    host.setCommandEnabled(QStringLiteral("mcopytomytable"), !empty);
    m_view->setToolTip(empty ? Language(host.state()).pick(Texts::get(TextId::FieldListHint))
                             : QString());
}

void FieldList::printFields()
{
    QVector<PrintFile::FieldLine> lines;
    for (QTreeWidgetItem* item : m_view->itemsInOrder())
        lines.append({item->text(0), item->text(1), item->text(2), item->text(3).toInt()});
    const QString path = PrintFile::pathIn(m_context.programFolder);
    if (!PrintFile::write(path, PrintFile::fieldLines(lines))) {
        m_context.host.services().desktop().message(Texts::get(TextId::NoFile).en);
        return;
    }
    PrintFile::showPrintFile(m_context.host.services(), path);
}

void FieldList::addCommands(QueryCommands& commands)
{
    commands.add(QStringLiteral("mprintfields"), [this] { printFields(); });
}
