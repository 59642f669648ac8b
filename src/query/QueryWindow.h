#pragma once

#include "PaneLayout.h"
#include "QueryDocument.h"
#include "ReadPlan.h"
#include "TableExport.h"

#include <QWidget>

#include <array>
#include <functional>

struct QueryContext;
class FieldList;
class ImportController;
class MyTable;
class OptionList;
class PaneMouse;
class PreviewPane;
class QCheckBox;
class QTableView;
class RowsPanel;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class ReportListView;
class TableTreeController;
class TableTreeView;

// fqtable: one query window. The table tree, the field list, My Table with its rows panel,
// the options with their editor row, and the preview, laid out in proportional panes whose
// dividing lines move with the mouse. Its public slots are the operations the main window
// routes to it by name.
class QueryWindow : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool ChSsl READ singleClick WRITE setSingleClick)
public:
    QueryWindow(QueryContext& context, QueryDocument document, int slot, QWidget* parent = nullptr);
    ~QueryWindow() override;

    int slot() const { return m_slot; }
    const QString& filePath() const { return m_filePath; }
    void setFilePath(const QString& path) { m_filePath = path; }
    // The window's query as its document holds it now.
    QueryDocument CollectDocument();
    bool singleClick() const { return m_document.ChSsl; }
    void setSingleClick(bool on) { m_document.ChSsl = on; }
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
    bool importRunning() const;
    RowsPanel& rowsPanel() const { return *m_rowsPanel; }

Q_SIGNALS:
    void modified();

public Q_SLOTS:
    void NewFolder(const QString& name);
    void RenameFolder();
    void RemoveTable(const QString& key, const QString& mode);
    void CutTable();
    void PasteTable();
    bool AddTableFields(const QString& table);
    void PrintFields();
    QString QTableName() const;
    void CopyListItem();
    void MoveDown();
    void MoveUp();
    void RemoveField();
    void RemoveAllFields();
    void PrintFieldsMyTable();
    void ShowOption();
    void PrintOptions();
    void RemoveOption();
    void RemoveAllOptions();
    bool ReadLIMytable();
    void UpdatePreview();
    void PrintPreview();
    void ClosePreview();
    void rows();
    void CloseRows();
    void ImportMyTable();

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
    void changed();
    void rowsButton(int index);
    void importFinished(const TableExport::Result& result);

    QueryContext& m_context;
    QueryDocument m_document;
    int m_slot;
    QString m_filePath;
    double m_dpi = 96.0;
    PaneLayout m_layout;
    std::function<bool(QueryWindow*)> m_closeGuard;

    QLabel* m_label1 = nullptr;
    TableTreeView* m_treeView = nullptr;
    QLineEdit* m_filter = nullptr; // above the field list
    ReportListView* m_listView1 = nullptr;
    ReportListView* m_listView2 = nullptr;
    ReportListView* m_listView3 = nullptr;
    QTableView* m_listView4 = nullptr;
    std::array<QToolButton*, 5> m_command3{};
    QCheckBox* m_check1 = nullptr;
    QLineEdit* m_text2 = nullptr;
    QComboBox* m_combo2 = nullptr;
    QComboBox* m_combo3 = nullptr;
    QLineEdit* m_text1 = nullptr;
    QComboBox* m_combo4 = nullptr;
    QToolButton* m_command2 = nullptr;
    FieldList* m_fields = nullptr;
    TableTreeController* m_tree = nullptr;
    MyTable* m_myTable = nullptr;
    OptionList* m_options = nullptr;
    RowsPanel* m_rowsPanel = nullptr;
    PreviewPane* m_preview = nullptr;
    ImportController* m_import = nullptr;
    ReadPlan m_plan;
    bool m_loading = false;
    PaneMouse* m_mouse = nullptr;
};
