#include "window/query/RowNumberColumn.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTableView>

RowNumberColumn::RowNumberColumn(QTableView* grid)
    : QObject(grid), m_grid(grid), m_column(new QTableView(grid)), m_viewport(grid->viewport())
{
    m_column->setObjectName(grid->objectName() + QStringLiteral("RowNumbers"));
    m_column->setFocusPolicy(Qt::NoFocus);
    m_column->setFrameShape(QFrame::NoFrame);
    m_column->verticalHeader()->hide();
    m_column->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_column->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_column->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_column->setWordWrap(false);
    // Only the first column ever shows: the view is as wide as it and never scrolls sideways.
    m_column->setAutoScroll(false);
    m_column->horizontalHeader()->setDefaultAlignment(grid->horizontalHeader()->defaultAlignment());
    m_column->horizontalHeader()->setSectionsClickable(true);
    m_grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(m_column->horizontalScrollBar(), &QScrollBar::valueChanged, m_column,
            [this](int value) {
                if (value != 0)
                    m_column->horizontalScrollBar()->setValue(0);
            });
    connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, m_column->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(m_column->verticalScrollBar(), &QScrollBar::valueChanged, m_grid->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int) {
                if (section == 0)
                    place();
            });
    connect(m_column->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (section == 0)
            Q_EMIT headerClicked(0);
    });
    m_grid->installEventFilter(this);
    m_viewport->installEventFilter(this);
    follow();
}

void RowNumberColumn::follow()
{
    m_column->setModel(m_grid->model());
    m_column->setSelectionModel(m_grid->selectionModel());
    m_column->setSelectionMode(m_grid->selectionMode());
    m_column->setSelectionBehavior(m_grid->selectionBehavior());
    m_column->setVerticalScrollMode(m_grid->verticalScrollMode());
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &RowNumberColumn::uncover, Qt::UniqueConnection);
    connect(m_grid->model(), &QAbstractItemModel::modelReset, this, &RowNumberColumn::place,
            Qt::UniqueConnection);
    place();
}

void RowNumberColumn::place()
{
    m_column->verticalHeader()->setDefaultSectionSize(
        m_grid->verticalHeader()->defaultSectionSize());
    m_column->setColumnWidth(0, m_grid->columnWidth(0));
    const int frame = m_grid->frameWidth();
    const QRect viewport = m_grid->viewport()->geometry();
    m_column->setGeometry(frame, frame, m_grid->columnWidth(0),
                          viewport.height() + m_grid->horizontalHeader()->height());
    m_column->horizontalHeader()->setFixedHeight(m_grid->horizontalHeader()->height());
    m_column->verticalScrollBar()->setValue(m_grid->verticalScrollBar()->value());
    m_column->setVisible(m_grid->model() && m_grid->model()->columnCount() > 1);
}

void RowNumberColumn::uncover()
{
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid() || current.column() == 0)
        return;
    const int covered = m_grid->columnWidth(0) - m_grid->visualRect(current).left();
    if (covered > 0) {
        QScrollBar* bar = m_grid->horizontalScrollBar();
        bar->setValue(bar->value() - covered);
    }
}

bool RowNumberColumn::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_grid || watched == m_viewport) &&
        (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest))
        place();
    return QObject::eventFilter(watched, event);
}
