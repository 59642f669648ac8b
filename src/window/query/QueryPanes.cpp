#include "window/query/QueryPanes.h"

#include "shell/CaptionTable.h"
#include "shell/ControlNames.h"
#include "shell/Language.h"
#include "shell/Texts.h"
#include "window/common/Icons.h"
#include "window/query/PreviewFilterBar.h"
#include "window/query/ReportListView.h"
#include "window/query/TableTreeView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>

#include <algorithm>
#include <utility>

namespace
{
template <typename Widget, typename... Arguments>
Widget* named(QLatin1StringView name, Arguments&&... arguments)
{
    auto* widget = new Widget(std::forward<Arguments>(arguments)...);
    widget->setObjectName(name);
    return widget;
}

std::array<QToolButton*, 5> rowButtonsOf(QWidget* window)
{
    static const char* const kIcons[] = {"copy", "remove", "move-down", "move-up", "preview"};
    std::array<QToolButton*, 5> buttons{};
    for (size_t i = 0; i < buttons.size(); ++i) {
        buttons[i] = new QToolButton(window);
        buttons[i]->setObjectName(ControlNames::Query::rowButton(int(i)));
        buttons[i]->setIcon(Icons::get(QString::fromLatin1(kIcons[i])));
        buttons[i]->setAutoRaise(true);
    }
    return buttons;
}
} // namespace

QueryPanes::QueryPanes(QWidget* window, double dotsPerInch)
    : treeSummary(
          named<QLabel>(ControlNames::Query::kTreeSummary, QStringLiteral("  Table"), window)),
      tree(named<TableTreeView>(ControlNames::Query::kTree, window)),
      fieldFilter(named<QLineEdit>(ControlNames::Query::kFieldFilter, window)),
      fieldView(named<ReportListView>(ControlNames::Query::kFieldList, window)),
      myTableView(named<ReportListView>(ControlNames::Query::kMyTable, window)),
      optionView(named<ReportListView>(ControlNames::Query::kOptionList, window)),
      previewView(named<QTableView>(ControlNames::Query::kPreviewGrid, window)),
      rowButtons(rowButtonsOf(window)),
      allRows(named<QCheckBox>(ControlNames::Query::kAllRows, QStringLiteral("All Rows"), window)),
      rowLimitLabel(named<QLabel>(ControlNames::Query::kRowLimitLabel, window)),
      rowLimit(named<QLineEdit>(ControlNames::Query::kRowLimit, window)),
      optionField(named<QComboBox>(ControlNames::Query::kOptionField, window)),
      optionOperator(named<QComboBox>(ControlNames::Query::kOptionOperator, window)),
      optionValue(named<QLineEdit>(ControlNames::Query::kOptionValue, window)),
      optionConjunction(named<QComboBox>(ControlNames::Query::kOptionConjunction, window)),
      addOption(named<QToolButton>(ControlNames::Query::kAddOption, window))
{
    // The column of texts, of the summary and of the option lines takes the room left over.
    fieldView->setColumns({{QStringLiteral("C1"), QStringLiteral("FieldName"), 1800},
                           {QStringLiteral("C2"), QStringLiteral("FieldText"), 3000, false, true},
                           {QStringLiteral("C3"), QStringLiteral("Type"), 535},
                           {QStringLiteral("C4"), QStringLiteral("Length"), 670, true}},
                          dotsPerInch);
    myTableView->setColumns({{QStringLiteral("C1"), QStringLiteral("My Table"), 3195, false, true},
                             {QStringLiteral("C2"), QStringLiteral("Type"), 535},
                             {QStringLiteral("C3"), QStringLiteral("Length"), 670, true}},
                            dotsPerInch);
    optionView->setColumns({{QStringLiteral("C1"), QStringLiteral("Options"), 4400, false, true}},
                           dotsPerInch);
    // Tab goes on to the next pane; the arrows move between the grid's cells.
    previewView->setTabKeyNavigation(false);
    addOption->setText(QStringLiteral("+"));
    addOption->setIcon(Icons::get(QStringLiteral("new")));
    // The option editor shows when asked for.
    for (QWidget* editor : std::initializer_list<QWidget*>{optionField, optionOperator, optionValue,
                                                           optionConjunction, addOption})
        editor->hide();
}

void QueryPanes::place(const std::function<QRect(PaneLayout::Control)>& pixels) const
{
    using Control = PaneLayout::Control;
    const std::pair<QWidget*, Control> placed[] = {{treeSummary, Control::TreeSummary},
                                                   {tree, Control::Tree},
                                                   {myTableView, Control::MyTable},
                                                   {optionView, Control::Options},
                                                   {optionField, Control::OptionField},
                                                   {optionOperator, Control::OptionOperator},
                                                   {optionValue, Control::OptionValue},
                                                   {optionConjunction, Control::OptionConjunction},
                                                   {addOption, Control::AddOption},
                                                   {rowButtons[0], Control::CopyButton},
                                                   {rowButtons[1], Control::RemoveButton},
                                                   {rowButtons[2], Control::MoveDownButton},
                                                   {rowButtons[3], Control::MoveUpButton},
                                                   {rowButtons[4], Control::PreviewButton},
                                                   {allRows, Control::AllRows}};
    for (const auto& [widget, control] : placed)
        widget->setGeometry(pixels(control));
    // The row limit box says what it holds: its label takes the head of the box's place.
    const QRect limit = pixels(Control::RowLimit);
    const int labelWidth = std::min(rowLimitLabel->sizeHint().width() + 4, limit.width() / 2);
    rowLimitLabel->setGeometry(limit.left() + 2, limit.top(), labelWidth - 2, limit.height());
    rowLimit->setGeometry(limit.adjusted(labelWidth, 0, 0, 0));
    const QRect pane = pixels(Control::FieldList);
    const int filterHeight = std::min(fieldFilter->sizeHint().height(), pane.height());
    fieldFilter->setGeometry(pane.left(), pane.top(), pane.width(), filterHeight);
    fieldView->setGeometry(pane.adjusted(0, filterHeight, 0, 0));
    const QRect preview = pixels(Control::Preview);
    const bool filterRow = previewFilterBar && previewFilterBar->wanted();
    const int rowHeight =
        filterRow ? std::min(previewFilterBar->sizeHint().height(), preview.height()) : 0;
    if (previewFilterBar) {
        previewFilterBar->setVisible(filterRow);
        previewFilterBar->setGeometry(preview.left(), preview.top(), preview.width(), rowHeight);
    }
    previewView->setGeometry(preview.adjusted(0, rowHeight, 0, 0));
}

QList<QWidget*> QueryPanes::tabOrder() const
{
    QList<QWidget*> order{tree, fieldFilter, fieldView, myTableView};
    for (QToolButton* button : rowButtons)
        order.append(button);
    order << allRows << rowLimit << optionView << optionField << optionOperator << optionValue
          << optionConjunction << addOption;
    if (previewFilterBar)
        order << previewFilterBar->box() << previewFilterBar->columns();
    order << previewView;
    return order;
}

void QueryPanes::orderTabs() const
{
    const QList<QWidget*> order = tabOrder();
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

void QueryPanes::setTexts(const Language& language) const
{
    const TextId tips[] = {TextId::TipCopyToMyTable, TextId::TipRemoveFields, TextId::TipMoveDown,
                           TextId::TipMoveUp, TextId::TipPreview};
    for (size_t i = 0; i < rowButtons.size(); ++i)
        rowButtons[i]->setToolTip(language.pick(Texts::get(tips[i])));
    rowLimit->setToolTip(language.pick(Texts::get(TextId::TipMaximumRows)));
    // The same word as the command that shows the panel.
    rowLimitLabel->setText(language.pick(CaptionTable::text(QStringLiteral("mrows"))));
    fieldFilter->setPlaceholderText(language.pick(Texts::get(TextId::FieldFilterPlaceholder)));
    const QString copy = language.pick(Texts::get(TextId::CopyCells));
    for (ReportListView* list : {fieldView, myTableView, optionView})
        list->copyAction()->setText(copy);
}
