#pragma once

#include "query/layout/PaneLayout.h"

#include <QList>
#include <QRect>

#include <array>
#include <functional>

class Language;
class PreviewFilterBar;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class QToolButton;
class QWidget;
class ReportListView;
class TableTreeView;

// The widgets of a query window, made once with the object names the menus, the settings and
// the tests know them by, and placed on the rectangles of the pane layout.
class QueryPanes
{
public:
    QueryPanes(QWidget* window, double dotsPerInch);

    // The tips, the filter's placeholder and the lists' Copy, in the chosen language.
    void setTexts(const Language& language) const;
    // Puts every widget on its rectangle, the field filter at the head of the field list and
    // the preview's filter row, while it is wanted, at the head of the preview.
    void place(const std::function<QRect(PaneLayout::Control)>& pixels) const;
    // Tab goes through the panes as they are laid out, left to right and top to bottom: the
    // tree, the field list with its filter, My Table with its rows panel, the options with
    // their editor, the preview with its filter row. Hidden ones are passed over.
    void orderTabs() const;
    // The widgets Tab visits, in that order.
    QList<QWidget*> tabOrder() const;

    QLabel* treeSummary;
    TableTreeView* tree;
    QLineEdit* fieldFilter;
    ReportListView* fieldView;
    ReportListView* myTableView;
    ReportListView* optionView;
    QTableView* previewView;
    PreviewFilterBar* previewFilterBar = nullptr; // made with the preview, which it filters
    std::array<QToolButton*, 5> rowButtons;       // copy, remove, move down, move up, preview
    QCheckBox* allRows;
    QLabel* rowLimitLabel;
    QLineEdit* rowLimit;
    QComboBox* optionField;
    QComboBox* optionOperator;
    QLineEdit* optionValue;
    QComboBox* optionConjunction;
    QToolButton* addOption;
};
