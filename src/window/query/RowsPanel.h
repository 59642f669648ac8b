#pragma once

#include <QObject>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

// The rows panel under My Table: the row limit box with its label, "All Rows" and the five
// buttons.
class RowsPanel : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 kMaxLimit = 2147483647;

    RowsPanel(std::array<QToolButton*, 5> buttons, QCheckBox* allRows, QLabel* limitLabel,
              QLineEdit* limit, qint32& rowLimit);

    bool shown() const;
    void setShown(bool shown);
    qint64 limit() const; // the number in the box, 0 when empty
    void setLimitText(const QString& text);

Q_SIGNALS:
    void buttonClicked(int index);

private:
    void limitEdited(const QString& text);

    std::array<QToolButton*, 5> m_buttons;
    QCheckBox* m_allRows;
    QLabel* m_limitLabel;
    QLineEdit* m_limit;
    qint32& m_rowLimit;
};
