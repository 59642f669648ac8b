#include "QueryTestKit.h"
#include "shell/ControlNames.h"
#include "window/query/TableTreeController.h"

#include "shell/RecentDocuments.h"
#include "window/main/StatusPanels.h"
#include "window/query/FieldList.h"
#include "window/query/MyTable.h"
#include "window/query/ReportListView.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>

using namespace ControlNames;

Q_DECLARE_METATYPE(Desktop::Answer)

namespace
{
const QString kTextFilter = QStringLiteral("Text (*.txt)|*.txt|All Files (*.*)|*.*");

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(ZORV_TEST_DATA "/query/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList captions(QueryTestKit& kit)
{
    QStringList titles;
    for (QMdiSubWindow* sub : kit.window.workspace()->subWindowList())
        titles.append(sub->widget()->windowTitle());
    return titles;
}

int openWindows(QueryTestKit& kit)
{
    return static_cast<int>(kit.window.workspace()->subWindowList().size());
}

QueryWindow* active(QueryTestKit& kit)
{
    return qobject_cast<QueryWindow*>(kit.window.activeQueryWindow());
}

void activate(QueryTestKit& kit, QueryWindow* window)
{
    kit.window.workspace()->setActiveSubWindow(
        qobject_cast<QMdiSubWindow*>(window->parentWidget()));
}

// Closes a window as its close button does; true when it went.
bool closeWindow(QueryWindow* window)
{
    const bool closed = window->parentWidget()->close();
    settle();
    return closed;
}

// A field copied into My Table, as Copy to My Table hands it over.
void addField(QueryWindow* window, const QString& key, const QString& type, int length,
              const QString& text)
{
    window->myTable().addFields({{key, type, length, text}});
}

QStringList myTableKeys(QueryWindow* window)
{
    QStringList keys;
    for (const ReadPlan::Field& item : window->myTable().items())
        keys.append(item.key);
    return keys;
}

bool modified(QueryTestKit& kit, QueryWindow* window)
{
    return kit.workspace.isModified(window->slot());
}

bool saveEnabled(QueryTestKit& kit)
{
    return kit.window.action(QStringLiteral("msaveqtable"))->isEnabled() &&
           kit.window.action(QStringLiteral("msaveasqtable"))->isEnabled();
}

bool saveDisabled(QueryTestKit& kit)
{
    return !kit.window.action(QStringLiteral("msaveqtable"))->isEnabled() &&
           !kit.window.action(QStringLiteral("msaveasqtable"))->isEnabled();
}

QByteArray document(const QString& exportFile, bool singleClick, bool rowLimitShown, int rowLimit,
                    const QStringList& fields)
{
    QByteArray bytes;
    const auto boolean = [](bool on) { return on ? QByteArray("True") : QByteArray("False"); };
    bytes += "MyTableF     " + exportFile.toLatin1() + "\r\n";
    bytes += "ChSsl        " + boolean(singleClick) + "\r\n";
    bytes += "ChRow        " + boolean(rowLimitShown) + "\r\n";
    bytes += "sRows         " + QByteArray::number(rowLimit) + " \r\n";
    bytes += "SFI           " + QByteArray::number(fields.size()) + " \r\n";
    for (int i = 0; i < fields.size(); ++i)
        bytes += "ssField  " + QByteArray::number(i + 1).rightJustified(3, '0') + ' ' +
                 fields.at(i).toLatin1() + "\r\n";
    bytes += "SOP           0 \r\n";
    return bytes;
}

const QStringList kTwelveKeys = {"KNA1-MANDT", "KNA1-KUNNR", "KNA1-LAND1", "KNA1-NAME1",
                                 "KNA1-NAME2", "KNA1-ORT01", "KNA1-PSTLZ", "KNA1-REGIO",
                                 "KNA1-STRAS", "KNA1-TELF1", "KNA1-ERDAT", "KNA1-ERNAM"};

} // namespace

class TestQueryWorkspace : public QObject
{
    Q_OBJECT

    QTemporaryDir m_files;

    // The fixture copied where the test may change it.
    QString copyOfFixture(const QString& name)
    {
        const QString path = m_files.filePath(name);
        QFile::remove(path);
        if (!writeFile(path, fixture("twelve-fields.txt")))
            return {};
        return path;
    }

    // Opens a document through the File menu's Open.
    QueryWindow* openDocument(QueryTestKit& kit, const QString& path)
    {
        kit.desktop.files.enqueue(path);
        kit.window.perform(QStringLiteral("mopenqtable"));
        return active(kit);
    }

    // The File menu as the user opens it: the entries after the static items.
    static QStringList recentEntries(QueryTestKit& kit)
    {
        QMenu* file = kit.window.menu(QStringLiteral("mfile"));
        Q_EMIT file->aboutToShow();
        QStringList entries;
        for (QAction* action : file->actions()) {
            if (action->objectName() == Main::recentDocument(int(entries.size()) + 1))
                entries.append(action->text());
        }
        return entries;
    }

    static QAction* recentEntry(QueryTestKit& kit, int number)
    {
        QMenu* file = kit.window.menu(QStringLiteral("mfile"));
        Q_EMIT file->aboutToShow();
        return file->findChild<QAction*>(Main::recentDocument(number));
    }

private Q_SLOTS:
    void init() { QVERIFY(m_files.isValid()); }

    // Slots and captions

    void captionsNumberTheWindows()
    {
        QueryTestKit kit;
        QVERIFY(saveDisabled(kit));
        kit.window.perform(QStringLiteral("mnewqtable"));
        kit.window.perform(QStringLiteral("mnewqtable"));
        kit.window.perform(QStringLiteral("mnewqtable"));
        QCOMPARE(captions(kit), (QStringList{"Quillon1", "Quillon2", "Quillon3"}));
        QCOMPARE(kit.workspace.queryCount(), 3);
        QCOMPARE(kit.workspace.activeSlot(), 3);
        QCOMPARE(active(kit)->windowTitle(), QStringLiteral("Quillon3"));
        QVERIFY(saveEnabled(kit));
        for (int slot = 1; slot <= 3; ++slot)
            QVERIFY(!kit.workspace.isModified(slot));
    }

    void newAfterClosingOpensAnotherWindow()
    {
        QueryTestKit kit;
        kit.newWindow();
        QueryWindow* second = kit.newWindow();
        QueryWindow* third = kit.newWindow();
        QVERIFY(closeWindow(second));
        QCOMPARE(kit.workspace.queryCount(), 2);
        QCOMPARE(openWindows(kit), 2);

        QueryWindow* created = kit.newWindow();
        QCOMPARE(openWindows(kit), 3);
        QVERIFY(created != third);
        const QStringList titles = captions(kit);
        QCOMPARE(QSet<QString>(titles.begin(), titles.end()).size(), 3);
        QVERIFY(created->windowTitle().startsWith(QStringLiteral("Quillon")));
        QCOMPARE(kit.workspace.activeSlot(), created->slot());

        // With every window closed the numbering starts again and panel 1 is cleared.
        kit.window.statusPanels()->setMessage(QStringLiteral("something"));
        for (QMdiSubWindow* sub : kit.window.workspace()->subWindowList())
            QVERIFY(closeWindow(qobject_cast<QueryWindow*>(sub->widget())));
        QVERIFY(kit.window.statusPanels()->message().isEmpty());
        QCOMPARE(kit.workspace.queryCount(), 0);
        QCOMPARE(kit.newWindow()->windowTitle(), QStringLiteral("Quillon1"));
    }

    void twentyFirstNewBringsSlotOneToFront()
    {
        QueryTestKit kit;
        kit.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&kit.window));
        for (int i = 1; i <= 20; ++i)
            QCOMPARE(kit.newWindow()->windowTitle(), QStringLiteral("Quillon%1").arg(i));
        QueryWindow* first = kit.workspace.window(1);
        QVERIFY(first);
        QCOMPARE(kit.workspace.activeSlot(), 20);

        kit.window.perform(QStringLiteral("mnewqtable"));
        QCOMPARE(openWindows(kit), 20);
        QCOMPARE(kit.workspace.queryCount(), 1);
        QCOMPARE(kit.window.activeQueryWindow(), first);
        QCOMPARE(kit.workspace.activeSlot(), 1);
    }

    // At twenty windows New and Open say why nothing new opens, in the same words; Open asks for
    // no document it could not show, and the status line claims nothing.
    void windowLimitIsSaid_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("portuguese");
        QTest::addColumn<QString>("message");
        const QString en =
            QStringLiteral("Twenty query windows are open: close one to open another.");
        const QString pt =
            QStringLiteral("Vinte janelas de consulta estão abertas: feche uma para abrir outra.");
        QTest::newRow("New") << "mnewqtable" << false << en;
        QTest::newRow("Open") << "mopenqtable" << false << en;
        QTest::newRow("Open, Portuguese") << "mopenqtable" << true << pt;
    }
    void windowLimitIsSaid()
    {
        QFETCH(QString, command);
        QFETCH(bool, portuguese);
        QFETCH(QString, message);
        QueryTestKit kit;
        kit.state.languageEnglish = !portuguese;
        kit.state.languagePortuguese = portuguese;
        for (int i = 1; i <= 20; ++i)
            kit.newWindow();
        const QStringList before = captions(kit);
        kit.window.setStatusText(QStringLiteral("before"));
        const QString path = copyOfFixture(QStringLiteral("twelve-fields.txt"));
        kit.desktop.files.enqueue(path);

        kit.window.perform(command);
        QCOMPARE(kit.desktop.messageTexts(), QStringList{message});
        QCOMPARE(kit.desktop.messages.first().icon, Desktop::Icon::Information);
        QCOMPARE(captions(kit), before);
        QVERIFY(kit.desktop.fileRequests.isEmpty());
        QCOMPARE(kit.window.statusPanels()->message(), QStringLiteral("before"));

        // With one window closed, Open works again.
        QVERIFY(closeWindow(kit.workspace.window(7)));
        kit.desktop.messages.clear();
        QVERIFY(openDocument(kit, path));
        QCOMPARE(openWindows(kit), 20);
        QVERIFY(kit.desktop.messages.isEmpty());
        QCOMPARE(active(kit)->windowTitle(), QStringLiteral("twelve-fields.txt"));
    }

    void countFollowsOpenWindowsAfterWrap()
    {
        QueryTestKit kit;
        for (int i = 1; i <= 20; ++i)
            kit.newWindow();
        QVERIFY(closeWindow(kit.workspace.window(5)));
        // The free slot is taken again.
        QueryWindow* refilled = kit.newWindow();
        QCOMPARE(openWindows(kit), 20);
        QCOMPARE(refilled->windowTitle(), QStringLiteral("Quillon5"));
        kit.window.statusPanels()->setMessage(QStringLiteral("something"));

        for (int slot : {20, 19, 18, 17, 16})
            QVERIFY(closeWindow(kit.workspace.window(slot)));
        settle();
        QCOMPARE(openWindows(kit), 15);
        // Windows are open: Save stays available and panel 1 keeps its text.
        QVERIFY(saveEnabled(kit));
        QCOMPARE(kit.window.statusPanels()->message(), QStringLiteral("something"));
        QCOMPARE(kit.workspace.queryCount(), 15);
    }

    // Saving

    void saveNeverSavedWindowProposesTableName_data()
    {
        QTest::addColumn<QString>("lastDocument");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("Windows folder") << "C:\\Queries\\orders.txt"
                                        << "C:\\Queries\\Quillon KNA1";
        QTest::newRow("no folder") << "orders.txt"
                                   << "Quillon KNA1";
        QTest::newRow("nothing saved yet") << ""
                                           << "Quillon KNA1";
        // A dot in the folder does not make the window's caption a file name.
        QTest::newRow("dot in folder") << "C:\\My.Queries\\orders"
                                       << "C:\\My.Queries\\Quillon KNA1";
    }

    void saveNeverSavedWindowProposesTableName()
    {
        QFETCH(QString, lastDocument);
        QFETCH(QString, proposed);
        QueryTestKit kit;
        QVERIFY(kit.connect());
        kit.state.currentQueryFile = lastDocument;
        kit.newWindow();
        QueryWindow* window = kit.newWindow(); // Quillon2
        QVERIFY(window->fields().addTableFields(QStringLiteral("KNA1")));
        ReportListView* list = window->fields().view();
        list->itemByKey(QStringLiteral("KNA1-KUNNR"))->setSelected(true);
        list->itemByKey(QStringLiteral("KNA1-MANDT"))->setSelected(true);
        window->perform(QStringLiteral("mcopytomytable"));
        QVERIFY(modified(kit, window));

        const QString path = m_files.filePath(QStringLiteral("Quillon KNA1.txt"));
        QFile::remove(path);
        kit.desktop.files.enqueue(path);
        kit.window.perform(QStringLiteral("msaveqtable"));
        QCOMPARE(kit.desktop.fileRequests.size(), 1);
        const Desktop::FileRequest request = kit.desktop.fileRequests.first();
        QCOMPARE(request.mode, Desktop::FileRequest::Mode::Save);
        QCOMPARE(request.fileName, proposed);
        QCOMPARE(request.filter, kTextFilter);

        // List order, not selection order.
        QCOMPARE(contents(path), document({}, false, true, 20,
                                          {"C003 KNA1-MANDT Client", "C010 KNA1-KUNNR Customer"}));
        QCOMPARE(window->windowTitle(), QStringLiteral("Quillon KNA1.txt"));
        QVERIFY(!modified(kit, window));
        QCOMPARE(kit.state.currentQueryFile, path);
        QCOMPARE(kit.window.statusPanels()->message(), path + QStringLiteral(" saved"));
        QVERIFY(kit.desktop.messages.isEmpty());

        // Saved once, the window saves without asking again.
        addField(window, QStringLiteral("KNA1-LAND1"), QStringLiteral("C"), 3,
                 QStringLiteral("Country"));
        kit.window.perform(QStringLiteral("msaveqtable"));
        QCOMPARE(kit.desktop.fileRequests.size(), 1);
        QVERIFY(contents(path).contains("ssField  003 C003 KNA1-LAND1 Country\r\n"));
    }

    void saveOpenedDocumentWritesStraightBack()
    {
        QueryTestKit kit;
        const QString path = copyOfFixture(QStringLiteral("orders.txt"));
        QueryWindow* window = openDocument(kit, path);
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("orders.txt"));
        window->myTable().removeAll();
        addField(window, QStringLiteral("T001-BUKRS"), QStringLiteral("C"), 4,
                 QStringLiteral("Company Code"));
        QVERIFY(modified(kit, window));

        kit.window.perform(QStringLiteral("msaveqtable"));
        QCOMPARE(kit.desktop.fileRequests.size(), 1); // only the Open dialog
        QCOMPARE(contents(path), document(QStringLiteral("C:\\Exports\\Customers.csv"), false, true,
                                          20, {"C004 T001-BUKRS Company Code"}));
        QVERIFY(!modified(kit, window));
        QCOMPARE(window->windowTitle(), QStringLiteral("orders.txt"));
        QVERIFY(kit.desktop.messages.isEmpty());
    }

    // Recent documents: the File menu lists the last eight opened or saved

    void openedAndSavedDocumentsAreListedNewestFirst()
    {
        QueryTestKit kit;
        QCOMPARE(recentEntries(kit), QStringList{});
        const QString orders = copyOfFixture(QStringLiteral("orders.txt"));
        const QString stock = copyOfFixture(QStringLiteral("stock.txt"));
        QVERIFY(openDocument(kit, orders));
        QVERIFY(openDocument(kit, stock));
        QCOMPARE(recentEntries(kit), QStringList({"&1 " + QDir::toNativeSeparators(stock),
                                                  "&2 " + QDir::toNativeSeparators(orders)}));
        // Saving a document moves it to the top; it is listed once.
        activate(kit, qobject_cast<QueryWindow*>(
                          kit.window.workspace()->subWindowList().first()->widget()));
        kit.window.perform(QStringLiteral("msaveqtable"));
        QCOMPARE(recentEntries(kit), QStringList({"&1 " + QDir::toNativeSeparators(orders),
                                                  "&2 " + QDir::toNativeSeparators(stock)}));
        // The list has a file of its own; the settings file keeps its documented lines.
        const QByteArray list = contents(RecentDocuments::pathIn(kit.home.path()));
        QCOMPARE(list, (QDir::toNativeSeparators(orders) + u'\n' + QDir::toNativeSeparators(stock) +
                        u'\n')
                           .toUtf8());
        kit.closeAllWindows();
        kit.window.perform(QStringLiteral("msair"));
        // It names the last document (FileZorv) and nothing of the list.
        const QByteArray settings = contents(kit.home.filePath(QStringLiteral("Zorv.ini")));
        QVERIFY(settings.contains("orders.txt"));
        QVERIFY(!settings.contains("stock.txt"));
    }

    void theListKeepsEightDocuments()
    {
        QueryTestKit kit;
        QStringList paths;
        for (int i = 1; i <= 10; ++i) {
            paths.prepend(copyOfFixture(QStringLiteral("query %1.txt").arg(i)));
            QVERIFY(openDocument(kit, paths.front()));
            kit.closeAllWindows();
        }
        const QStringList entries = recentEntries(kit);
        QCOMPARE(entries.size(), RecentDocuments::kMost);
        for (int i = 0; i < RecentDocuments::kMost; ++i)
            QCOMPARE(entries.at(i),
                     QStringLiteral("&%1 ").arg(i + 1) + QDir::toNativeSeparators(paths.at(i)));
    }

    void choosingARecentDocumentOpensIt()
    {
        QueryTestKit kit;
        const QString path = copyOfFixture(QStringLiteral("orders.txt"));
        QVERIFY(openDocument(kit, path));
        kit.closeAllWindows();
        const int dialogs = static_cast<int>(kit.desktop.fileRequests.size());
        recentEntry(kit, 1)->trigger();
        QueryWindow* window = active(kit);
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("orders.txt"));
        QCOMPARE(window->filePath(), path);
        QCOMPARE(kit.desktop.fileRequests.size(), dialogs); // no dialog asked
        QVERIFY(!modified(kit, window));
    }

    void aRecentDocumentThatIsGoneIsDroppedWithAMessage()
    {
        QueryTestKit kit;
        const QString kept = copyOfFixture(QStringLiteral("orders.txt"));
        const QString gone = copyOfFixture(QStringLiteral("gone.txt"));
        QVERIFY(openDocument(kit, kept));
        QVERIFY(openDocument(kit, gone));
        kit.closeAllWindows();
        QVERIFY(QFile::remove(gone));
        recentEntry(kit, 1)->trigger();
        QCOMPARE(openWindows(kit), 0);
        QCOMPARE(kit.desktop.messageTexts(),
                 QStringList{QDir::toNativeSeparators(gone) +
                             " no longer exists; it was taken off the list of recent documents."});
        QCOMPARE(kit.desktop.messages.first().title, QStringLiteral("Recent Documents"));
        QCOMPARE(kit.desktop.messages.first().icon, Desktop::Icon::Warning);
        QCOMPARE(recentEntries(kit), QStringList{"&1 " + QDir::toNativeSeparators(kept)});
    }

    void openFixtureFillsMyTableUnmodified()
    {
        QueryTestKit kit;
        const QString path = copyOfFixture(QStringLiteral("twelve-fields.txt"));
        QueryWindow* window = openDocument(kit, path);
        QVERIFY(window);
        QCOMPARE(kit.desktop.fileRequests.size(), 1);
        QCOMPARE(kit.desktop.fileRequests.first().mode, Desktop::FileRequest::Mode::Open);
        QCOMPARE(kit.desktop.fileRequests.first().fileName, QStringLiteral("Quillon1"));
        QCOMPARE(kit.desktop.fileRequests.first().filter, kTextFilter);
        QCOMPARE(window->windowTitle(), QStringLiteral("twelve-fields.txt"));
        QCOMPARE(myTableKeys(window), kTwelveKeys);
        QCOMPARE(window->myTable().items().at(7).text, QStringLiteral("Região"));
        QCOMPARE(window->myTable().items().at(10).type, QStringLiteral("D"));
        QCOMPARE(window->myTable().items().at(10).length, 8);
        QVERIFY(!modified(kit, window));
        QCOMPARE(kit.window.statusPanels()->message(), path + QStringLiteral(" opened"));
        QVERIFY(saveEnabled(kit));

        // Saved unchanged, the document comes back byte for byte.
        kit.window.perform(QStringLiteral("msaveqtable"));
        QCOMPARE(contents(path), fixture("twelve-fields.txt"));
        // Not modified: closing asks nothing.
        QVERIFY(closeWindow(window));
        QVERIFY(kit.desktop.messages.isEmpty());
    }

    // Panel 1 after Open and Save follows the chosen language.
    void documentStatusFollowsLanguage_data()
    {
        QTest::addColumn<bool>("portuguese");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("saved");
        QTest::newRow("English") << false << " opened"
                                 << " saved";
        QTest::newRow("Portuguese") << true << " aberto"
                                    << " salvo";
    }
    void documentStatusFollowsLanguage()
    {
        QFETCH(bool, portuguese);
        QFETCH(QString, opened);
        QFETCH(QString, saved);
        QueryTestKit kit;
        kit.state.languageEnglish = !portuguese;
        kit.state.languagePortuguese = portuguese;
        const QString path = copyOfFixture(QStringLiteral("twelve-fields.txt"));
        QVERIFY(openDocument(kit, path));
        QCOMPARE(kit.window.statusPanels()->message(), path + opened);
        kit.window.perform(QStringLiteral("msaveqtable"));
        QCOMPARE(kit.window.statusPanels()->message(), path + saved);
    }

    void openedDocumentAppliesSingleClick_data()
    {
        QTest::addColumn<bool>("singleClick");
        QTest::newRow("True") << true;
        QTest::newRow("False") << false;
    }

    void openedDocumentAppliesSingleClick()
    {
        QFETCH(bool, singleClick);
        QueryTestKit kit;
        kit.newWindow();
        kit.window.perform(QStringLiteral("msinglesel")); // checked by another window
        QByteArray bytes = fixture("twelve-fields.txt");
        if (singleClick)
            bytes.replace("ChSsl        False", "ChSsl        True");
        const QString path = m_files.filePath(QStringLiteral("single.txt"));
        QVERIFY(writeFile(path, bytes));
        QueryWindow* window = openDocument(kit, path);
        QVERIFY(window);
        auto* tree = window->findChild<QObject*>(Query::kTree);
        QCOMPARE(window->singleClick(), singleClick);
        QCOMPARE(tree->property("SingleSel").toBool(), singleClick);
        QCOMPARE(tree->property("HotTracking").toBool(), singleClick);
        if (!singleClick)
            QVERIFY(!kit.window.action(QStringLiteral("msinglesel"))->isChecked());
        QVERIFY(!modified(kit, window));
    }

    void openCancelledOpensNothing()
    {
        QueryTestKit kit;
        QCOMPARE(kit.workspace.openQuery(), 0);
        QCOMPARE(openWindows(kit), 0);
        QVERIFY(kit.desktop.messages.isEmpty());
    }

    void badDocumentOpensNoWindow_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray head = "MyTableF     \r\nChSsl        False\r\nChRow        True\r\n"
                                "sRows         20 \r\n";
        const QString subscriptLoad =
            QStringLiteral("Error 9: Subscript out of range on LoadQuillon");
        const QString mismatchLoad = QStringLiteral("Error 13: Type mismatch on LoadQuillon");
        QTest::newRow("SFI 1000") << head + "SFI           1000 \r\nSOP           0 \r\n"
                                  << subscriptLoad;
        QTest::newRow("SFI 1000 with its entry")
            << head + "SFI           1000 \r\nssField  1000 C003 KNA1-MANDT Client\r\n"
            << QStringLiteral("Error 9: Subscript out of range on ReadQuillon");
        QTest::newRow("SOP 1000") << head + "SFI           0 \r\nSOP           1000 \r\n"
                                  << subscriptLoad;
        QTest::newRow("negative SFI") << head + "SFI          -1 \r\nSOP           0 \r\n"
                                      << subscriptLoad;
        QTest::newRow("letters for SFI")
            << head + "SFI          garbage\r\n"
            << QStringLiteral("Error 13: Type mismatch on ReadQuillon");
        QTest::newRow("binary row limit")
            << QByteArray("sRows        \x01\xfe\x00\x7f\r\n", 19)
            << QStringLiteral("Error 13: Type mismatch on ReadQuillon");
        QTest::newRow("entry too short")
            << head + "SFI           1 \r\nssField  001 C0\r\nSOP           0 \r\n"
            << mismatchLoad;
        QTest::newRow("missing entry")
            << head +
                   "SFI           2 \r\nssField  001 C003 KNA1-MANDT Client\r\nSOP           0 \r\n"
            << mismatchLoad;
    }

    void badDocumentOpensNoWindow()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QueryTestKit kit;
        const QString path = m_files.filePath(QStringLiteral("bad.txt"));
        QVERIFY(writeFile(path, bytes));
        kit.desktop.files.enqueue(path);
        QCOMPARE(kit.workspace.openQuery(), 0);
        QCOMPARE(kit.desktop.messageTexts(), QStringList{message});
        QCOMPARE(openWindows(kit), 0);
        QCOMPARE(kit.workspace.queryCount(), 0);
        // The next New is still the first window.
        QCOMPARE(kit.newWindow()->windowTitle(), QStringLiteral("Quillon1"));
    }

    void missingDocumentOpensNoWindow()
    {
        QueryTestKit kit;
        kit.desktop.files.enqueue(m_files.filePath(QStringLiteral("nowhere.txt")));
        kit.window.perform(QStringLiteral("mopenqtable"));
        QCOMPARE(kit.desktop.messageTexts(),
                 QStringList{"Error 53: File not found on ReadQuillon"});
        QCOMPARE(openWindows(kit), 0);
    }

    // Closing

    void closeQuestion_data()
    {
        QTest::addColumn<Desktop::Answer>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Yes saves") << Desktop::Answer::Yes << true << true;
        QTest::newRow("No discards") << Desktop::Answer::No << true << false;
        QTest::newRow("Cancel keeps") << Desktop::Answer::Cancel << false << false;
    }

    void closeQuestion()
    {
        QFETCH(Desktop::Answer, answer);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        QueryTestKit kit;
        QueryWindow* window = kit.newWindow();
        addField(window, QStringLiteral("T001-BUKRS"), QStringLiteral("C"), 4,
                 QStringLiteral("Company Code"));
        QVERIFY(modified(kit, window));
        const QString path = m_files.filePath(QStringLiteral("closing.txt"));
        QFile::remove(path);
        kit.desktop.files.enqueue(path);
        kit.desktop.answers.enqueue(answer);

        QCOMPARE(closeWindow(window), closed);
        QCOMPARE(kit.desktop.messages.size(), 1);
        QCOMPARE(kit.desktop.messages.first().text,
                 QStringLiteral("Do you want to save changes to 'Quillon1'?"));
        QCOMPARE(kit.desktop.messages.first().buttons, Desktop::Buttons::YesNoCancel);
        QCOMPARE(kit.desktop.messages.first().icon, Desktop::Icon::Question);
        QCOMPARE(openWindows(kit), closed ? 0 : 1);
        QCOMPARE(QFile::exists(path), saved);
        if (saved)
            QCOMPARE(contents(path),
                     document({}, false, true, 20, {"C004 T001-BUKRS Company Code"}));
        if (!closed) {
            QCOMPARE(myTableKeys(window), QStringList{"T001-BUKRS"});
            QVERIFY(modified(kit, window));
        }
    }

    void noQuestionWhenUnmodifiedOrEmpty_data()
    {
        QTest::addColumn<bool>("addThenRemove");
        QTest::newRow("untouched") << false;
        QTest::newRow("modified but empty") << true;
    }

    void noQuestionWhenUnmodifiedOrEmpty()
    {
        QFETCH(bool, addThenRemove);
        QueryTestKit kit;
        QueryWindow* window = kit.newWindow();
        if (addThenRemove) {
            addField(window, QStringLiteral("T001-BUKRS"), QStringLiteral("C"), 4,
                     QStringLiteral("Company Code"));
            window->myTable().removeAll();
            QVERIFY(modified(kit, window));
        }
        QVERIFY(closeWindow(window));
        QVERIFY(kit.desktop.messages.isEmpty());
        QCOMPARE(openWindows(kit), 0);
    }

    // Ending without the user (a stop signal, the end of the desktop session) keeps the tree and
    // a copy of every unsaved query next to the settings; the next start offers the copies once.
    void unsavedQueriesKeptAndOfferedAtNextStart_data()
    {
        QTest::addColumn<Desktop::Answer>("answer");
        QTest::addColumn<bool>("portuguese");
        QTest::newRow("opened") << Desktop::Answer::Yes << false;
        QTest::newRow("declined") << Desktop::Answer::No << false;
        QTest::newRow("opened, Portuguese") << Desktop::Answer::Yes << true;
    }
    void unsavedQueriesKeptAndOfferedAtNextStart()
    {
        QFETCH(Desktop::Answer, answer);
        QFETCH(bool, portuguese);
        auto first = std::make_unique<QueryTestKit>();
        first->state.treePaths = {QStringLiteral("Sales"), QStringLiteral("T001")};
        QueryWindow* unsaved = first->newWindow();
        addField(unsaved, QStringLiteral("T001-BUKRS"), QStringLiteral("C"), 4,
                 QStringLiteral("Company Code"));
        unsaved->tree().removeNode(QStringLiteral("Sales"), QStringLiteral("yes"));
        first->newWindow(); // untouched: nothing to keep
        QVERIFY(openDocument(*first, copyOfFixture(QStringLiteral("saved.txt")))); // saved
        activate(*first, unsaved);
        const QString home = first->home.path();

        first->window.endSession();
        QCOMPARE(openWindows(*first), 0);
        QVERIFY(first->desktop.messages.isEmpty());
        const QDir kept(home + QStringLiteral("/Recovered queries"));
        QCOMPARE(kept.entryList(QDir::Files), QStringList{"01 Quillon1.txt"});
        QCOMPARE(contents(kept.filePath(QStringLiteral("01 Quillon1.txt"))),
                 document({}, false, true, 20, {"C004 T001-BUKRS Company Code"}));
        const QByteArray settings = contents(home + QStringLiteral("/Zorv.ini"));
        QVERIFY(settings.contains("ssAddTab 001 T001\r\n"));
        QVERIFY(!settings.contains("Sales"));

        // The next start, in the same program folder.
        QueryTestKit second;
        QVERIFY(QDir().mkpath(second.home.filePath(QStringLiteral("Recovered queries"))));
        QVERIFY(
            QFile::copy(kept.filePath(QStringLiteral("01 Quillon1.txt")),
                        second.home.filePath(QStringLiteral("Recovered queries/01 Quillon1.txt"))));
        first.reset();
        second.state.languageEnglish = !portuguese;
        second.state.languagePortuguese = portuguese;
        second.desktop.answers.enqueue(answer);
        second.workspace.offerRecoveryCopies();
        QCOMPARE(second.desktop.messages.size(), 1);
        QCOMPARE(second.desktop.messages.first().text,
                 portuguese ? QStringLiteral("O Zorv terminou antes de salvar estas consultas: "
                                             "Quillon1. Abrir as cópias guardadas?")
                            : QStringLiteral("Zorv ended before these queries were saved: "
                                             "Quillon1. Open the copies it kept?"));
        QCOMPARE(second.desktop.messages.first().buttons, Desktop::Buttons::YesNo);
        QVERIFY(!QDir(second.home.filePath(QStringLiteral("Recovered queries"))).exists());
        if (answer == Desktop::Answer::Yes) {
            QCOMPARE(openWindows(second), 1);
            QueryWindow* back = active(second);
            QCOMPARE(back->windowTitle(), portuguese ? QStringLiteral("Quillon1 (recuperada)")
                                                     : QStringLiteral("Quillon1 (recovered)"));
            QCOMPARE(myTableKeys(back), QStringList{"T001-BUKRS"});
            // Still unsaved: closing it asks.
            QVERIFY(modified(second, back));
            second.desktop.answers.enqueue(Desktop::Answer::Cancel);
            QVERIFY(!closeWindow(back));
            QCOMPARE(second.desktop.messages.size(), 2);
        } else {
            QCOMPARE(openWindows(second), 0);
        }
        // Offered once only.
        second.workspace.offerRecoveryCopies();
        QCOMPARE(second.desktop.messages.size(), answer == Desktop::Answer::Yes ? 2 : 1);
        if (answer != Desktop::Answer::Yes)
            return;
        // Ended from outside again, the recovered query is kept again, and comes back marked once.
        second.window.endSession();
        QueryTestKit third;
        QVERIFY(QDir().mkpath(third.home.filePath(QStringLiteral("Recovered queries"))));
        const QString again = portuguese ? QStringLiteral("01 Quillon1 (recuperada).txt")
                                         : QStringLiteral("01 Quillon1 (recovered).txt");
        QVERIFY(QFile::copy(second.home.filePath(QStringLiteral("Recovered queries/")) + again,
                            third.home.filePath(QStringLiteral("Recovered queries/")) + again));
        third.state.languageEnglish = !portuguese;
        third.state.languagePortuguese = portuguese;
        third.desktop.answers.enqueue(Desktop::Answer::Yes);
        third.workspace.offerRecoveryCopies();
        QCOMPARE(active(third)->windowTitle(), portuguese ? QStringLiteral("Quillon1 (recuperada)")
                                                          : QStringLiteral("Quillon1 (recovered)"));
        QCOMPARE(myTableKeys(active(third)), QStringList{"T001-BUKRS"});
    }

    // The saved documents open at the exit are offered at the next start (untitled windows
    // are left to their recovery copies); one no longer there is named and skipped; the
    // options dialog's setting ("0") turns the offer off.
    void openDocumentsOfferedAtNextStart_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<bool>("oneGone");
        QTest::addColumn<Desktop::Answer>("answer");
        QTest::addColumn<int>("reopened");
        QTest::newRow("reopened") << "" << false << Desktop::Answer::Yes << 2;
        QTest::newRow("declined") << "" << false << Desktop::Answer::No << 0;
        QTest::newRow("one no longer there") << "" << true << Desktop::Answer::Yes << 1;
        QTest::newRow("turned off") << "0" << false << Desktop::Answer::Yes << 0;
        QTest::newRow("turned on again") << "1" << false << Desktop::Answer::Yes << 2;
    }
    void openDocumentsOfferedAtNextStart()
    {
        QFETCH(QString, setting);
        QFETCH(bool, oneGone);
        QFETCH(Desktop::Answer, answer);
        QFETCH(int, reopened);
        const QString one = copyOfFixture(QStringLiteral("one.txt"));
        const QString two = copyOfFixture(QStringLiteral("two.txt"));
        QByteArray kept;
        {
            QueryTestKit first;
            QVERIFY(openDocument(first, one));
            QueryWindow* untitled = first.newWindow();
            addField(untitled, QStringLiteral("T001-BUKRS"), QStringLiteral("C"), 4,
                     QStringLiteral("Company Code"));
            QVERIFY(openDocument(first, two));
            first.desktop.answers.enqueue(Desktop::Answer::No); // the untitled one is not saved
            QVERIFY(first.window.close());
            settle();
            QCOMPARE(openWindows(first), 0);
            kept = contents(first.home.filePath(QStringLiteral("Open.txt")));
        }
        QCOMPARE(kept, (one + u'\n' + two + u'\n').toUtf8());

        QueryTestKit second;
        QVERIFY(writeFile(second.home.filePath(QStringLiteral("Open.txt")), kept));
        if (oneGone)
            QVERIFY(QFile::remove(two));
        second.state.reopenQueries = setting;
        if (oneGone)
            second.desktop.answers.enqueue(Desktop::Answer::Ok); // the note
        second.desktop.answers.enqueue(answer);
        second.workspace.offerOpenDocuments();
        QStringList expected;
        if (setting != u"0") {
            if (oneGone)
                expected.append("These queries open at the last exit are no longer there:\n" + two);
            expected.append("Reopen the queries that were open at the last exit?\n" + one +
                            (oneGone ? QString() : u'\n' + two));
        }
        QCOMPARE(second.desktop.messageTexts(), expected);
        if (!expected.isEmpty())
            QCOMPARE(second.desktop.messages.constLast().buttons, Desktop::Buttons::YesNo);
        QCOMPARE(openWindows(second), reopened);
        const QStringList titles{"one.txt", "two.txt"};
        QCOMPARE(captions(second), titles.mid(0, reopened));
        // A document open already is not offered again.
        second.desktop.messages.clear();
        second.desktop.answers.enqueue(Desktop::Answer::Yes);
        second.workspace.offerOpenDocuments();
        QCOMPARE(openWindows(second), setting == u"0" ? 0 : oneGone ? 1 : 2);
    }

    // A normal exit leaves no copies behind, whatever the user answered about the queries.
    void normalExitKeepsNoCopies()
    {
        QueryTestKit kit;
        const QString folder = kit.home.filePath(QStringLiteral("Recovered queries"));
        QueryWindow* window = kit.newWindow();
        addField(window, QStringLiteral("T001-BUKRS"), QStringLiteral("C"), 4,
                 QStringLiteral("Company Code"));
        // The desktop session asks for the data first; the user then exits and declines to save.
        kit.window.writeSession();
        QVERIFY(QFile::exists(folder + QStringLiteral("/01 Quillon1.txt")));
        kit.desktop.answers.enqueue(Desktop::Answer::No);
        QVERIFY(kit.window.close());
        settle();
        QCOMPARE(openWindows(kit), 0);
        QVERIFY(!QDir(folder).exists());
    }

    void cancelStopsMainWindowClose()
    {
        QueryTestKit kit;
        QueryWindow* window = kit.newWindow();
        addField(window, QStringLiteral("T001-BUKRS"), QStringLiteral("C"), 4,
                 QStringLiteral("Company Code"));
        kit.desktop.answers.enqueue(Desktop::Answer::Cancel);
        QVERIFY(!kit.window.close());
        settle();
        QCOMPARE(openWindows(kit), 1);
        QCOMPARE(kit.desktop.messageTexts(),
                 QStringList{"Do you want to save changes to 'Quillon1'?"});
    }

    void yesWithSaveDialogCancelledKeepsWindow()
    {
        QueryTestKit kit;
        QueryWindow* window = kit.newWindow();
        addField(window, QStringLiteral("T001-BUKRS"), QStringLiteral("C"), 4,
                 QStringLiteral("Company Code"));
        kit.desktop.answers.enqueue(Desktop::Answer::Yes); // and no file: the dialog cancels
        QVERIFY(!closeWindow(window));
        QCOMPARE(kit.desktop.fileRequests.size(), 1);
        QCOMPARE(openWindows(kit), 1);
        QCOMPARE(myTableKeys(window), QStringList{"T001-BUKRS"});
        QVERIFY(modified(kit, window));
        QCOMPARE(window->windowTitle(), QStringLiteral("Quillon1"));
    }

    void lastWindowClosingDisablesSave()
    {
        QueryTestKit kit;
        QueryWindow* first = kit.newWindow();
        QueryWindow* second = kit.newWindow();
        QVERIFY(saveEnabled(kit));
        QVERIFY(closeWindow(second));
        QVERIFY(saveEnabled(kit));
        kit.window.statusPanels()->setMessage(QStringLiteral("something"));
        QVERIFY(closeWindow(first));
        QVERIFY(saveDisabled(kit));
        QVERIFY(kit.window.statusPanels()->message().isEmpty());
        QCOMPARE(kit.workspace.queryCount(), 0);
        kit.newWindow();
        QVERIFY(saveEnabled(kit));
    }

    // Each window owns its query

    void windowsKeepTheirOwnDocuments()
    {
        QueryTestKit kit;
        QueryWindow* first = kit.newWindow();
        addField(first, QStringLiteral("T001-BUKRS"), QStringLiteral("C"), 4,
                 QStringLiteral("Company Code"));
        QueryWindow* second = kit.newWindow();
        addField(second, QStringLiteral("KNA1-KUNNR"), QStringLiteral("C"), 10,
                 QStringLiteral("Customer"));
        kit.window.perform(QStringLiteral("msinglesel"));
        auto* limit = second->findChild<QLineEdit*>(Query::kRowLimit);
        limit->selectAll();
        QTest::keyClicks(limit, QStringLiteral("55"));
        kit.window.perform(QStringLiteral("mcloserows"));

        const QString firstPath = m_files.filePath(QStringLiteral("first.txt"));
        const QString secondPath = m_files.filePath(QStringLiteral("second.txt"));
        activate(kit, first);
        QCOMPARE(active(kit), first);
        kit.desktop.files.enqueue(firstPath);
        kit.window.perform(QStringLiteral("msaveasqtable"));
        QCOMPARE(contents(firstPath),
                 document({}, false, true, 20, {"C004 T001-BUKRS Company Code"}));

        activate(kit, second);
        kit.desktop.files.enqueue(secondPath);
        kit.window.perform(QStringLiteral("msaveasqtable"));
        QCOMPARE(contents(secondPath), document({}, true, false, 55, {"C010 KNA1-KUNNR Customer"}));

        // Saving the first again still writes only its own query.
        activate(kit, first);
        addField(first, QStringLiteral("T001-BUTXT"), QStringLiteral("C"), 25,
                 QStringLiteral("Company name"));
        kit.window.perform(QStringLiteral("msaveqtable"));
        QCOMPARE(contents(firstPath),
                 document({}, false, true, 20,
                          {"C004 T001-BUKRS Company Code", "C025 T001-BUTXT Company name"}));
        QCOMPARE(contents(secondPath), document({}, true, false, 55, {"C010 KNA1-KUNNR Customer"}));
    }

    void failedSaveKeepsPreviousFile()
    {
        QueryTestKit kit;
        const QString path = copyOfFixture(QStringLiteral("orders.txt"));
        QueryWindow* window = openDocument(kit, path);
        QVERIFY(window);
        window->myTable().removeAll();
        addField(window, QStringLiteral("T001-BUKRS"), QStringLiteral("C"), 4,
                 QStringLiteral("Company Code"));

        const QString missing = m_files.filePath(QStringLiteral("missing/new.txt"));
        kit.desktop.files.enqueue(missing);
        kit.window.perform(QStringLiteral("msaveasqtable"));
        QCOMPARE(kit.desktop.messages.size(), 1);
        QVERIFY(!kit.desktop.messages.first().text.isEmpty());
        QVERIFY(!QFile::exists(missing));
        QCOMPARE(contents(path), fixture("twelve-fields.txt"));
        QCOMPARE(window->windowTitle(), QStringLiteral("orders.txt"));
        QVERIFY(modified(kit, window));

        // The window still belongs to its own file.
        kit.window.perform(QStringLiteral("msaveqtable"));
        QCOMPARE(kit.desktop.fileRequests.size(), 2);
        QCOMPARE(contents(path), document(QStringLiteral("C:\\Exports\\Customers.csv"), false, true,
                                          20, {"C004 T001-BUKRS Company Code"}));
        QVERIFY(!modified(kit, window));
    }
};

QTEST_MAIN(TestQueryWorkspace)
#include "tst_queryworkspace.moc"
