#include "QueryWindow.h"

#include "AppState.h"
#include "FieldList.h"
#include "Icons.h"
#include "Language.h"
#include "QueryContext.h"
#include "QueryDocumentFile.h"
#include "ReadPlan.h"
#include "ReportListView.h"
#include "ShellHost.h"
#include "TableTreeController.h"
#include "TableTreeView.h"
#include "Texts.h"
#include "Twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
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
        for (QToolButton* button : m_command3)
            button->hide();
        m_check1->hide();
        m_text2->hide();
        m_context.host.setCommandEnabled(QStringLiteral("mcloserows"), false);
    }
    m_text2->setText(QString::number(m_document.sRows));
    if (m_text2->text() == u"0")
        m_text2->setText(QStringLiteral("20"));
    m_tree->LoadTree();
    m_fields->ShowFieldListHint();
    m_treeView->setSingleSel(m_document.ChSsl);
    m_treeView->setHotTracking(m_document.ChSsl);
    for (const QString& entry : m_document.ssField) {
        if (const auto field = QueryDocumentFile::parseFieldEntry(entry, nullptr)) {
            auto* item = new QTreeWidgetItem(m_listView2, {field->key, field->type,
                                                           QString::number(field->length)});
            item->setToolTip(0, field->text);
            item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    for (const QString& line : m_document.ssOption)
        new QTreeWidgetItem(m_listView3, {line});
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
    m_listView1 = list("ListView1");
    m_listView1->setColumns({{QStringLiteral("C1"), QStringLiteral("FieldName"), 1800},
                             {QStringLiteral("C2"), QStringLiteral("FieldText"), 3000},
                             {QStringLiteral("C3"), QStringLiteral("Type"), 535},
                             {QStringLiteral("C4"), QStringLiteral("Length"), 670, true}},
                            m_dpi);
    m_listView2 = list("ListView2");
    m_listView2->setColumns({{QStringLiteral("C1"), QStringLiteral("My Table"), 3195},
                             {QStringLiteral("C2"), QStringLiteral("Type"), 535},
                             {QStringLiteral("C3"), QStringLiteral("Length"), 670, true}},
                            m_dpi);
    m_listView3 = list("ListView3");
    m_listView3->setColumns({{QStringLiteral("C1"), QStringLiteral("Options"), 4400}}, m_dpi);
    m_listView4 = list("ListView4");
    m_listView4->setColumns({{QStringLiteral("C1"), QStringLiteral("Preview"), 9400}}, m_dpi);
    static const char* const kButtonIcons[] = {"copy", "remove", "move-down", "move-up", "preview"};
    for (int i = 0; i < 5; ++i) {
        m_command3[static_cast<size_t>(i)] = new QToolButton(this);
        m_command3[static_cast<size_t>(i)]->setObjectName(QStringLiteral("Command3_%1").arg(i));
        m_command3[static_cast<size_t>(i)]->setIcon(Icons::get(QString::fromLatin1(kButtonIcons[i])));
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
    for (QWidget* editor : std::initializer_list<QWidget*>{m_combo2, m_combo3, m_text1, m_combo4,
                                                           m_command2})
        editor->hide();

    m_fields = new FieldList(m_context, m_listView1);
    m_tree = new TableTreeController(m_context, m_treeView, m_label1, *m_fields,
                                     [this] { return m_document.ChSsl; });
    watch(m_treeView, PaneLayout::Pane::Tree, QStringLiteral("mtable"));
    watch(m_listView1, PaneLayout::Pane::FieldList, QStringLiteral("mfields"));
    watch(m_listView2, PaneLayout::Pane::MyTable, QStringLiteral("mmytable"));
    watch(m_listView3, PaneLayout::Pane::Options, QStringLiteral("moptions"));
    watch(m_listView4, PaneLayout::Pane::Preview, QStringLiteral("mmytable"));
}

void QueryWindow::watch(QWidget* pane, PaneLayout::Pane which, const QString& menu)
{
    QWidget* surface = pane;
    if (auto* view = qobject_cast<QAbstractScrollArea*>(pane))
        surface = view->viewport();
    surface->setMouseTracking(true);
    surface->installEventFilter(this);
    m_panes.insert(surface, {which, menu});
}

void QueryWindow::setCaptionsAndTips()
{
    const Language language(m_context.host.state());
    const TextId tips[] = {TextId::TipCopyToMyTable, TextId::TipRemoveFields, TextId::TipMoveDown,
                           TextId::TipMoveUp, TextId::TipPreview};
    for (size_t i = 0; i < m_command3.size(); ++i)
        m_command3[i]->setToolTip(language.pick(Texts::get(tips[i])));
    m_text2->setToolTip(language.pick(Texts::get(TextId::TipMaximumRows)));
}

QRect QueryWindow::pixels(Control control) const
{
    const PaneLayout::Rect& r = m_layout.rect(control);
    const auto px = [this](int twips) { return Twips::toPixels(twips, m_dpi); };
    return QRect(px(r.left), px(r.top), px(r.width), px(r.height));
}

void QueryWindow::applyLayout()
{
    const std::pair<QWidget*, Control> placed[] = {
        {m_label1, Control::Label1},      {m_treeView, Control::TreeView1},
        {m_listView1, Control::ListView1}, {m_listView2, Control::ListView2},
        {m_listView3, Control::ListView3}, {m_listView4, Control::ListView4},
        {m_combo2, Control::Combo2},       {m_combo3, Control::Combo3},
        {m_text1, Control::Text1},         {m_combo4, Control::Combo4},
        {m_command2, Control::Command2},   {m_command3[0], Control::Command3_0},
        {m_command3[1], Control::Command3_1}, {m_command3[2], Control::Command3_2},
        {m_command3[3], Control::Command3_3}, {m_command3[4], Control::Command3_4},
        {m_check1, Control::Check1},       {m_text2, Control::Text2}};
    for (const auto& [widget, control] : placed)
        widget->setGeometry(pixels(control));
}

void QueryWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_layout.resize(static_cast<int>(std::lround(Twips::fromPixels(width(), m_dpi))),
                    static_cast<int>(std::lround(Twips::fromPixels(height(), m_dpi))),
                    m_command3[0]->isVisibleTo(this), m_command2->isVisibleTo(this));
    m_context.host.setCommandEnabled(QStringLiteral("mcloseqpreview"), true);
    const bool rows = m_command3[0]->isVisibleTo(this);
    m_context.host.setCommandEnabled(QStringLiteral("mcloserows"), rows);
    m_context.host.setCommandEnabled(QStringLiteral("mrows"), !rows);
    applyLayout();
}

bool QueryWindow::eventFilter(QObject* watched, QEvent* event)
{
    const auto pane = m_panes.constFind(watched);
    if (pane == m_panes.constEnd())
        return QWidget::eventFilter(watched, event);
    auto* surface = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::MouseMove) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        const auto twips = [this](int px) {
            return static_cast<int>(std::lround(Twips::fromPixels(px, m_dpi)));
        };
        const PaneLayout before = m_layout;
        const PaneLayout::Pointer pointer = m_layout.mouseMoved(
            pane->first, twips(at.x()), twips(at.y()), mouse->buttons() == Qt::LeftButton);
        surface->setCursor(pointer == PaneLayout::Pointer::SizeWE   ? Qt::SizeHorCursor
                           : pointer == PaneLayout::Pointer::SizeNS ? Qt::SizeVerCursor
                                                                    : Qt::ArrowCursor);
        for (int c = 0; c < static_cast<int>(Control::Count); ++c) {
            if (!(before.rect(Control(c)) == m_layout.rect(Control(c)))) {
                applyLayout();
                break;
            }
        }
    } else if (event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        m_context.host.popupMenu(pane->second,
                                 static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    }
    return QWidget::eventFilter(watched, event);
}

bool QueryWindow::hasContent() const
{
    return m_listView2->topLevelItemCount() > 0 || m_listView3->topLevelItemCount() > 0;
}

QueryDocument QueryWindow::CollectDocument()
{
    m_document.ChRow = m_command3[0]->isVisibleTo(this);
    m_document.sRows = m_text2->text().toInt();
    m_document.SFI = static_cast<int>(m_document.ssField.size());
    m_document.SOP = static_cast<int>(m_document.ssOption.size());
    return m_document;
}

void QueryWindow::closeEvent(QCloseEvent* event)
{
    if (m_closeGuard && !m_closeGuard(this)) {
        event->ignore();
        return;
    }
    m_tree->SaveTree();
    event->accept();
}

QString QueryWindow::QTableName() const
{
    const QTreeWidgetItem* first = m_listView2->topLevelItem(0);
    return first ? ReadPlan::tableOf(first->text(0)) : QString();
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
