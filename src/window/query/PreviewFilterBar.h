#pragma once

#include <QWidget>

class Language;
class PreviewFilter;
class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;

// The row above the preview grid: a box whose text shows only the rows that contain it (in
// every column, or in the one chosen beside it) and how many rows that leaves. Ctrl+Shift+F in
// the query window goes to the box; Esc empties it. Shown while the grid holds rows.
class PreviewFilterBar : public QWidget
{
    Q_OBJECT
public:
    // A pause in typing this long applies the text, so a fast typist waits for one filtering.
    static constexpr int kTypingPauseMs = 150;

    PreviewFilterBar(PreviewFilter* filter, QWidget* window);

    void setTexts(const Language& language);
    // Filters now, without waiting for a pause in typing.
    void apply();
    QString countText() const;
    QLineEdit* box() const { return m_box; }
    QComboBox* columns() const { return m_columns; }
    // Whether the bar has a place above the grid.
    bool wanted() const;

Q_SIGNALS:
    void wantedChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillColumns();
    void showCount();

    PreviewFilter* m_filter;
    QLineEdit* m_box;
    QComboBox* m_columns;
    QLabel* m_count;
    QTimer* m_pause;
    QString m_allColumns;
    QString m_shownText;
    QString m_ofText;
    bool m_wanted = false;
};
