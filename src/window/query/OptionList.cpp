#include "window/query/OptionList.h"

#include "query/document/PrintFile.h"
#include "shell/AppState.h"
#include "shell/DesktopServices.h"
#include "shell/Language.h"
#include "shell/ShellHost.h"
#include "shell/Texts.h"
#include "window/query/OptionLineParts.h"
#include "window/query/QueryCommands.h"
#include "window/query/QueryContext.h"
#include "window/query/ReportListView.h"

#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QToolButton>

#include <algorithm>

namespace
{
constexpr int kKeyRole = Qt::UserRole;
constexpr int kAcceptedRole = Qt::UserRole + 1;
const QColor kBlue(0, 0, 255);
} // namespace

OptionList::OptionList(QueryContext& context, ReportListView* view, Editor editor)
    : QObject(view), m_context(context), m_view(view), m_editor(editor)
{
    const Language language(context.host.state());
    m_editor.op->addItems({QStringLiteral("EQ"), QStringLiteral("NE"), QStringLiteral("LT"),
                           QStringLiteral("LE"), QStringLiteral("GT"), QStringLiteral("GE"),
                           QStringLiteral("LIKE"), QStringLiteral("NOT LIKE"),
                           QStringLiteral("BETWEEN"), QStringLiteral("NOT BETWEEN")});
    m_editor.conjunction->addItems({QStringLiteral("AND"), QStringLiteral("OR"), QString()});
    // Nothing is chosen or typed until the user does: an untouched editor builds an empty line,
    // and each box shows what it is for.
    m_editor.op->setCurrentIndex(-1);
    m_editor.conjunction->setCurrentIndex(-1);
    m_editor.op->setPlaceholderText(language.pick(Texts::get(TextId::PlaceholderOperator)));
    m_editor.conjunction->setPlaceholderText(
        language.pick(Texts::get(TextId::PlaceholderConjunction)));
    m_editor.value->setPlaceholderText(language.pick(Texts::get(TextId::PlaceholderValue)));
    // The field box completes what is typed, from any part of a key, and never lists more
    // choices than fit a screen.
    m_editor.field->setEditable(true);
    m_editor.field->setInsertPolicy(QComboBox::NoInsert);
    m_editor.field->setMaxVisibleItems(kMostChoices);
    m_editor.field->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    m_editor.field->lineEdit()->setPlaceholderText(
        language.pick(Texts::get(TextId::PlaceholderField)));
    QCompleter* completer = m_editor.field->completer();
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setMaxVisibleItems(kMostChoices);
    m_editor.field->setToolTip(Texts::get(TextId::TipFieldName).en);
    m_editor.op->setToolTip(language.pick(Texts::get(TextId::TipOperator)));
    m_editor.value->setToolTip(language.pick(Texts::get(TextId::TipValue)));
    m_editor.conjunction->setToolTip(language.pick(Texts::get(TextId::TipConjunction)));
    m_editor.add->setToolTip(language.pick(Texts::get(TextId::TipAddOption)));
    // F2 and a double click change a line in the editor row; a click on the selected line
    // still edits its text in place.
    m_view->setEditTriggers(QAbstractItemView::SelectedClicked);
    m_view->installEventFilter(this);
    connect(m_view, &QTreeWidget::itemDoubleClicked, this, &OptionList::change);
    connect(m_editor.value, &QLineEdit::returnPressed, this, &OptionList::addOption);
    connect(m_editor.field, &QComboBox::currentTextChanged, this, &OptionList::valueRoomChanged);
    connect(m_editor.op, &QComboBox::currentTextChanged, this, &OptionList::valueRoomChanged);
    connect(m_editor.conjunction, &QComboBox::currentTextChanged, this,
            &OptionList::valueRoomChanged);
    connect(m_editor.field, &QComboBox::textActivated, m_editor.field, &QWidget::setToolTip);
    connect(m_editor.op, &QComboBox::textActivated, m_editor.op, &QWidget::setToolTip);
    connect(m_editor.value, &QLineEdit::textChanged, m_editor.value, &QWidget::setToolTip);
    connect(m_editor.add, &QToolButton::clicked, this, &OptionList::addOption);
    connect(m_view, &QTreeWidget::itemChanged, this, &OptionList::edited);
}

int OptionList::count() const
{
    return m_view->topLevelItemCount();
}

bool OptionList::editorShown() const
{
    return !m_editor.field->isHidden();
}

QStringList OptionList::lines() const
{
    QStringList result;
    for (QTreeWidgetItem* item : m_view->itemsInOrder())
        result.append(item->text(0));
    return result;
}

QStringList OptionList::keys() const
{
    QStringList result;
    for (QTreeWidgetItem* item : m_view->itemsInOrder())
        result.append(item->data(0, kKeyRole).toString());
    return result;
}

QTreeWidgetItem* OptionList::itemByKey(const QString& key) const
{
    for (QTreeWidgetItem* item : m_view->itemsInOrder()) {
        if (item->data(0, kKeyRole).toString() == key)
            return item;
    }
    return nullptr;
}

void OptionList::add(const QString& line)
{
    m_restoring = true;
    auto* item = new QTreeWidgetItem(m_view, {line});
    item->setData(0, kKeyRole, line);
    item->setData(0, kAcceptedRole, line);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    m_restoring = false;
}

void OptionList::setEditorVisible(bool visible)
{
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_editor.field, m_editor.op, m_editor.value, m_editor.conjunction, m_editor.add})
        control->setVisible(visible);
    Q_EMIT editorShownChanged(visible);
}

namespace
{
int neededWidth(const QComboBox* box)
{
    const QString placeholder =
        box->isEditable() ? box->lineEdit()->placeholderText() : box->placeholderText();
    int text = box->fontMetrics().horizontalAdvance(placeholder);
    for (int i = 0; i < box->count(); ++i)
        text = std::max(text, box->fontMetrics().horizontalAdvance(box->itemText(i)));
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = box->isEditable();
    return box->style()
        ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text, box->height()), box)
        .width();
}
} // namespace

void OptionList::fitBoxes()
{
    QRect field = m_editor.field->geometry();
    QRect op = m_editor.op->geometry();
    QRect value = m_editor.value->geometry();
    QRect conjunction = m_editor.conjunction->geometry();
    // On a narrow row the value box keeps a few characters' room, the other boxes stay cut.
    const int least = 4 * m_editor.value->fontMetrics().averageCharWidth();
    const int room = std::max(0, value.width() - least);
    const int opMore = std::clamp(neededWidth(m_editor.op) - op.width(), 0, room);
    const int conjunctionMore =
        std::clamp(neededWidth(m_editor.conjunction) - conjunction.width(), 0, room - opMore);
    op.setRight(op.right() + opMore);
    value.setLeft(value.left() + opMore);
    conjunction.setLeft(conjunction.left() - conjunctionMore);
    value.setRight(value.right() - conjunctionMore);
    // The value is what the user types: the field box gives up what it can spare for it.
    const int valueNeeded = valueWidthNeeded();
    const int spare = std::max(0, field.width() - neededWidth(m_editor.field));
    const int taken = std::clamp(valueNeeded - value.width(), 0, spare);
    field.setRight(field.right() - taken);
    op.translate(-taken, 0);
    value.setLeft(value.left() - taken);
    m_editor.field->setGeometry(field);
    m_editor.op->setGeometry(op);
    m_editor.value->setGeometry(value);
    m_editor.conjunction->setGeometry(conjunction);
}

int OptionList::valueWidthNeeded() const
{
    // A value of the chosen field's whole length, between its quotes, stays in view.
    const QFontMetrics metrics = m_editor.value->fontMetrics();
    const int length = chosenFieldLength();
    const int text = std::max(
        {metrics.horizontalAdvance(m_editor.value->placeholderText()),
         12 * metrics.averageCharWidth(),
         length > 0 ? metrics.horizontalAdvance(u'\'' + QString(length, u'0') + u'\'') : 0});
    const QMargins margins = m_editor.value->textMargins();
    // As the line edit sizes itself: two pixels each side of the text, a cursor, its frame.
    QStyleOptionFrame option;
    option.initFrom(m_editor.value);
    option.lineWidth =
        m_editor.value->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, m_editor.value);
    option.state |= QStyle::State_Sunken;
    const QSize content(text + margins.left() + margins.right() + 2 * 2 + 2,
                        m_editor.value->height());
    return m_editor.value->style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, content, m_editor.value)
        .width();
}

QStringList OptionList::fieldKeys() const
{
    QStringList keys;
    for (int i = 0; i < m_editor.field->count(); ++i)
        keys.append(m_editor.field->itemText(i));
    return keys;
}

int OptionList::chosenFieldLength() const
{
    const QStringList found = OptionLineParts::keysFor(m_editor.field->currentText(), fieldKeys());
    if (found.size() != 1)
        return 0;
    return m_editor.field->itemData(m_editor.field->findText(found.front())).toInt();
}

std::optional<QString> OptionList::chosenField()
{
    const QString typed = m_editor.field->currentText().trimmed();
    if (typed.isEmpty())
        return QString();
    const QStringList found = OptionLineParts::keysFor(typed, fieldKeys());
    if (found.size() == 1)
        return found.front();
    const Language language(m_context.host.state());
    const QString text = found.isEmpty()
                             ? language.pick(Texts::get(TextId::UnknownOptionField)).arg(typed)
                             : language.pick(Texts::get(TextId::AmbiguousOptionField))
                                   .arg(typed, found.join(QStringLiteral(", ")));
    m_context.host.services().desktop().message(text, Desktop::Buttons::Ok, Desktop::Icon::Warning,
                                                language.pick(Texts::get(TextId::TitleOption)));
    m_editor.field->setFocus();
    m_editor.field->lineEdit()->selectAll();
    return std::nullopt;
}

void OptionList::showEditor()
{
    if (!editorShown())
        setEditorVisible(true);
    m_editor.field->setFocus(Qt::OtherFocusReason);
}

void OptionList::change(QTreeWidgetItem* item)
{
    if (!item)
        return;
    QStringList operators;
    for (int i = 0; i < m_editor.op->count(); ++i)
        operators.append(m_editor.op->itemText(i));
    const OptionLineParts parts = OptionLineParts::split(item->text(0), operators);
    m_changing = item->data(0, kKeyRole).toString();
    const int field = m_editor.field->findText(parts.field);
    m_editor.field->setCurrentIndex(field);
    if (field < 0)
        m_editor.field->setEditText(parts.field);
    m_editor.op->setCurrentIndex(m_editor.op->findText(parts.op));
    m_editor.value->setText(parts.value);
    m_editor.conjunction->setCurrentIndex(m_editor.conjunction->findText(parts.conjunction));
    if (!editorShown())
        setEditorVisible(true);
    // The value is what a change most often mends.
    m_editor.value->setFocus(Qt::OtherFocusReason);
}

void OptionList::replace(QTreeWidgetItem* item, const QString& line)
{
    // A line changed into one the list holds already stands once.
    if (QTreeWidgetItem* same = itemByKey(line); same && same != item) {
        delete item;
        return;
    }
    m_restoring = true;
    item->setText(0, line);
    item->setData(0, kKeyRole, line);
    item->setData(0, kAcceptedRole, line);
    m_restoring = false;
}

bool OptionList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            removeOption();
            return true;
        }
        if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier) {
            change(m_view->currentItem());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void OptionList::addOption()
{
    // A field typed in any case becomes its key; a name that is no My Table field is refused
    // now, not by the read.
    const std::optional<QString> field = chosenField();
    if (!field)
        return;
    if (!field->isEmpty() && m_editor.field->currentText() != *field)
        m_editor.field->setCurrentIndex(m_editor.field->findText(*field));
    const QString line = OptionLineParts{*field, m_editor.op->currentText(), m_editor.value->text(),
                                         m_editor.conjunction->currentText()}
                             .line();
    const bool blank = line == QStringLiteral("   ");
    if (line.size() > kMaxLength) {
        m_context.host.services().desktop().message(Texts::get(TextId::OptionTooLong).en +
                                                    QString::number(line.size()) +
                                                    Texts::get(TextId::OptionTooLongEnd).en);
    } else if (!quotesBalanced(m_editor.value->text())) {
        // The system would refuse the whole read for it; say so while the line is in hand.
        const Language language(m_context.host.state());
        m_context.host.services().desktop().message(
            language.pick(Texts::get(TextId::UnbalancedQuote)).arg(m_editor.value->text()),
            Desktop::Buttons::Ok, Desktop::Icon::Warning,
            language.pick(Texts::get(TextId::TitleOption)));
    } else {
        setEditorVisible(false);
        QTreeWidgetItem* changed = m_changing.isEmpty() ? nullptr : itemByKey(m_changing);
        m_changing.clear();
        if (!blank && changed)
            replace(changed, line);
        else if (!blank && !itemByKey(line))
            add(line);
    }
    Q_EMIT modified();
}

bool OptionList::quotesBalanced(const QString& value)
{
    return value.count(u'\'') % 2 == 0;
}

void OptionList::edited(QTreeWidgetItem* item)
{
    if (m_restoring)
        return;
    const QString text = item->text(0);
    if (text.size() > kMaxLength) {
        m_context.host.services().desktop().message(Texts::get(TextId::OptionTooLong).en +
                                                    QString::number(text.size()) +
                                                    Texts::get(TextId::OptionTooLongEnd).en);
        m_restoring = true;
        item->setText(0, item->data(0, kAcceptedRole).toString());
        m_restoring = false;
    } else {
        m_restoring = true;
        item->setData(0, kAcceptedRole, text);
        m_restoring = false;
    }
    Q_EMIT modified();
}

void OptionList::refreshOptions(const QVector<ReadPlan::Field>& myTable)
{
    m_view->headerItem()->setText(0, QStringLiteral("Options > %1").arg(count()));
    m_restoring = true;
    for (QTreeWidgetItem* item : m_view->itemsInOrder()) {
        item->setForeground(0, QColor(Qt::black));
        for (const ReadPlan::Field& field : myTable) {
            if (item->text(0).contains(field.key)) {
                item->setToolTip(0, field.text);
                item->setForeground(0, kBlue);
                break;
            }
        }
    }
    m_restoring = false;
    const bool empty = count() == 0;
    for (const char* command : {"mprintoptions", "mremoveoption", "mremovealloptions"})
        m_context.host.setCommandEnabled(QString::fromLatin1(command), !empty);
    m_view->setToolTip(
        empty ? Language(m_context.host.state()).pick(Texts::get(TextId::OptionsHint)) : QString());
}

void OptionList::colour(const QVector<bool>& blue)
{
    m_restoring = true;
    const QList<QTreeWidgetItem*> items = m_view->itemsInOrder();
    for (int j = 0; j < items.size(); ++j)
        items.at(j)->setForeground(0, j < blue.size() && blue.at(j) ? kBlue : QColor(Qt::black));
    m_restoring = false;
}

void OptionList::removeOption()
{
    Desktop& desktop = m_context.host.services().desktop();
    desktop.setBusy(true);
    for (QTreeWidgetItem* item : m_view->selectedItems())
        delete item;
    desktop.setBusy(false);
    Q_EMIT modified();
}

void OptionList::removeAllOptions()
{
    if (count() == 0)
        return;
    const auto answer = m_context.host.services().desktop().message(
        Language(m_context.host.state()).pick(Texts::get(TextId::removeAllOptions)),
        Desktop::Buttons::YesNo, Desktop::Icon::Question);
    if (answer != Desktop::Answer::Yes)
        return;
    m_view->clear();
    Q_EMIT modified();
}

void OptionList::printOptions()
{
    QStringList printed{QStringLiteral("NO. OPTIONS"), QString()};
    int number = 1;
    for (const QString& key : keys())
        printed.append(QStringLiteral("%1 ").arg(number++, 3, 10, QChar(u'0')) + key);
    const QString path = PrintFile::pathIn(m_context.programFolder);
    if (!PrintFile::write(path, printed)) {
        m_context.host.services().desktop().message(Texts::get(TextId::NoFile).en);
        return;
    }
    PrintFile::showPrintFile(m_context.host.services(), path);
}

void OptionList::fillOptions(const QStringList& lines)
{
    for (const QString& line : lines) {
        if (!itemByKey(line))
            add(line);
    }
}

void OptionList::addCommands(QueryCommands& commands)
{
    commands.add(QStringLiteral("mshowoption"), [this] { showEditor(); });
    commands.add(QStringLiteral("mprintoptions"), [this] { printOptions(); });
    commands.add(QStringLiteral("mremoveoption"), [this] { removeOption(); });
    commands.add(QStringLiteral("mremovealloptions"), [this] { removeAllOptions(); });
}
