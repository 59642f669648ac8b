#include "window/query/RowsPanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

RowsPanel::RowsPanel(std::array<QToolButton*, 5> buttons, QCheckBox* allRows, QLabel* limitLabel,
                     QLineEdit* limit, qint32& rowLimit)
    : QObject(limit), m_buttons(buttons), m_allRows(allRows), m_limitLabel(limitLabel),
      m_limit(limit), m_rowLimit(rowLimit)
{
    m_limitLabel->setBuddy(m_limit);
    m_limitLabel->setCursor(Qt::ArrowCursor);
    for (int i = 0; i < 5; ++i) {
        m_buttons[static_cast<size_t>(i)]->setCursor(Qt::ArrowCursor);
        connect(m_buttons[static_cast<size_t>(i)], &QToolButton::clicked, this,
                [this, i] { Q_EMIT buttonClicked(i); });
    }
    m_allRows->setCursor(Qt::ArrowCursor);
    m_limit->setCursor(Qt::IBeamCursor);
    connect(m_limit, &QLineEdit::textChanged, this, &RowsPanel::limitEdited);
    connect(m_allRows, &QCheckBox::clicked, this, [this](bool checked) {
        if (checked)
            m_limit->setText(QStringLiteral("0"));
    });
}

bool RowsPanel::shown() const
{
    return !m_buttons[0]->isHidden();
}

void RowsPanel::setShown(bool shown)
{
    for (QToolButton* button : m_buttons)
        button->setVisible(shown);
    m_allRows->setVisible(shown);
    m_limitLabel->setVisible(shown);
    m_limit->setVisible(shown);
}

qint64 RowsPanel::limit() const
{
    return m_limit->text().trimmed().toLongLong();
}

void RowsPanel::setLimitText(const QString& text)
{
    m_limit->setText(text);
}

void RowsPanel::limitEdited(const QString& text)
{
    const QString trimmed = text.trimmed();
    // Only digits make a row limit: a sign or a decimal point has no meaning for rows.
    const bool numeric =
        !trimmed.isEmpty() &&
        std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!numeric) {
        if (!text.isEmpty())
            m_limit->clear();
        return;
    }
    bool fits = false;
    qint64 value = trimmed.toLongLong(&fits);
    if (!fits || value > kMaxLimit) {
        m_limit->setText(QString::number(kMaxLimit));
        return;
    }
    m_rowLimit = static_cast<qint32>(value);
    m_allRows->setChecked(value == 0);
}
