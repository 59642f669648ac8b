#include "window/query/QueryWindow.h"

#include "query/document/QueryDocumentFile.h"
#include "query/read/ReadPlan.h"
#include "shell/AppState.h"
#include "shell/DesktopServices.h"
#include "shell/Language.h"
#include "shell/ShellHost.h"
#include "shell/Texts.h"
#include "shell/Twips.h"
#include "window/query/ExportController.h"
#include "window/query/FieldList.h"
#include "window/query/MyTable.h"
#include "window/query/OptionList.h"
#include "window/query/PaneMouse.h"
#include "window/query/PreviewFilterBar.h"
#include "window/query/PreviewGrid.h"
#include "window/query/PreviewPane.h"
#include "window/query/QueryContext.h"
#include "window/query/ReportListView.h"
#include "window/query/RowNumberColumn.h"
#include "window/query/RowsPanel.h"
#include "window/query/TableTreeController.h"
#include "window/query/TableTreeView.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QTableView>

using Control = PaneLayout::Control;

QueryWindow::QueryWindow(QueryContext& context, QueryDocument document, int slot, QWidget* parent)
    : QWidget(parent), m_context(context), m_document(std::move(document)), m_slot(slot),
      m_dpi(screen() ? screen()->logicalDotsPerInchY() : 96.0), m_panes(this, m_dpi)
{
    setAttribute(Qt::WA_DeleteOnClose);
    build();
    setWindowTitle(Texts::get(TextId::QueryCaption).en + QString::number(slot));
    setCaptionsAndTips();
    if (!m_document.rowLimitShown) {
        m_rowsPanel->setShown(false);
        m_context.host.setCommandEnabled(QStringLiteral("mcloserows"), false);
    }
    m_rowsPanel->setLimitText(QString::number(m_document.rowLimit));
    if (m_rowsPanel->limit() == 0)
        m_rowsPanel->setLimitText(QStringLiteral("20"));
    m_tree->loadTree();
    m_fields->showHint();
    m_panes.tree->setSingleSel(m_document.singleClick);
    m_panes.tree->setHotTracking(m_document.singleClick);
    // Filling from the document is not a change of it.
    m_loading = true;
    m_myTable->setLoading(true);
    m_options->setLoading(true);
    QVector<ReadPlan::Field> fields;
    for (const QString& entry : m_document.fields) {
        if (const auto field = QueryDocumentFile::parseFieldEntry(entry, nullptr))
            fields.append({field->key, field->type, field->length, field->text});
    }
    m_myTable->addFields(fields);
    m_options->fillOptions(m_document.options);
    m_options->refreshOptions(m_myTable->items());
    m_myTable->setLoading(false);
    m_options->setLoading(false);
    m_loading = false;
    resize(sizeHint());
}

QSize QueryWindow::sizeHint() const
{
    return {Twips::toPixels(10000, m_dpi), Twips::toPixels(7050, m_dpi)};
}

QueryWindow::~QueryWindow() = default;

void QueryWindow::build()
{
    m_fields = new FieldList(m_context, m_panes.fieldView, m_panes.fieldFilter);
    m_tree = new TableTreeController(m_context, m_panes.tree, m_panes.treeSummary, *m_fields,
                                     [this] { return m_document.singleClick; });
    m_myTable = new MyTable(m_context, m_panes.myTableView, m_panes.optionField);
    m_options = new OptionList(m_context, m_panes.optionView,
                               {m_panes.optionField, m_panes.optionOperator, m_panes.optionValue,
                                m_panes.optionConjunction, m_panes.addOption});
    m_rowsPanel = new RowsPanel(m_panes.rowButtons, m_panes.allRows, m_panes.rowLimitLabel,
                                m_panes.rowLimit, m_document.rowLimit);
    PreviewPane::Hooks hooks;
    hooks.readPlan = [this](ReadPlan& plan) {
        const bool ok = buildPlan();
        plan = m_plan;
        return ok;
    };
    hooks.rowLimit = [this] { return m_rowsPanel->limit(); };
    hooks.paneClosed = [this] { return m_layout.rect(Control::Preview).height < 50; };
    hooks.openPane = [this] {
        m_layout.openPreview();
        applyLayout();
    };
    hooks.dotsPerInch = [this] { return m_dpi; };
    m_preview = new PreviewPane(m_context, m_panes.previewView, hooks);
    m_panes.previewFilterBar = m_preview->filterBar();
    connect(m_preview->filterBar(), &PreviewFilterBar::wantedChanged, this,
            &QueryWindow::applyLayout);
    ExportController::Hooks exportHooks;
    exportHooks.readPlan = hooks.readPlan;
    exportHooks.rowLimit = hooks.rowLimit;
    exportHooks.fieldCount = [this] { return m_myTable->count(); };
    exportHooks.tableName = [this] { return m_myTable->tableName(); };
    exportHooks.file = [this] { return m_document.exportFile; };
    exportHooks.setFile = [this](const QString& file) {
        m_document.exportFile = file;
        changed();
    };
    m_export = new ExportController(m_context, exportHooks, this);
    connectParts();
    addCommands();
    watchPanes();
    m_panes.orderTabs();
}

void QueryWindow::watchPanes()
{
    PaneMouse::Hooks hooks;
    hooks.pixels = [this](Control control) { return pixels(control); };
    hooks.relayout = [this] { applyLayout(); };
    hooks.dotsPerInch = [this] { return m_dpi; };
    hooks.popup = [this](const QString& menu, const QPoint& at, const QList<QAction*>& own) {
        m_context.host.popupMenu(menu, at, own);
    };
    m_mouse = new PaneMouse(this, m_layout, hooks);
    m_mouse->watch(m_panes.tree, PaneLayout::Pane::Tree, QStringLiteral("mtable"));
    m_mouse->watch(m_panes.fieldView, PaneLayout::Pane::FieldList, QStringLiteral("mfields"),
                   {m_panes.fieldView->copyAction()});
    m_mouse->watch(m_panes.myTableView, PaneLayout::Pane::MyTable, QStringLiteral("mmytable"),
                   {m_panes.myTableView->copyAction()});
    m_mouse->watch(m_panes.optionView, PaneLayout::Pane::Options, QStringLiteral("moptions"));
    m_mouse->watch(m_panes.previewView, PaneLayout::Pane::Preview, QStringLiteral("mmytable"),
                   m_preview->grid()->actions());
    m_mouse->watch(m_preview->rowNumbers()->view(), PaneLayout::Pane::Preview,
                   QStringLiteral("mmytable"), m_preview->grid()->actions());
    // The filter row heads the preview and lies in the band of its top line: the whole row
    // moves that line, as the grid's top did before it; its box and combo keep their menus.
    PreviewFilterBar* filterRow = m_preview->filterBar();
    m_mouse->watch(filterRow, PaneLayout::Pane::Preview, QStringLiteral("mmytable"));
    m_mouse->watch(filterRow->box(), PaneLayout::Pane::Preview, QString());
    m_mouse->watch(filterRow->columns(), PaneLayout::Pane::Preview, QString());
}

void QueryWindow::setCaptionsAndTips()
{
    const Language language(m_context.host.state());
    m_panes.setTexts(language);
    m_preview->grid()->copyAction()->setText(language.pick(Texts::get(TextId::CopyCells)));
    m_preview->grid()->copyWithHeadersAction()->setText(
        language.pick(Texts::get(TextId::CopyCellsWithHeaders)));
    m_preview->filterBar()->setTexts(language);
}

QRect QueryWindow::pixels(Control control) const
{
    const PaneLayout::Rect& r = m_layout.rect(control);
    const auto px = [this](int twips) { return Twips::toPixels(twips, m_dpi); };
    return QRect(px(r.left), px(r.top), px(r.width), px(r.height));
}

void QueryWindow::applyLayout()
{
    m_panes.place([this](Control control) { return pixels(control); });
    m_options->fitBoxes();
}

void QueryWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const bool rows = m_rowsPanel->shown();
    m_layout.resize(static_cast<int>(std::lround(Twips::fromPixels(width(), m_dpi))),
                    static_cast<int>(std::lround(Twips::fromPixels(height(), m_dpi))), rows,
                    m_options->editorShown());
    m_context.host.setCommandEnabled(QStringLiteral("mcloseqpreview"), true);
    m_context.host.setCommandEnabled(QStringLiteral("mcloserows"), rows);
    m_context.host.setCommandEnabled(QStringLiteral("mrows"), !rows);
    applyLayout();
}

bool QueryWindow::hasContent() const
{
    return m_myTable->count() > 0 || m_options->count() > 0;
}

QueryDocument QueryWindow::document()
{
    buildPlan();
    m_document.rowLimitShown = m_rowsPanel->shown();
    m_document.fields.clear();
    for (const ReadPlan::Field& field : m_plan.fields().mid(0, QueryDocumentFile::kMaxEntries))
        m_document.fields.append(
            QueryDocumentFile::fieldEntry({field.type, field.length, field.key, field.text}));
    m_document.options = m_options->lines().mid(0, QueryDocumentFile::kMaxEntries);
    m_document.fieldCount = static_cast<int>(m_document.fields.size());
    m_document.optionCount = static_cast<int>(m_document.options.size());
    return m_document;
}

void QueryWindow::closeEvent(QCloseEvent* event)
{
    if (m_export->running()) {
        m_context.host.setStatusText(
            Language(m_context.host.state()).pick(Texts::get(TextId::ExportRunning)));
        event->ignore();
        return;
    }
    if (m_closeGuard && !m_closeGuard(this)) {
        event->ignore();
        return;
    }
    m_tree->saveTree();
    event->accept();
}

void QueryWindow::connectParts()
{
    connect(m_myTable, &MyTable::modified, this, &QueryWindow::changed);
    connect(m_myTable, &MyTable::summaryShown, this, [this] {
        m_options->refreshOptions(m_myTable->items());
        changed();
    });
    connect(m_options, &OptionList::modified, this, [this] {
        m_options->refreshOptions(m_myTable->items());
        changed();
    });
    connect(m_options, &OptionList::editorShownChanged, this, [this](bool shown) {
        m_layout.setEditorShown(shown);
        applyLayout();
    });
    connect(m_options, &OptionList::valueRoomChanged, this, [this] {
        if (m_options->editorShown())
            applyLayout();
    });
    connect(m_preview, &PreviewPane::finished, m_myTable, &MyTable::showHeader);
    // A read of every row tells how many a table holds.
    connect(m_preview, &PreviewPane::finished, m_fields, &FieldList::showRowCounts);
    connect(m_export, &ExportController::finished, m_fields, &FieldList::showRowCounts);
    connect(m_rowsPanel, &RowsPanel::buttonClicked, this, &QueryWindow::rowsButton);
    m_myTable->setChosenFields([this] { return m_fields->selectedFields(); });
    connect(m_fields, &FieldList::chosen, this,
            [this](const QVector<ReadPlan::Field>& fields) { m_myTable->addFields(fields); });
}

void QueryWindow::changed()
{
    if (!m_loading)
        Q_EMIT modified();
}

void QueryWindow::rowsButton(int index)
{
    static const char* const kCommands[] = {"mcopytomytable", "mremovefield", "mmovedown",
                                            "mmoveup", "mqpreview"};
    perform(QString::fromLatin1(kCommands[index]));
    if (index == 0)
        m_panes.fieldView->setFocus();
    else
        m_panes.myTableView->setFocus();
}

bool QueryWindow::perform(const QString& command, const QStringList& arguments)
{
    return m_commands.run(command, arguments);
}

QString QueryWindow::currentTreeNode() const
{
    // Nodes carry their key beside the text they show.
    const QModelIndex current = m_panes.tree->currentIndex();
    const QVariant key = current.data(Qt::UserRole);
    return key.isValid() ? key.toString() : current.data().toString();
}

void QueryWindow::setTreeSingleSelect(bool on)
{
    m_panes.tree->setSingleSel(on);
    m_panes.tree->setHotTracking(on);
}

QueryWindowControl::FieldView QueryWindow::fieldView() const
{
    return m_panes.fieldView->view() == ReportListView::kListView ? FieldView::List
                                                                  : FieldView::Report;
}

void QueryWindow::setFieldView(FieldView view)
{
    m_panes.fieldView->setView(view == FieldView::List ? ReportListView::kListView
                                                       : ReportListView::kReportView);
}

bool QueryWindow::fieldGridLines() const
{
    return m_panes.fieldView->gridLines();
}

void QueryWindow::setFieldGridLines(bool on)
{
    m_panes.fieldView->setGridLines(on);
}

void QueryWindow::addCommands()
{
    m_tree->addCommands(m_commands);
    m_fields->addCommands(m_commands);
    m_myTable->addCommands(m_commands);
    m_options->addCommands(m_commands);
    m_preview->addCommands(m_commands);
    m_export->addCommands(m_commands);
    m_commands.add(QStringLiteral("mcloseqpreview"), [this] { closePreview(); });
    m_commands.add(QStringLiteral("mrows"), [this] { setRowsShown(true); });
    m_commands.add(QStringLiteral("mcloserows"), [this] { setRowsShown(false); });
}

bool QueryWindow::buildPlan()
{
    BiText error;
    const bool ok = m_plan.build(m_myTable->items(), m_options->lines(), &error);
    if (!error.isEmpty())
        m_context.host.services().desktop().message(Language(m_context.host.state()).pick(error));
    m_options->colour(m_plan.optionsNamingATable());
    return ok;
}

void QueryWindow::closePreview()
{
    m_layout.closePreview();
    applyLayout();
    m_context.host.setCommandEnabled(QStringLiteral("mcloseqpreview"), false);
}

void QueryWindow::setRowsShown(bool shown)
{
    m_document.rowLimitShown = shown;
    // Showing it again changes nothing.
    if (shown && m_rowsPanel->shown())
        return;
    m_rowsPanel->setShown(shown);
    m_layout.setRowsPanelShown(shown);
    applyLayout();
    m_context.host.setCommandEnabled(QStringLiteral("mcloserows"), shown);
    m_context.host.setCommandEnabled(QStringLiteral("mrows"), !shown);
}
