#include "QueryWindow.h"

#include "AppState.h"
#include "DesktopServices.h"
#include "FieldList.h"
#include "Icons.h"
#include "ImportController.h"
#include "Language.h"
#include "MyTable.h"
#include "OptionList.h"
#include "PaneMouse.h"
#include "PreviewGrid.h"
#include "PreviewPane.h"
#include "QueryContext.h"
#include "QueryDocumentFile.h"
#include "ReadMessage.h"
#include "ReadPlan.h"
#include "ReportListView.h"
#include "RowsPanel.h"
#include "ShellHost.h"
#include "TableReader.h"
#include "TableTreeController.h"
#include "TableTreeView.h"
#include "Texts.h"
#include "Twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <QTableView>
#include <QToolButton>

using Control = PaneLayout::Control;

QueryWindow::QueryWindow(QueryContext& context, QueryDocument document, int slot, QWidget* parent)
    : QWidget(parent), m_context(context), m_document(std::move(document)), m_slot(slot)
{
    setObjectName(QStringLiteral("fqtable"));
    setAttribute(Qt::WA_DeleteOnClose);
    if (const QScreen* current = screen())
        m_dpi = current->logicalDotsPerInchY();
    build();
    setWindowTitle(Texts::get(TextId::QueryCaption).en + QString::number(slot));
    setCaptionsAndTips();
    if (!m_document.ChRow) {
        m_rowsPanel->setShown(false);
        m_context.host.setCommandEnabled(QStringLiteral("mcloserows"), false);
    }
    m_rowsPanel->setLimitText(QString::number(m_document.sRows));
    if (m_rowsPanel->limit() == 0)
        m_rowsPanel->setLimitText(QStringLiteral("20"));
    m_tree->LoadTree();
    m_fields->ShowFieldListHint();
    m_treeView->setSingleSel(m_document.ChSsl);
    m_treeView->setHotTracking(m_document.ChSsl);
    // Filling from the document is not a change of it.
    m_loading = true;
    m_myTable->setLoading(true);
    m_options->setLoading(true);
    QVector<ReadPlan::Field> fields;
    for (const QString& entry : m_document.ssField) {
        if (const auto field = QueryDocumentFile::parseFieldEntry(entry, nullptr))
            fields.append({field->key, field->type, field->length, field->text});
    }
    m_myTable->PasteListItem(fields);
    m_options->FillOptions(m_document.ssOption);
    m_options->RefreshOptions(m_myTable->items());
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
    m_label1 = new QLabel(QStringLiteral("  Table"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_treeView = new TableTreeView(this);
    const auto list = [this](const char* name) {
        auto* view = new ReportListView(this);
        view->setObjectName(QString::fromLatin1(name));
        return view;
    };
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("FieldFilter"));
    m_listView1 = list("ListView1");
    // The column of texts, of the summary and of the option lines takes the room left over.
    m_listView1->setColumns({{QStringLiteral("C1"), QStringLiteral("FieldName"), 1800},
                             {QStringLiteral("C2"), QStringLiteral("FieldText"), 3000, false, true},
                             {QStringLiteral("C3"), QStringLiteral("Type"), 535},
                             {QStringLiteral("C4"), QStringLiteral("Length"), 670, true}},
                            m_dpi);
    m_listView2 = list("ListView2");
    m_listView2->setColumns({{QStringLiteral("C1"), QStringLiteral("My Table"), 3195, false, true},
                             {QStringLiteral("C2"), QStringLiteral("Type"), 535},
                             {QStringLiteral("C3"), QStringLiteral("Length"), 670, true}},
                            m_dpi);
    m_listView3 = list("ListView3");
    m_listView3->setColumns({{QStringLiteral("C1"), QStringLiteral("Options"), 4400, false, true}},
                            m_dpi);
    m_listView4 = new QTableView(this);
    m_listView4->setObjectName(QStringLiteral("ListView4"));
    static const char* const kButtonIcons[] = {"copy", "remove", "move-down", "move-up", "preview"};
    for (int i = 0; i < 5; ++i) {
        m_command3[static_cast<size_t>(i)] = new QToolButton(this);
        m_command3[static_cast<size_t>(i)]->setObjectName(QStringLiteral("Command3_%1").arg(i));
        m_command3[static_cast<size_t>(i)]->setIcon(
            Icons::get(QString::fromLatin1(kButtonIcons[i])));
        m_command3[static_cast<size_t>(i)]->setAutoRaise(true);
    }
    m_check1 = new QCheckBox(QStringLiteral("All Rows"), this);
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_text2 = new QLineEdit(this);
    m_text2->setObjectName(QStringLiteral("Text2"));
    m_combo2 = new QComboBox(this);
    m_combo2->setObjectName(QStringLiteral("Combo2"));
    m_combo3 = new QComboBox(this);
    m_combo3->setObjectName(QStringLiteral("Combo3"));
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_combo4 = new QComboBox(this);
    m_combo4->setObjectName(QStringLiteral("Combo4"));
    m_command2 = new QToolButton(this);
    m_command2->setObjectName(QStringLiteral("Command2"));
    m_command2->setText(QStringLiteral("+"));
    m_command2->setIcon(Icons::get(QStringLiteral("new")));
    for (QWidget* editor :
         std::initializer_list<QWidget*>{m_combo2, m_combo3, m_text1, m_combo4, m_command2})
        editor->hide();

    m_fields = new FieldList(m_context, m_listView1, m_filter);
    m_tree = new TableTreeController(m_context, m_treeView, m_label1, *m_fields,
                                     [this] { return m_document.ChSsl; });
    m_myTable = new MyTable(m_context, m_listView2, m_combo2);
    m_options =
        new OptionList(m_context, m_listView3, {m_combo2, m_combo3, m_text1, m_combo4, m_command2});
    m_rowsPanel = new RowsPanel(m_command3, m_check1, m_text2, m_document.sRows);
    PreviewPane::Hooks hooks;
    hooks.readPlan = [this](ReadPlan& plan) {
        const bool ok = ReadLIMytable();
        plan = m_plan;
        return ok;
    };
    hooks.rowLimit = [this] { return m_rowsPanel->limit(); };
    hooks.paneClosed = [this] { return m_layout.rect(Control::ListView4).height < 50; };
    hooks.openPane = [this] {
        m_layout.OpenPreview();
        applyLayout();
    };
    hooks.dotsPerInch = [this] { return m_dpi; };
    m_preview = new PreviewPane(m_context, m_listView4, hooks);
    m_import = new ImportController(m_context, this);
    connect(m_import, &ImportController::finished, this, &QueryWindow::importFinished);
    connectParts();
    watchPanes();
    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        m_filter->setFocus(Qt::ShortcutFocusReason);
        m_filter->selectAll();
    });
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
    m_mouse->watch(m_treeView, PaneLayout::Pane::Tree, QStringLiteral("mtable"));
    m_mouse->watch(m_listView1, PaneLayout::Pane::FieldList, QStringLiteral("mfields"),
                   {m_listView1->copyAction()});
    m_mouse->watch(m_listView2, PaneLayout::Pane::MyTable, QStringLiteral("mmytable"),
                   {m_listView2->copyAction()});
    m_mouse->watch(m_listView3, PaneLayout::Pane::Options, QStringLiteral("moptions"));
    m_mouse->watch(m_listView4, PaneLayout::Pane::Preview, QStringLiteral("mmytable"),
                   m_preview->grid()->actions());
}

void QueryWindow::setCaptionsAndTips()
{
    const Language language(m_context.host.state());
    const TextId tips[] = {TextId::TipCopyToMyTable, TextId::TipRemoveFields, TextId::TipMoveDown,
                           TextId::TipMoveUp, TextId::TipPreview};
    for (size_t i = 0; i < m_command3.size(); ++i)
        m_command3[i]->setToolTip(language.pick(Texts::get(tips[i])));
    m_text2->setToolTip(language.pick(Texts::get(TextId::TipMaximumRows)));
    m_filter->setPlaceholderText(language.pick(Texts::get(TextId::FieldFilterPlaceholder)));
    const QString copy = language.pick(Texts::get(TextId::CopyCells));
    for (ReportListView* list : {m_listView1, m_listView2, m_listView3})
        list->copyAction()->setText(copy);
    m_preview->grid()->copyAction()->setText(copy);
    m_preview->grid()->copyWithHeadersAction()->setText(
        language.pick(Texts::get(TextId::CopyCellsWithHeaders)));
}

QRect QueryWindow::pixels(Control control) const
{
    const PaneLayout::Rect& r = m_layout.rect(control);
    const auto px = [this](int twips) { return Twips::toPixels(twips, m_dpi); };
    return QRect(px(r.left), px(r.top), px(r.width), px(r.height));
}

void QueryWindow::applyLayout()
{
    const std::pair<QWidget*, Control> placed[] = {{m_label1, Control::Label1},
                                                   {m_treeView, Control::TreeView1},
                                                   {m_listView1, Control::ListView1},
                                                   {m_listView2, Control::ListView2},
                                                   {m_listView3, Control::ListView3},
                                                   {m_listView4, Control::ListView4},
                                                   {m_combo2, Control::Combo2},
                                                   {m_combo3, Control::Combo3},
                                                   {m_text1, Control::Text1},
                                                   {m_combo4, Control::Combo4},
                                                   {m_command2, Control::Command2},
                                                   {m_command3[0], Control::Command3_0},
                                                   {m_command3[1], Control::Command3_1},
                                                   {m_command3[2], Control::Command3_2},
                                                   {m_command3[3], Control::Command3_3},
                                                   {m_command3[4], Control::Command3_4},
                                                   {m_check1, Control::Check1},
                                                   {m_text2, Control::Text2}};
    for (const auto& [widget, control] : placed)
        widget->setGeometry(pixels(control));
    // The filter box heads the field list's pane.
    const QRect pane = pixels(Control::ListView1);
    const int filterHeight = std::min(m_filter->sizeHint().height(), pane.height());
    m_filter->setGeometry(pane.left(), pane.top(), pane.width(), filterHeight);
    m_listView1->setGeometry(pane.adjusted(0, filterHeight, 0, 0));
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

QueryDocument QueryWindow::CollectDocument()
{
    ReadLIMytable();
    m_document.ChRow = m_rowsPanel->shown();
    m_document.ssField.clear();
    for (const ReadPlan::Field& field : m_plan.fields().mid(0, QueryDocumentFile::kMaxEntries))
        m_document.ssField.append(
            QueryDocumentFile::fieldEntry({field.type, field.length, field.key, field.text}));
    m_document.ssOption = m_options->lines().mid(0, QueryDocumentFile::kMaxEntries);
    m_document.SFI = static_cast<int>(m_document.ssField.size());
    m_document.SOP = static_cast<int>(m_document.ssOption.size());
    return m_document;
}

void QueryWindow::closeEvent(QCloseEvent* event)
{
    if (m_import->running()) {
        m_context.host.setStatusText(
            Language(m_context.host.state()).pick(Texts::get(TextId::ImportRunning)));
        m_context.host.state().CloseRefused = true;
        event->ignore();
        return;
    }
    if (m_closeGuard && !m_closeGuard(this)) {
        event->ignore();
        return;
    }
    m_tree->SaveTree();
    event->accept();
}

QString QueryWindow::QTableName() const
{
    const QVector<ReadPlan::Field> fields = m_myTable->items();
    return fields.isEmpty() ? QString() : ReadPlan::tableOf(fields.front().key);
}

void QueryWindow::NewFolder(const QString& name)
{
    m_tree->NewFolder(name);
}

void QueryWindow::RenameFolder()
{
    m_tree->RenameFolder();
}

void QueryWindow::RemoveTable(const QString& key, const QString& mode)
{
    m_tree->RemoveTable(key, mode);
}

void QueryWindow::CutTable()
{
    m_tree->CutTable();
}

void QueryWindow::PasteTable()
{
    m_tree->PasteTable();
}

bool QueryWindow::AddTableFields(const QString& table)
{
    return m_fields->AddTableFields(table);
}

void QueryWindow::PrintFields()
{
    m_fields->PrintFields();
}

void QueryWindow::connectParts()
{
    connect(m_myTable, &MyTable::modified, this, &QueryWindow::changed);
    connect(m_myTable, &MyTable::summaryShown, this, [this] {
        m_options->RefreshOptions(m_myTable->items());
        changed();
    });
    connect(m_options, &OptionList::modified, this, [this] {
        m_options->RefreshOptions(m_myTable->items());
        changed();
    });
    connect(m_options, &OptionList::editorShownChanged, this, [this](bool shown) {
        m_layout.setEditorShown(shown);
        applyLayout();
    });
    connect(m_rowsPanel, &RowsPanel::buttonClicked, this, &QueryWindow::rowsButton);
    m_myTable->setRecopy([this] { return m_fields->selectedFields(); });
    connect(m_fields, &FieldList::chosen, this,
            [this](const QVector<ReadPlan::Field>& fields) { m_myTable->PasteListItem(fields); });
}

void QueryWindow::changed()
{
    if (!m_loading)
        Q_EMIT modified();
}

void QueryWindow::rowsButton(int index)
{
    switch (index) {
    case 0:
        CopyListItem();
        m_listView1->setFocus();
        return;
    case 1:
        RemoveField();
        break;
    case 2:
        MoveDown();
        break;
    case 3:
        MoveUp();
        break;
    default:
        UpdatePreview();
        break;
    }
    m_listView2->setFocus();
}

void QueryWindow::CopyListItem()
{
    m_myTable->PasteListItem(m_fields->selectedFields());
}

void QueryWindow::MoveDown()
{
    m_myTable->MoveDown();
}

void QueryWindow::MoveUp()
{
    m_myTable->MoveUp();
}

void QueryWindow::RemoveField()
{
    m_myTable->RemoveField();
}

void QueryWindow::RemoveAllFields()
{
    m_myTable->RemoveAllFields();
}

void QueryWindow::PrintFieldsMyTable()
{
    m_myTable->PrintFieldsMyTable();
}

void QueryWindow::ShowOption()
{
    m_options->ShowOption();
}

void QueryWindow::PrintOptions()
{
    m_options->PrintOptions();
}

void QueryWindow::RemoveOption()
{
    m_options->RemoveOption();
}

void QueryWindow::RemoveAllOptions()
{
    m_options->RemoveAllOptions();
}

bool QueryWindow::ReadLIMytable()
{
    QString error;
    const bool ok = m_plan.build(m_myTable->items(), m_options->lines(), &error);
    if (!error.isEmpty())
        m_context.host.services().desktop().message(error);
    m_options->colour(m_plan.optionsNamingATable());
    return ok;
}

void QueryWindow::UpdatePreview()
{
    m_preview->UpdatePreview();
}

void QueryWindow::PrintPreview()
{
    m_preview->PrintPreview();
}

void QueryWindow::ClosePreview()
{
    m_layout.ClosePreview();
    applyLayout();
    m_context.host.setCommandEnabled(QStringLiteral("mcloseqpreview"), false);
}

void QueryWindow::rows()
{
    m_document.ChRow = true;
    if (m_rowsPanel->shown())
        return;
    m_rowsPanel->setShown(true);
    m_layout.setRowsPanelShown(true);
    applyLayout();
    m_context.host.setCommandEnabled(QStringLiteral("mcloserows"), true);
    m_context.host.setCommandEnabled(QStringLiteral("mrows"), false);
}

void QueryWindow::CloseRows()
{
    m_document.ChRow = false;
    m_rowsPanel->setShown(false);
    m_layout.setRowsPanelShown(false);
    applyLayout();
    m_context.host.setCommandEnabled(QStringLiteral("mcloserows"), false);
    m_context.host.setCommandEnabled(QStringLiteral("mrows"), true);
}

bool QueryWindow::importRunning() const
{
    return m_import->running();
}

void QueryWindow::ImportMyTable()
{
    ShellHost& host = m_context.host;
    if (m_import->running()) {
        host.setStatusText(Language(host.state()).pick(Texts::get(TextId::ImportRunning)));
        return;
    }
    if (!host.state().Connected) {
        host.mconectar_Click();
        if (!host.state().Connected)
            return;
    }
    if (m_myTable->count() == 0)
        return;
    QString file = m_document.MyTableF.isEmpty() ? host.state().MyTableF : m_document.MyTableF;
    if (!m_import->AskExportFile(QTableName(), file))
        return;
    m_document.MyTableF = file;
    host.state().MyTableF = file;
    changed();
    host.StartProgress(QStringLiteral("Import"));
    host.AdvanceProgress(1);
    if (!ReadLIMytable() || !m_import->start(m_plan, file, m_rowsPanel->limit()))
        host.EndProgress();
}

void QueryWindow::importFinished(const TableExport::Result& result)
{
    ShellHost& host = m_context.host;
    Desktop& desktop = host.services().desktop();
    const Language language(host.state());
    const QString file = m_document.MyTableF;
    host.EndProgress();
    if (result.cancelled) {
        host.setStatusText(language.pick(Texts::get(TextId::ImportCancelled)) + file);
        return;
    }
    for (const ReadJob::Failure& failure : result.failures) {
        if (failure.exception == u"SYSTEM_FAILURE")
            m_context.reader.systemFailure();
    }
    if (!result.ok) {
        ReadJob::Result read;
        read.failures = result.failures;
        read.error = result.failures.empty() && !result.error.isEmpty()
                         ? QStringLiteral("Error 75: ") + result.error
                         : result.error;
        const ReadMessage message(host.state(), ReadMessage::Action::Export);
        host.setStatusText(message.statusLine(read));
        desktop.message(message.failure(read, &m_plan), Desktop::Buttons::Ok,
                        Desktop::Icon::Warning, message.title());
        return;
    }
    if (result.lostCharacters > 0)
        desktop.message(QString::number(result.lostCharacters) +
                        language.pick(Texts::get(TextId::LostCharacters)) + file);
    host.services().OpenWithAssociatedProgram(file);
    QString status = ImportController::ShowImportDone(host.state(), m_plan.fieldCount(),
                                                      result.rows, result.elapsed);
    if (!result.notes.isEmpty())
        status += QStringLiteral(" (") + result.notes.join(QStringLiteral("; ")) + u')';
    host.setStatusText(status);
}
