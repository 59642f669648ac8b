// The selection options of a query window: the editor row and the line it builds, the
// 72-character rule, duplicates, in-place edits, removal, printing, colouring by My Table,
// menu states, and filling from an opened document.
#include "QueryTestKit.h"
#include "shell/ControlNames.h"

#include "query/document/QueryDocumentFile.h"
#include "shell/EightBitText.h"
#include "window/query/FieldList.h"
#include "window/query/MyTable.h"
#include "window/query/OptionList.h"
#include "window/query/ReportListView.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScopeGuard>
#include <QToolButton>
#include <QtTest>

using namespace ControlNames;

namespace
{
const QString kHint = QStringLiteral("Right click to add option or click on option to edit");
const char* const kOptionCommands[] = {"mprintoptions", "mremoveoption", "mremovealloptions"};
const QColor kBlue(0, 0, 255);
} // namespace

class TestOptionList : public QueryWindowTest
{
    Q_OBJECT

private:
    ReportListView* list() const
    {
        return m_window->findChild<ReportListView*>(Query::kOptionList);
    }
    QComboBox* fieldBox() const { return m_window->findChild<QComboBox*>(Query::kOptionField); }
    QComboBox* opBox() const { return m_window->findChild<QComboBox*>(Query::kOptionOperator); }
    QLineEdit* valueBox() const { return m_window->findChild<QLineEdit*>(Query::kOptionValue); }
    QComboBox* conjunctionBox() const
    {
        return m_window->findChild<QComboBox*>(Query::kOptionConjunction);
    }
    QToolButton* addButton() const { return m_window->findChild<QToolButton*>(Query::kAddOption); }
    QString header() const { return list()->headerItem()->text(0); }
    bool modified() const { return m_kit->workspace.isModified(m_window->slot()); }
    void clearModified() { m_kit->workspace.setModified(m_window, false); }
    bool enabled(const char* command) const
    {
        return m_kit->window.action(QString::fromLatin1(command))->isEnabled();
    }

    [[nodiscard]] bool copy(const QStringList& keys)
    {
        ReportListView* fields = m_window->fields().view();
        fields->clearSelection();
        for (const QString& key : keys) {
            QTreeWidgetItem* item = fields->itemByKey(key);
            if (!item)
                return false;
            item->setSelected(true);
        }
        m_window->perform(QStringLiteral("mcopytomytable"));
        return true;
    }

    void removeFromMyTable(const QString& key)
    {
        ReportListView* myTable = m_window->myTable().view();
        myTable->clearSelection();
        myTable->itemByKey(key)->setSelected(true);
        m_window->myTable().removeSelected();
    }

    // Fills the four boxes as a user would pick and type, then presses Add Option.
    void addOption(const QString& field, const QString& op, const QString& value,
                   const QString& conjunction)
    {
        m_window->options().showEditor();
        fieldBox()->setCurrentIndex(fieldBox()->findText(field));
        opBox()->setCurrentIndex(opBox()->findText(op));
        valueBox()->setText(value);
        conjunctionBox()->setCurrentIndex(conjunctionBox()->findText(conjunction));
        addButton()->click();
    }

    // Types a field, picks EQ, types the value and presses a key in the value box.
    void typeOption(const QString& field, const QString& value, Qt::Key key = Qt::Key_Return)
    {
        m_window->options().showEditor();
        fieldBox()->setEditText(field);
        opBox()->setCurrentIndex(opBox()->findText(QStringLiteral("EQ")));
        valueBox()->setText(value);
        QTest::keyClick(valueBox(), key,
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    }

    void activate()
    {
        m_kit->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_kit->window));
    }

    struct EditorParts {
        QString field, op, value, conjunction;
    };
    EditorParts editorParts() const
    {
        return {fieldBox()->currentText(), opBox()->currentText(), valueBox()->text(),
                conjunctionBox()->currentText()};
    }

    QTreeWidgetItem* option(int row) const { return list()->topLevelItem(row); }

    QString printed()
    {
        m_window->options().printOptions();
        QFile file(QDir(m_kit->home.path()).filePath(QStringLiteral("Fields.txt")));
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("<no print file>");
        return EightBitText::decode(file.readAll());
    }

    QString writeDocument(const QStringList& fields, const QStringList& options)
    {
        QueryDocument document;
        document.rowLimitShown = true;
        document.rowLimit = 20;
        document.fields = fields;
        document.options = options;
        document.fieldCount = static_cast<int>(fields.size());
        document.optionCount = static_cast<int>(options.size());
        const QString path = QDir(m_kit->home.path()).filePath(QStringLiteral("options-doc.txt"));
        QString error;
        if (!QueryDocumentFile::writeFile(path, document, &error))
            return {};
        return path;
    }

private Q_SLOTS:
    void init()
    {
        m_window = m_kit->newWindow();
        QVERIFY(m_window);
        QVERIFY(list());
        QVERIFY(m_window->fields().addTableFields(QStringLiteral("KNA1")));
        m_kit->desktop.messages.clear();
        m_kit->desktop.answers.clear();
        clearModified();
    }

    void showOptionShowsTheEditorWithItsChoices()
    {
        QVERIFY(!m_window->options().editorShown());
        QVERIFY(fieldBox()->isHidden());
        m_window->options().showEditor();
        for (QWidget* control : std::initializer_list<QWidget*>{fieldBox(), opBox(), valueBox(),
                                                                conjunctionBox(), addButton()})
            QVERIFY(!control->isHidden());
        m_window->options().showEditor();
        QVERIFY(m_window->options().editorShown());
        QStringList ops;
        for (int i = 0; i < opBox()->count(); ++i)
            ops.append(opBox()->itemText(i));
        QCOMPARE(ops, QStringList({"EQ", "NE", "LT", "LE", "GT", "GE", "LIKE", "NOT LIKE",
                                   "BETWEEN", "NOT BETWEEN"}));
        QStringList conjunctions;
        for (int i = 0; i < conjunctionBox()->count(); ++i)
            conjunctions.append(conjunctionBox()->itemText(i));
        QCOMPARE(conjunctions, QStringList({"AND", "OR", ""}));
        // Empty boxes say what they are for.
        QCOMPARE(valueBox()->text(), QString());
        QCOMPARE(fieldBox()->currentText(), QString());
        QCOMPARE(fieldBox()->lineEdit()->placeholderText(), QStringLiteral("Field"));
        QCOMPARE(opBox()->placeholderText(), QStringLiteral("Operator"));
        QCOMPARE(valueBox()->placeholderText(), QStringLiteral("'Value'"));
        QCOMPARE(conjunctionBox()->placeholderText(), QStringLiteral("And/Or"));
    }

    void editorPlaceholdersInPortuguese()
    {
        m_kit->closeAllWindows();
        m_kit->state.languageEnglish = false;
        m_kit->state.languagePortuguese = true;
        m_window = m_kit->newWindow();
        m_kit->state.languagePortuguese = false;
        m_kit->state.languageEnglish = true;
        QCOMPARE(fieldBox()->lineEdit()->placeholderText(), QStringLiteral("Campo"));
        QCOMPARE(opBox()->placeholderText(), QStringLiteral("Operador"));
        QCOMPARE(valueBox()->placeholderText(), QStringLiteral("'Valor'"));
        QCOMPARE(conjunctionBox()->placeholderText(), QStringLiteral("E/Ou"));
    }

    void fieldBoxCompletesFromAnyPartOfAKey_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("field name, any case") << "name1" << QStringList{"KNA1-NAME1"};
        QTest::newRow("with the table") << "KNA1-LAND" << QStringList{"KNA1-LAND1"};
        QTest::newRow("several") << "1-" << QStringList{"KNA1-LAND1", "KNA1-NAME1", "KNA1-ORT01"};
        QTest::newRow("nothing") << "MATNR" << QStringList{};
    }

    void fieldBoxCompletesFromAnyPartOfAKey()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, offered);
        QVERIFY(copy({QStringLiteral("KNA1-LAND1"), QStringLiteral("KNA1-NAME1"),
                      QStringLiteral("KNA1-ORT01")}));
        m_window->options().showEditor();
        QVERIFY(fieldBox()->isEditable());
        QCompleter* completer = fieldBox()->completer();
        completer->setCompletionPrefix(typed);
        QStringList shown;
        for (int i = 0; completer->setCurrentRow(i); ++i)
            shown.append(completer->currentCompletion());
        QCOMPARE(shown, offered);
        // A line built from a typed field is what was typed.
        fieldBox()->setEditText(QStringLiteral("KNA1-NAME1"));
        opBox()->setCurrentIndex(opBox()->findText(QStringLiteral("LIKE")));
        valueBox()->setText(QStringLiteral("'A%'"));
        addButton()->click();
        QCOMPARE(m_window->options().lines(), QStringList{QStringLiteral("KNA1-NAME1 LIKE 'A%' ")});
    }

    void fieldBoxListsAtMostAScreenOfFields()
    {
        m_kit->closeAllWindows();
        m_window = m_kit->newWindow();
        QVERIFY(QueryTestKit::copyFields(m_window, {QStringLiteral("ZWIDE-*")}));
        QCOMPARE(fieldBox()->count(), 999);
        m_window->options().showEditor();
        QCOMPARE(fieldBox()->maxVisibleItems(), OptionList::kMostChoices);
        QCOMPARE(fieldBox()->completer()->maxVisibleItems(), OptionList::kMostChoices);
        fieldBox()->showPopup();
        QAbstractItemView* list = fieldBox()->view();
        QTRY_VERIFY(list->isVisible());
        const int rows = list->viewport()->height() / list->sizeHintForRow(0);
        QVERIFY2(rows <= OptionList::kMostChoices, qPrintable(QString::number(rows)));
        QVERIFY(list->window()->height() < list->screen()->availableGeometry().height());
        fieldBox()->hidePopup();
    }

    void addBuildsTheLineFromTheFourBoxes_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("conjunction");
        QTest::addColumn<QString>("line");

        QTest::newRow("equal, and") << "KNA1-LAND1"
                                    << "EQ"
                                    << "'BR'"
                                    << "AND"
                                    << "KNA1-LAND1 EQ 'BR' AND";
        QTest::newRow("empty conjunction ends in a blank") << "KNA1-LAND1"
                                                           << "NE"
                                                           << "'BR'"
                                                           << ""
                                                           << "KNA1-LAND1 NE 'BR' ";
        QTest::newRow("wildcards") << "KNA1-NAME1"
                                   << "LIKE"
                                   << "'%a_b%'"
                                   << "OR"
                                   << "KNA1-NAME1 LIKE '%a_b%' OR";
        QTest::newRow("doubled quote") << "KNA1-NAME1"
                                       << "EQ"
                                       << "'O''Brien'"
                                       << "AND"
                                       << "KNA1-NAME1 EQ 'O''Brien' AND";
        QTest::newRow("non-ASCII letters") << "KNA1-ORT01"
                                           << "EQ"
                                           << "'São Paulo – Ação'"
                                           << ""
                                           << "KNA1-ORT01 EQ 'São Paulo – Ação' ";
        QTest::newRow("range in the value") << "KNA1-NAME1"
                                            << "NOT BETWEEN"
                                            << "'A' AND 'M'"
                                            << "OR"
                                            << "KNA1-NAME1 NOT BETWEEN 'A' AND 'M' OR";
        QTest::newRow("no quotes added") << "KNA1-LAND1"
                                         << "GT"
                                         << "BR"
                                         << ""
                                         << "KNA1-LAND1 GT BR ";
        QTest::newRow("less than") << "KNA1-NAME1"
                                   << "LT"
                                   << "'M'"
                                   << "AND"
                                   << "KNA1-NAME1 LT 'M' AND";
        QTest::newRow("greater or equal") << "KNA1-ORT01"
                                          << "GE"
                                          << "'Porto'"
                                          << ""
                                          << "KNA1-ORT01 GE 'Porto' ";
    }

    void unbalancedQuoteIsRefused_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        const QString en = QStringLiteral(
            "The value %1 has an unbalanced quote, which the system would refuse. Write the "
            "value between quotes and double a quote inside it: 'O''Brien'.");
        QTest::newRow("no closing quote") << "'BR"
                                          << "EN" << en.arg("'BR") << "Add Option";
        QTest::newRow("a lone quote") << "'"
                                      << "EN" << en.arg("'") << "Add Option";
        QTest::newRow("an undoubled quote inside") << "'O'Brien'"
                                                   << "EN" << en.arg("'O'Brien'") << "Add Option";
        QTest::newRow("a range missing a quote") << "'A' AND 'M"
                                                 << "EN" << en.arg("'A' AND 'M") << "Add Option";
        QTest::newRow("in Portuguese")
            << "'BR"
            << "PT"
            << "O valor 'BR tem uma aspa sem par, que o sistema recusaria. Escreva o valor entre "
               "aspas e dobre uma aspa dentro dele: 'O''Brien'."
            << "Adicionar Opção";
    }

    void unbalancedQuoteIsRefused()
    {
        QFETCH(QString, value);
        QFETCH(QString, language);
        QFETCH(QString, message);
        QFETCH(QString, title);
        QVERIFY(copy({QStringLiteral("KNA1-LAND1")}));
        m_kit->state.languageEnglish = language == u"EN";
        m_kit->state.languagePortuguese = language == u"PT";
        addOption(QStringLiteral("KNA1-LAND1"), QStringLiteral("EQ"), value, QStringLiteral("AND"));
        m_kit->state.languageEnglish = true;
        m_kit->state.languagePortuguese = false;
        QCOMPARE(m_kit->desktop.messageTexts(), QStringList{message});
        QCOMPARE(m_kit->desktop.messages.first().title, title);
        QCOMPARE(m_kit->desktop.messages.first().icon, Desktop::Icon::Warning);
        QCOMPARE(m_window->options().count(), 0);
        // The editor keeps the line for the user to mend.
        QVERIFY(m_window->options().editorShown());
        QCOMPARE(valueBox()->text(), value);
    }

    void addBuildsTheLineFromTheFourBoxes()
    {
        QFETCH(QString, field);
        QFETCH(QString, op);
        QFETCH(QString, value);
        QFETCH(QString, conjunction);
        QFETCH(QString, line);

        QVERIFY(copy({QStringLiteral("KNA1-LAND1"), QStringLiteral("KNA1-NAME1"),
                      QStringLiteral("KNA1-ORT01")}));
        clearModified();
        addOption(field, op, value, conjunction);
        QCOMPARE(m_window->options().lines(), QStringList{line});
        QCOMPARE(m_window->options().keys(), QStringList{line});
        QVERIFY(!m_window->options().editorShown());
        QCOMPARE(header(), QStringLiteral("Options > 1"));
        QVERIFY(modified());
        QVERIFY(m_kit->desktop.messages.isEmpty());
        // The saved document holds the line as built.
        QCOMPARE(m_window->document().options, QStringList{line});
    }

    void typedFieldBecomesItsKey_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key"); // the key in the value box, Return or keypad Enter
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("message");
        const QString line = QStringLiteral("KNA1-KUNNR EQ '0000000001' ");
        QTest::newRow("field name in lower case") << "kunnr" << int(Qt::Key_Return) << line << "";
        QTest::newRow("key in lower case") << "kna1-kunnr" << int(Qt::Key_Return) << line << "";
        QTest::newRow("the key, keypad Enter") << "KNA1-KUNNR" << int(Qt::Key_Enter) << line << "";
        QTest::newRow("blanks around") << "  Kunnr " << int(Qt::Key_Return) << line << "";
        QTest::newRow("no such field")
            << "matnr" << int(Qt::Key_Return) << ""
            << "The field matnr is unknown: My Table has no such field. Choose one that the "
               "field box offers.";
        QTest::newRow("part of a key")
            << "KNA1-KUNN" << int(Qt::Key_Return) << ""
            << "The field KNA1-KUNN is unknown: My Table has no such field. Choose one that the "
               "field box offers.";
        QTest::newRow("a field of a table not in My Table")
            << "LFA1-KUNNR" << int(Qt::Key_Return) << ""
            << "The field LFA1-KUNNR is unknown: My Table has no such field. Choose one that the "
               "field box offers.";
        QTest::newRow("in two tables")
            << "land1" << int(Qt::Key_Return) << ""
            << "The field land1 is in more than one table of My Table: choose one of KNA1-LAND1, "
               "LFA1-LAND1.";
    }

    void typedFieldBecomesItsKey()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, line);
        QFETCH(QString, message);
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1")}));
        QVERIFY(m_window->fields().addTableFields(QStringLiteral("LFA1")));
        QVERIFY(copy({QStringLiteral("LFA1-LAND1")}));
        typeOption(typed, QStringLiteral("'0000000001'"), Qt::Key(key));
        if (message.isEmpty()) {
            QCOMPARE(m_window->options().lines(), QStringList{line});
            QVERIFY(m_kit->desktop.messages.isEmpty());
            QVERIFY(!m_window->options().editorShown());
            return;
        }
        // Refused at once, not by the read, and the editor keeps what was typed.
        QCOMPARE(m_kit->desktop.messageTexts(), QStringList{message});
        QCOMPARE(m_kit->desktop.messages.first().title, QStringLiteral("Add Option"));
        QCOMPARE(m_window->options().count(), 0);
        QVERIFY(m_window->options().editorShown());
        QCOMPARE(fieldBox()->currentText(), typed);
    }

    void unknownFieldInPortuguese()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR")}));
        m_kit->state.languageEnglish = false;
        m_kit->state.languagePortuguese = true;
        typeOption(QStringLiteral("matnr"), QStringLiteral("'1'"));
        m_kit->state.languagePortuguese = false;
        m_kit->state.languageEnglish = true;
        QCOMPARE(m_kit->desktop.messageTexts(),
                 QStringList{QStringLiteral("O campo matnr é desconhecido: Minha Tabela não tem "
                                            "esse campo. Escolha um que a caixa de campos "
                                            "oferece.")});
        QCOMPARE(m_kit->desktop.messages.first().title, QStringLiteral("Adicionar Opção"));
    }

    void valueBoxShowsTheFieldsLengthInQuotes_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("customer number") << "KNA1-KUNNR"
                                         << "'0000000001'";
        QTest::newRow("typed in lower case") << "kunnr"
                                             << "'0000000001'";
        QTest::newRow("postal code") << "KNA1-PSTLZ"
                                     << "'0123456789'";
        QTest::newRow("country") << "KNA1-LAND1"
                                 << "'BRA'";
        QTest::newRow("telephone") << "KNA1-TELF1"
                                   << "'0123456789012345'";
    }

    void valueBoxShowsTheFieldsLengthInQuotes()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1"),
                      QStringLiteral("KNA1-PSTLZ"), QStringLiteral("KNA1-TELF1")}));
        QVERIFY(QTest::qWaitForWindowExposed(&m_kit->window));
        // A window with room in the row for the field box and the value, not for the layout's
        // own shares of it.
        m_kit->window.resize(1600, 800);
        m_window->parentWidget()->resize(1200, 700);
        m_window->options().showEditor();
        fieldBox()->setEditText(field);
        valueBox()->setText(value);
        // The cursor moves from the first character past the last one without the text
        // scrolling out of view.
        const auto cursorX = [this] {
            return valueBox()->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
        };
        // The line edit scrolls its text as it paints.
        valueBox()->home(false);
        valueBox()->repaint();
        const int first = cursorX();
        valueBox()->end(false);
        valueBox()->repaint();
        const int advance = valueBox()->fontMetrics().horizontalAdvance(value);
        QVERIFY2(cursorX() - first >= advance,
                 qPrintable(QStringLiteral("box %1 px, cursor moved %2, text %3 px")
                                .arg(valueBox()->width())
                                .arg(cursorX() - first)
                                .arg(advance)));
        // The field box still shows the longest key it offers.
        const int key = fieldBox()->fontMetrics().horizontalAdvance(QStringLiteral("KNA1-KUNNR"));
        QVERIFY(fieldBox()->lineEdit()->width() >= key);
    }

    void deleteKeyRemovesTheSelectedLines()
    {
        QVERIFY(copy({QStringLiteral("KNA1-LAND1")}));
        addOption("KNA1-LAND1", "EQ", "'BR'", "OR");
        addOption("KNA1-LAND1", "EQ", "'DE'", "OR");
        addOption("KNA1-LAND1", "EQ", "'US'", "");
        list()->clearSelection();
        option(0)->setSelected(true);
        option(2)->setSelected(true);
        clearModified();
        QTest::keyClick(list(), Qt::Key_Delete);
        QCOMPARE(m_window->options().lines(), QStringList{QStringLiteral("KNA1-LAND1 EQ 'DE' OR")});
        QCOMPARE(header(), QStringLiteral("Options > 1"));
        QVERIFY(modified());
        // Nothing selected: nothing goes.
        list()->clearSelection();
        QTest::keyClick(list(), Qt::Key_Delete);
        QCOMPARE(m_window->options().count(), 1);
        QVERIFY(m_kit->desktop.messages.isEmpty());
    }

    void aLineLoadsBackIntoTheEditor_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("conjunction");
        QTest::newRow("F2") << "KNA1-LAND1 EQ 'BR' AND"
                            << "F2"
                            << "KNA1-LAND1"
                            << "EQ"
                            << "'BR'"
                            << "AND";
        QTest::newRow("double click") << "KNA1-LAND1 EQ 'BR' AND"
                                      << "double click"
                                      << "KNA1-LAND1"
                                      << "EQ"
                                      << "'BR'"
                                      << "AND";
        QTest::newRow("two-word operator, range") << "KNA1-NAME1 NOT BETWEEN 'A' AND 'M' OR"
                                                  << "F2"
                                                  << "KNA1-NAME1"
                                                  << "NOT BETWEEN"
                                                  << "'A' AND 'M'"
                                                  << "OR";
        QTest::newRow("empty conjunction") << "KNA1-NAME1 NOT LIKE 'A%' "
                                           << "F2"
                                           << "KNA1-NAME1"
                                           << "NOT LIKE"
                                           << "'A%'"
                                           << "";
        QTest::newRow("no field") << " GE 'X' OR"
                                  << "F2"
                                  << ""
                                  << "GE"
                                  << "'X'"
                                  << "OR";
        QTest::newRow("text edited in place") << "KNA1-NAME1 = 'X'"
                                              << "F2"
                                              << "KNA1-NAME1"
                                              << ""
                                              << "= 'X'"
                                              << "";
    }

    void aLineLoadsBackIntoTheEditor()
    {
        QFETCH(QString, text);
        QFETCH(QString, how);
        QFETCH(QString, field);
        QFETCH(QString, op);
        QFETCH(QString, value);
        QFETCH(QString, conjunction);
        QVERIFY(copy({QStringLiteral("KNA1-LAND1"), QStringLiteral("KNA1-NAME1")}));
        addOption("KNA1-LAND1", "EQ", "'DE'", "OR");
        addOption("KNA1-LAND1", "EQ", "'US'", "");
        option(1)->setText(0, text); // the line to change, between two others
        addOption("KNA1-LAND1", "EQ", "'AR'", "");
        activate();
        list()->setFocus();
        list()->setCurrentItem(option(1));
        if (how == u"F2") {
            QTest::keyClick(list(), Qt::Key_F2);
        } else {
            const QPoint at = list()->visualItemRect(option(1)).center();
            // As the system delivers it: press, release, double click, release.
            QTest::mousePress(list()->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(list()->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(list()->viewport(), Qt::LeftButton, {}, at);
        }
        QVERIFY(m_window->options().editorShown());
        const EditorParts parts = editorParts();
        QCOMPARE(parts.field, field);
        QCOMPARE(parts.op, op);
        QCOMPARE(parts.value, value);
        QCOMPARE(parts.conjunction, conjunction);
        QVERIFY(valueBox()->hasFocus());
        // The line is changed where it stands; nothing is added, and no in-place edit opens.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QVERIFY(!list()->isPersistentEditorOpen(option(1)) &&
                !list()->viewport()->findChild<QLineEdit*>());
        fieldBox()->setEditText(QStringLiteral("name1"));
        opBox()->setCurrentIndex(opBox()->findText(QStringLiteral("LIKE")));
        valueBox()->setText(QStringLiteral("'B%'"));
        clearModified();
        QTest::keyClick(valueBox(), Qt::Key_Return);
        const QString changed = QStringLiteral("KNA1-NAME1 LIKE 'B%' ") + conjunction;
        QCOMPARE(m_window->options().lines(),
                 QStringList({"KNA1-LAND1 EQ 'DE' OR", changed, "KNA1-LAND1 EQ 'AR' "}));
        QCOMPARE(m_window->options().keys(), m_window->options().lines());
        QVERIFY(modified());
        QVERIFY(!m_window->options().editorShown());
        // The next line added is a new one again.
        addOption("KNA1-LAND1", "EQ", "'CL'", "");
        QCOMPARE(m_window->options().count(), 4);
    }

    void aLineChangedIntoAnotherStandsOnce()
    {
        QVERIFY(copy({QStringLiteral("KNA1-LAND1")}));
        addOption("KNA1-LAND1", "EQ", "'DE'", "OR");
        addOption("KNA1-LAND1", "EQ", "'US'", "OR");
        m_window->options().change(option(1));
        valueBox()->setText(QStringLiteral("'DE'"));
        QTest::keyClick(valueBox(), Qt::Key_Return);
        QCOMPARE(m_window->options().lines(), QStringList{QStringLiteral("KNA1-LAND1 EQ 'DE' OR")});
        QVERIFY(m_kit->desktop.messages.isEmpty());
    }

    void showOptionPutsTheFocusIntoTheFieldBox()
    {
        activate();
        m_window->myTable().view()->setFocus();
        m_kit->window.perform(QStringLiteral("mshowoption"));
        QVERIFY(m_window->options().editorShown());
        QTRY_VERIFY(fieldBox()->hasFocus());
        // Shown already: the focus still goes there.
        m_window->myTable().view()->setFocus();
        m_kit->window.perform(QStringLiteral("mshowoption"));
        QTRY_VERIFY(fieldBox()->hasFocus());
    }

    void lengthLimit_data()
    {
        QTest::addColumn<int>("valueLength");
        QTest::addColumn<QString>("message");
        // "KNA1-NAME1 EQ " + value + " AND" has 18 characters besides the value.
        QTest::newRow("71") << 53 << QString();
        QTest::newRow("72") << 54 << QString();
        QTest::newRow("73") << 55 << QStringLiteral("Option has 73, more than 72 characters");
        QTest::newRow("100") << 82 << QStringLiteral("Option has 100, more than 72 characters");
    }

    void lengthLimit()
    {
        QFETCH(int, valueLength);
        QFETCH(QString, message);
        QVERIFY(copy({QStringLiteral("KNA1-NAME1")}));
        const QString value = u'\'' + QString(valueLength - 2, u'x') + u'\'';
        addOption(QStringLiteral("KNA1-NAME1"), QStringLiteral("EQ"), value, QStringLiteral("AND"));
        if (message.isEmpty()) {
            QCOMPARE(m_window->options().count(), 1);
            QCOMPARE(m_window->options().lines().first().size(), valueLength + 18);
            QVERIFY(!m_window->options().editorShown());
            QVERIFY(m_kit->desktop.messages.isEmpty());
            return;
        }
        QCOMPARE(m_kit->desktop.messageTexts(), QStringList{message});
        QCOMPARE(m_kit->desktop.messages.first().buttons, Desktop::Buttons::Ok);
        QCOMPARE(m_window->options().count(), 0);
        // The editor stays open with what the user typed.
        QVERIFY(m_window->options().editorShown());
        QCOMPARE(valueBox()->text(), value);
        QCOMPARE(fieldBox()->currentText(), QStringLiteral("KNA1-NAME1"));
    }

    void untouchedEditorOnlyCloses()
    {
        // A new window: nothing picked or typed in any box.
        m_window->options().showEditor();
        addButton()->click();
        QCOMPARE(m_window->options().count(), 0);
        QVERIFY(!m_window->options().editorShown());
        QVERIFY(m_kit->desktop.messages.isEmpty());
    }

    void threeBlanksOnlyCloseTheEditor()
    {
        m_window->options().showEditor();
        fieldBox()->setCurrentIndex(-1);
        opBox()->setCurrentIndex(-1);
        valueBox()->clear();
        conjunctionBox()->setCurrentIndex(conjunctionBox()->findText(QString()));
        addButton()->click();
        QCOMPARE(m_window->options().count(), 0);
        QVERIFY(!m_window->options().editorShown());
        QVERIFY(m_kit->desktop.messages.isEmpty());
        QCOMPARE(header(), QStringLiteral("Options > 0"));
    }

    void duplicatesAreSkippedSilently()
    {
        QVERIFY(copy({QStringLiteral("KNA1-LAND1")}));
        addOption("KNA1-LAND1", "EQ", "'BR'", "OR");
        addOption("KNA1-LAND1", "EQ", "'DE'", "OR");
        addOption("KNA1-LAND1", "EQ", "'BR'", "OR");
        QCOMPARE(m_window->options().lines(),
                 QStringList({"KNA1-LAND1 EQ 'BR' OR", "KNA1-LAND1 EQ 'DE' OR"}));
        QVERIFY(!m_window->options().editorShown());
        QVERIFY(m_kit->desktop.messages.isEmpty());
        QCOMPARE(header(), QStringLiteral("Options > 2"));
    }

    void inPlaceEditChangesTheTextButNotTheKey()
    {
        QVERIFY(copy({QStringLiteral("KNA1-LAND1")}));
        addOption("KNA1-LAND1", "EQ", "'BR'", "OR");
        addOption("KNA1-LAND1", "EQ", "'DE'", "");
        clearModified();
        option(0)->setText(0, QStringLiteral("KNA1-LAND1 EQ 'AR' OR"));
        QVERIFY(modified());
        QCOMPARE(m_window->options().lines(),
                 QStringList({"KNA1-LAND1 EQ 'AR' OR", "KNA1-LAND1 EQ 'DE' "}));
        QCOMPARE(m_window->options().keys(),
                 QStringList({"KNA1-LAND1 EQ 'BR' OR", "KNA1-LAND1 EQ 'DE' "}));
        QCOMPARE(m_window->document().options,
                 QStringList({"KNA1-LAND1 EQ 'AR' OR", "KNA1-LAND1 EQ 'DE' "}));
        QCOMPARE(printed(), QStringLiteral("NO. OPTIONS\r\n"
                                           "\r\n"
                                           "001 KNA1-LAND1 EQ 'BR' OR\r\n"
                                           "002 KNA1-LAND1 EQ 'DE' \r\n"));
        // The old key still stands for the line: adding it again adds nothing.
        addOption("KNA1-LAND1", "EQ", "'BR'", "OR");
        QCOMPARE(m_window->options().count(), 2);
    }

    void inPlaceEditLongerThan72IsRefused()
    {
        QVERIFY(copy({QStringLiteral("KNA1-LAND1")}));
        addOption("KNA1-LAND1", "EQ", "'BR'", "OR");
        option(0)->setText(0, QStringLiteral("KNA1-LAND1 EQ 'AR' OR"));
        clearModified();
        const QString tooLong = QStringLiteral("KNA1-LAND1 EQ '") + QString(57, u'x') + u'\'';
        QCOMPARE(tooLong.size(), 73);
        option(0)->setText(0, tooLong);
        QCOMPARE(m_kit->desktop.messageTexts(),
                 QStringList{QStringLiteral("Option has 73, more than 72 characters")});
        // The last accepted text stays.
        QCOMPARE(m_window->options().lines(), QStringList{QStringLiteral("KNA1-LAND1 EQ 'AR' OR")});
        QVERIFY(modified());

        // The same through the list's own editor, as the user types it.
        QVERIFY(QTest::qWaitForWindowExposed(&m_kit->window));
        list()->setCurrentItem(option(0));
        list()->editItem(option(0), 0);
        auto* editor = list()->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(tooLong + u'y');
        QTest::keyClick(editor, Qt::Key_Return); // the view commits on its next turn
        QTRY_COMPARE(m_kit->desktop.messages.size(), 2);
        QCOMPARE(m_kit->desktop.messageTexts().last(),
                 QStringLiteral("Option has 74, more than 72 characters"));
        QCOMPARE(m_window->options().lines(), QStringList{QStringLiteral("KNA1-LAND1 EQ 'AR' OR")});
    }

    void removeOptionRemovesTheSelectedLines()
    {
        QVERIFY(copy({QStringLiteral("KNA1-LAND1")}));
        addOption("KNA1-LAND1", "EQ", "'BR'", "OR");
        addOption("KNA1-LAND1", "EQ", "'DE'", "OR");
        addOption("KNA1-LAND1", "EQ", "'US'", "");
        option(0)->setText(0, QStringLiteral("KNA1-LAND1 EQ 'AR' OR")); // text differs from key
        list()->clearSelection();
        option(0)->setSelected(true);
        option(2)->setSelected(true);
        clearModified();
        m_window->options().removeOption();
        QCOMPARE(m_window->options().lines(), QStringList{QStringLiteral("KNA1-LAND1 EQ 'DE' OR")});
        QCOMPARE(header(), QStringLiteral("Options > 1"));
        QVERIFY(modified());

        list()->clearSelection();
        m_window->options().removeOption();
        QCOMPARE(m_window->options().count(), 1);
        QVERIFY(m_kit->desktop.messages.isEmpty());
    }

    void removeAllAsksFirst()
    {
        QVERIFY(copy({QStringLiteral("KNA1-LAND1")}));
        addOption("KNA1-LAND1", "EQ", "'BR'", "OR");
        addOption("KNA1-LAND1", "EQ", "'DE'", "");
        clearModified();

        m_kit->desktop.answers.enqueue(Desktop::Answer::No);
        m_window->options().removeAllOptions();
        QCOMPARE(m_kit->desktop.messageTexts(),
                 QStringList{QStringLiteral("Are you sure you want to remove all options?")});
        QCOMPARE(m_kit->desktop.messages.first().buttons, Desktop::Buttons::YesNo);
        QCOMPARE(m_window->options().count(), 2);
        QVERIFY(!modified());

        m_kit->desktop.answers.enqueue(Desktop::Answer::Yes);
        m_window->options().removeAllOptions();
        QCOMPARE(m_window->options().count(), 0);
        QCOMPARE(header(), QStringLiteral("Options > 0"));
        QVERIFY(modified());
        for (const char* command : kOptionCommands)
            QVERIFY2(!enabled(command), command);
        QCOMPARE(list()->toolTip(), kHint);

        // Nothing to remove: no question.
        m_kit->desktop.messages.clear();
        m_window->options().removeAllOptions();
        QVERIFY(m_kit->desktop.messages.isEmpty());
    }

    void menuStatesAndHintFollowTheList()
    {
        for (const char* command : kOptionCommands)
            QVERIFY2(!enabled(command), command);
        QVERIFY(enabled("mshowoption"));
        QCOMPARE(list()->toolTip(), kHint);

        QVERIFY(copy({QStringLiteral("KNA1-LAND1")}));
        addOption("KNA1-LAND1", "EQ", "'BR'", "");
        for (const char* command : kOptionCommands)
            QVERIFY2(enabled(command), command);
        QVERIFY(list()->toolTip().isEmpty());

        list()->clearSelection();
        option(0)->setSelected(true);
        m_window->options().removeOption();
        for (const char* command : kOptionCommands)
            QVERIFY2(!enabled(command), command);
        QVERIFY(enabled("mshowoption"));
        QCOMPARE(list()->toolTip(), kHint);
    }

    void portugueseHintAndQuestion()
    {
        m_kit->state.languageEnglish = false;
        m_kit->state.languagePortuguese = true;
        const auto english = qScopeGuard([this] {
            m_kit->state.languagePortuguese = false;
            m_kit->state.languageEnglish = true;
        });
        m_window = m_kit->newWindow();
        QVERIFY(m_window);
        QCOMPARE(list()->toolTip(), QStringLiteral("Botão direito para adicionar opção ou "
                                                   "clique na opção para editar"));
        QVERIFY(m_window->fields().addTableFields(QStringLiteral("KNA1")));
        QVERIFY(copy({QStringLiteral("KNA1-NAME1")}));
        addOption("KNA1-NAME1", "EQ", u'\'' + QString(60, u'x') + u'\'', "AND");
        m_kit->desktop.answers.enqueue(Desktop::Answer::No);
        addOption("KNA1-NAME1", "EQ", "'x'", "AND");
        m_window->options().removeAllOptions();
        // The length message has no Portuguese form.
        QCOMPARE(m_kit->desktop.messageTexts(),
                 QStringList({"Option has 80, more than 72 characters",
                              "Tem certeza de que deseja remover todas opções?"}));
    }

    void linesNamingAMyTableFieldAreBlue()
    {
        QVERIFY(copy({QStringLiteral("KNA1-LAND1")}));
        addOption("KNA1-LAND1", "EQ", "'BR'", "AND");
        m_window->options().showEditor();
        fieldBox()->setCurrentIndex(-1);
        opBox()->setCurrentIndex(opBox()->findText(QStringLiteral("EQ")));
        valueBox()->setText(QStringLiteral("'X'"));
        addButton()->click(); // " EQ 'X' AND": names no field
        QCOMPARE(m_window->options().count(), 2);
        QCOMPARE(option(0)->foreground(0).color(), kBlue);
        QCOMPARE(option(0)->toolTip(0), QStringLiteral("Country"));
        QCOMPARE(option(1)->foreground(0).color(), QColor(Qt::black));

        removeFromMyTable(QStringLiteral("KNA1-LAND1"));
        QCOMPARE(option(0)->foreground(0).color(), QColor(Qt::black));

        // Case-sensitive substring of the option text.
        option(1)->setText(0, QStringLiteral("kna1-name1 EQ 'X' AND"));
        QVERIFY(copy({QStringLiteral("KNA1-NAME1")}));
        QCOMPARE(option(1)->foreground(0).color(), QColor(Qt::black));
        option(1)->setText(0, QStringLiteral("KNA1-NAME1 EQ 'X' AND"));
        QVERIFY(copy({QStringLiteral("KNA1-LAND1")}));
        QCOMPARE(option(0)->foreground(0).color(), kBlue);
        QCOMPARE(option(1)->foreground(0).color(), kBlue);
        QCOMPARE(option(1)->toolTip(0), QStringLiteral("Name"));
    }

    void openingADocumentFillsWithoutMarkingModified()
    {
        const QString path = writeDocument(
            {QStringLiteral("C003 KNA1-LAND1 Country"), QStringLiteral("C035 KNA1-NAME1 Name")},
            {QStringLiteral("KNA1-LAND1 EQ 'BR' OR"), QStringLiteral("KNA1-NAME1 LIKE 'A%' "),
             QStringLiteral("KNA1-LAND1 EQ 'BR' OR"), QStringLiteral("LFA1-LAND1 EQ 'DE' ")});
        QVERIFY(!path.isEmpty());
        m_kit->desktop.files.enqueue(path);
        QCOMPARE(m_kit->workspace.openQuery(), 1);
        m_window = qobject_cast<QueryWindow*>(m_kit->window.activeQueryWindow());
        QVERIFY(m_window);
        QVERIFY(m_window->filePath() == path);

        QCOMPARE(m_window->myTable().items().size(), 2);
        QCOMPARE(m_window->myTable().items().at(1).key, QStringLiteral("KNA1-NAME1"));
        QCOMPARE(
            m_window->options().lines(),
            QStringList({"KNA1-LAND1 EQ 'BR' OR", "KNA1-NAME1 LIKE 'A%' ", "LFA1-LAND1 EQ 'DE' "}));
        QCOMPARE(header(), QStringLiteral("Options > 3"));
        QCOMPARE(option(0)->foreground(0).color(), kBlue);
        QCOMPARE(option(1)->toolTip(0), QStringLiteral("Name"));
        QCOMPARE(option(2)->foreground(0).color(), QColor(Qt::black));
        for (const char* command : kOptionCommands)
            QVERIFY2(enabled(command), command);
        QVERIFY(!modified());

        list()->clearSelection();
        option(2)->setSelected(true);
        m_window->options().removeOption();
        QVERIFY(modified());
    }
};

QTEST_MAIN(TestOptionList)
#include "tst_optionlist.moc"
