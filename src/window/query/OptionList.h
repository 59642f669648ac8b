#pragma once

#include "sap/ReadTableWidths.h"

#include "query/read/ReadPlan.h"

#include <QObject>

#include <optional>

struct QueryContext;
class QueryCommands;
class QComboBox;
class QLineEdit;
class QToolButton;
class QTreeWidgetItem;
class ReportListView;

// The selection options (ListView3) and their editor row: WHERE lines of at most 72
// characters, built from a field, an operator, a value and a conjunction, edited in place,
// removed and printed. Each item keeps the line it was added with as its key.
class OptionList : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxLength = ReadTableWidths::kOptionLine;
    static constexpr int kMostChoices = 20; // the field box's list, whatever My Table holds

    struct Editor {
        QComboBox* field;
        QComboBox* op;
        QLineEdit* value;
        QComboBox* conjunction;
        QToolButton* add;
    };

    OptionList(QueryContext& context, ReportListView* view, Editor editor);
    // Adds the menu commands this part carries out.
    void addCommands(QueryCommands& commands);

    // Shows the editor row and puts the focus into its field box.
    void showEditor();
    // Loads a line into the editor row; adding it then changes that line.
    void change(QTreeWidgetItem* item);
    void addOption();
    void removeOption();
    void removeAllOptions();
    void printOptions();
    void fillOptions(const QStringList& lines);
    // A literal's quotes come in pairs, a quote inside it doubled: an odd count never fits.
    static bool quotesBalanced(const QString& value);
    // Recount, colour by the My Table fields named, hint and menu states.
    void refreshOptions(const QVector<ReadPlan::Field>& myTable);
    // Colours blue the lines whose flag is set: one flag per line, as the read plan marks them.
    void colour(const QVector<bool>& blue);

    QStringList lines() const; // the texts, as read and saved
    QStringList keys() const;  // the lines as first added, as printed
    int count() const;
    bool editorShown() const;
    // Once the row is placed: shares its width out among the four boxes by what they show.
    void fitBoxes();
    void setLoading(bool loading) { m_loading = loading; }

Q_SIGNALS:
    void modified();
    void editorShownChanged(bool shown);
    // A choice in the row changed, and with it the room its boxes want.
    void valueRoomChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setEditorVisible(bool visible);
    // The My Table key the field box's text stands for (empty stays empty), or nothing once
    // the user has been told why the text names no field.
    std::optional<QString> chosenField();
    int chosenFieldLength() const;
    QStringList fieldKeys() const;
    int valueWidthNeeded() const;
    void replace(QTreeWidgetItem* item, const QString& line);
    void edited(QTreeWidgetItem* item);
    QTreeWidgetItem* itemByKey(const QString& key) const;
    void add(const QString& line);

    QueryContext& m_context;
    ReportListView* m_view;
    Editor m_editor;
    bool m_loading = false;
    bool m_restoring = false;
    QString m_changing; // the key of the line loaded into the editor, empty for a new line
};
