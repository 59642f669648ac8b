#pragma once

#include "query/document/QueryDocument.h"
#include "query/layout/PaneLayout.h"
#include "query/read/ReadPlan.h"
#include "shell/QueryWindowControl.h"
#include "window/query/QueryCommands.h"
#include "window/query/QueryPanes.h"

#include <QWidget>

#include <array>
#include <functional>

struct QueryContext;
class FieldList;
class ExportController;
class MyTable;
class OptionList;
class PaneMouse;
class PreviewPane;
class RowsPanel;
class TableTreeController;

// One query window. The table tree, the field list, My Table with its rows panel,
// the options with their editor row, and the preview, laid out in proportional panes whose
// dividing lines move with the mouse. Each part carries out its own menu commands; the window
// finds them by the menu item's name.
class QueryWindow : public QWidget, public QueryWindowControl
{
    Q_OBJECT
public:
    QueryWindow(QueryContext& context, QueryDocument document, int slot, QWidget* parent = nullptr);
    ~QueryWindow() override;

    int slot() const { return m_slot; }
    const QString& filePath() const { return m_filePath; }
    void setFilePath(const QString& path) { m_filePath = path; }
    // The window's query as its document holds it now.
    QueryDocument document();
    bool hasContent() const;
    // Asked before the window closes; false keeps it open.
    void setCloseGuard(std::function<bool(QueryWindow*)> guard) { m_closeGuard = std::move(guard); }

    QSize sizeHint() const override;
    const PaneLayout& layoutState() const { return m_layout; }
    TableTreeController& tree() const { return *m_tree; }
    FieldList& fields() const { return *m_fields; }
    MyTable& myTable() const { return *m_myTable; }
    OptionList& options() const { return *m_options; }
    PreviewPane& preview() const { return *m_preview; }
    ExportController& exporter() const { return *m_export; }
    RowsPanel& rowsPanel() const { return *m_rowsPanel; }

    // QueryWindowControl: menu commands by the menu item's object name, and the view states.
    bool perform(const QString& command, const QStringList& arguments = {}) override;
    QString currentTreeNode() const override;
    bool singleClick() const override { return m_document.singleClick; }
    void setSingleClick(bool on) override { m_document.singleClick = on; }
    void setTreeSingleSelect(bool on) override;
    FieldView fieldView() const override;
    void setFieldView(FieldView view) override;
    bool fieldGridLines() const override;
    void setFieldGridLines(bool on) override;

    bool carriesOut(const QString& command) const { return m_commands.has(command); }
    // Builds the read plan of My Table and the options; a refused plan is told to the user.
    bool buildPlan();
    void closePreview();
    // The rows panel under My Table.
    void setRowsShown(bool shown);

Q_SIGNALS:
    void modified();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void setCaptionsAndTips();
    void applyLayout();
    QRect pixels(PaneLayout::Control control) const;
    void watchPanes();
    void connectParts();
    void addCommands();
    void changed();
    void rowsButton(int index);

    QueryContext& m_context;
    QueryDocument m_document;
    int m_slot;
    QString m_filePath;
    double m_dpi;
    PaneLayout m_layout;
    QueryPanes m_panes;
    std::function<bool(QueryWindow*)> m_closeGuard;

    FieldList* m_fields = nullptr;
    TableTreeController* m_tree = nullptr;
    MyTable* m_myTable = nullptr;
    OptionList* m_options = nullptr;
    RowsPanel* m_rowsPanel = nullptr;
    PreviewPane* m_preview = nullptr;
    ExportController* m_export = nullptr;
    QueryCommands m_commands;
    ReadPlan m_plan;
    bool m_loading = false;
    PaneMouse* m_mouse = nullptr;
};
