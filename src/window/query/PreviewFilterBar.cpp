#include "window/query/PreviewFilterBar.h"

#include "shell/ControlNames.h"
#include "shell/Language.h"
#include "shell/Texts.h"
#include "window/query/PreviewFilter.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>

PreviewFilterBar::PreviewFilterBar(PreviewFilter* filter, QWidget* window)
    : QWidget(window), m_filter(filter), m_box(new QLineEdit(this)), m_columns(new QComboBox(this)),
      m_count(new QLabel(this)), m_pause(new QTimer(this))
{
    setObjectName(QStringLiteral("PreviewFilterBar"));
    m_box->setObjectName(ControlNames::Query::kPreviewFilter);
    m_columns->setObjectName(ControlNames::Query::kPreviewFilterColumn);
    m_count->setObjectName(QStringLiteral("PreviewCount"));
    m_box->setClearButtonEnabled(true);
    m_columns->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_columns->setMinimumContentsLength(16);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 4, 0);
    row->addWidget(m_box, 1);
    row->addWidget(m_columns);
    row->addWidget(m_count);
    m_pause->setSingleShot(true);
    m_pause->setInterval(kTypingPauseMs);
    connect(m_pause, &QTimer::timeout, this, &PreviewFilterBar::apply);
    connect(m_box, &QLineEdit::textChanged, m_pause, qOverload<>(&QTimer::start));
    connect(m_columns, &QComboBox::currentIndexChanged, this, &PreviewFilterBar::apply);
    connect(m_filter, &QAbstractItemModel::modelReset, this, &PreviewFilterBar::fillColumns);
    // The rows read count too when the filter shows none of them; the filter has taken each
    // change by the time these come.
    const QAbstractItemModel* rows = m_filter->sourceModel();
    connect(rows, &QAbstractItemModel::rowsInserted, this, &PreviewFilterBar::showCount);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, &PreviewFilterBar::showCount);
    connect(rows, &QAbstractItemModel::dataChanged, this, &PreviewFilterBar::showCount);
    connect(rows, &QAbstractItemModel::layoutChanged, this, &PreviewFilterBar::showCount);
    m_box->installEventFilter(this);
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), window);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        if (!wanted())
            return;
        m_box->setFocus(Qt::ShortcutFocusReason);
        m_box->selectAll();
    });
    hide();
}

void PreviewFilterBar::setTexts(const Language& language)
{
    m_box->setPlaceholderText(language.pick(Texts::get(TextId::PreviewFilterPlaceholder)));
    m_columns->setToolTip(language.pick(Texts::get(TextId::PreviewFilterColumnTip)));
    m_allColumns = language.pick(Texts::get(TextId::PreviewFilterAllColumns));
    m_shownText = language.pick(Texts::get(TextId::PreviewRowsShown));
    m_ofText = language.pick(Texts::get(TextId::PreviewRowsOf));
    if (m_columns->count() > 0)
        m_columns->setItemText(0, m_allColumns);
    else
        m_columns->addItem(m_allColumns);
    showCount();
}

bool PreviewFilterBar::wanted() const
{
    return m_filter->sourceModel()->rowCount() > 0 || m_filter->filtering();
}

void PreviewFilterBar::apply()
{
    m_pause->stop();
    const int chosen = m_columns->currentIndex();
    m_filter->setFilter(m_box->text(), chosen <= 0 ? PreviewFilter::kAllColumns : chosen - 1);
    showCount();
}

void PreviewFilterBar::fillColumns()
{
    // The same columns as before (a new preview of the same query) keep the choice.
    const int chosen = m_columns->currentIndex();
    QStringList headers;
    for (int c = 0; c < m_filter->columnCount(); ++c)
        headers.append(m_filter->headerData(c, Qt::Horizontal).toString());
    QStringList before;
    for (int i = 1; i < m_columns->count(); ++i)
        before.append(m_columns->itemText(i));
    if (headers != before) {
        const QSignalBlocker quiet(m_columns);
        m_columns->clear();
        m_columns->addItem(m_allColumns);
        m_columns->addItems(headers);
        m_columns->setCurrentIndex(0);
        if (chosen > 0)
            apply();
    }
    showCount();
}

QString PreviewFilterBar::countText() const
{
    const int all = m_filter->sourceModel()->rowCount();
    if (m_filter->filtering())
        return m_ofText.arg(m_filter->rowCount()).arg(all);
    return all > 0 ? m_shownText.arg(all) : QString();
}

void PreviewFilterBar::showCount()
{
    m_count->setText(countText());
    if (wanted() != m_wanted) {
        m_wanted = wanted();
        Q_EMIT wantedChanged();
    }
}

bool PreviewFilterBar::eventFilter(QObject* watched, QEvent* event)
{
    // Esc empties the box; an empty box leaves Esc to the window (it cancels a running read).
    if (watched == m_box && !m_box->text().isEmpty() &&
        (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        event->accept();
        if (event->type() == QEvent::KeyPress) {
            m_box->clear();
            apply();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
