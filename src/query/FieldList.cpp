#include "FieldList.h"

#include "AppState.h"
#include "DesktopServices.h"
#include "FieldIcons.h"
#include "Language.h"
#include "PrintFile.h"
#include "QueryContext.h"
#include "ReportListView.h"
#include "ShellHost.h"
#include "TableReader.h"
#include "Texts.h"

FieldList::FieldList(QueryContext& context, ReportListView* view)
    : QObject(view), m_context(context), m_view(view)
{
}

int FieldList::count() const
{
    return m_view->topLevelItemCount();
}

bool FieldList::AddTableFields(const QString& table)
{
    ShellHost& host = m_context.host;
    if (!host.state().Connected) {
        host.mconectar_Click();
        if (!host.state().Connected)
            return false;
    }
    const QString name = table.toUpper();
    if (!m_context.reader.ReadFieldCatalogue(name))
        return false;
    const RfcTable& fields = m_context.reader.FieldsTable();
    for (int r = 1; r <= fields.RowCount(); ++r) {
        const QString key = name + u'-' + fields.Value(r, QStringLiteral("FIELDNAME")).trimmed();
        if (m_view->itemByKey(key))
            continue;
        const QString text = fields.Value(r, QStringLiteral("FIELDTEXT"));
        const QString type = fields.Value(r, QStringLiteral("TYPE"));
        const int length = fields.Value(r, QStringLiteral("LENGTH")).trimmed().toInt();
        auto* item = new QTreeWidgetItem(m_view, {key, text, type, QString::number(length)});
        item->setIcon(0, FieldIcons::forType(type));
        item->setToolTip(0, text);
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    }
    return true;
}

void FieldList::RemoveTableFields(const QString& table)
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
}

QVector<ReadPlan::Item> FieldList::selectedFields() const
{
    QVector<ReadPlan::Item> fields;
    for (QTreeWidgetItem* item : m_view->itemsInOrder()) {
        if (item->isSelected())
            fields.append({item->text(0), item->text(2), item->text(3).toInt(), item->toolTip(0)});
    }
    return fields;
}

void FieldList::ShowFieldListHint()
{
    ShellHost& host = m_context.host;
    const bool empty = count() == 0;
    host.setCommandEnabled(QStringLiteral("mprintfields"), !empty);
    host.setCommandEnabled(QStringLiteral("mcopytomytable"), !empty);
    m_view->setToolTip(empty ? Language(host.state()).pick(Texts::get(TextId::FieldListHint))
                             : QString());
}

void FieldList::PrintFields()
{
    QVector<PrintFile::FieldLine> lines;
    for (QTreeWidgetItem* item : m_view->itemsInOrder())
        lines.append({item->text(0), item->text(1), item->text(2), item->text(3).toInt()});
    const QString path = PrintFile::pathIn(m_context.programFolder);
    if (!PrintFile::write(path, PrintFile::fieldLines(lines))) {
        m_context.host.services().desktop().message(Texts::get(TextId::NoFile).en);
        return;
    }
    PrintFile::ShowPrintFile(m_context.host.services(), path);
}
