// The window against a system over native RFC, through the stand-in of SAP's library that
// serves the demo: a system chosen from SAP Logon's landscape in the logon dialog, preview and
// Import Table as the demo system gives them, and Esc ending a read that hangs.
#include "QueryTestKit.h"
#include "shell/ControlNames.h"
#include "window/main/LogonDialog.h"
#include "window/main/ProgressDisplay.h"
#include "window/main/StatusPanels.h"
#include "window/query/ExportController.h"
#include "window/query/PreviewPane.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTableView>

using namespace ControlNames;

class TestNativeWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QueryTestKit> m_kit;
    QTemporaryDir m_files;

    QString status() const { return m_kit->window.statusPanels()->message(); }

    // The logon the dialog gives for SAP Logon's "DEV Entwicklung" and the stand-in library.
    LogonData chosenInTheDialog()
    {
        LogonDialog dialog(m_kit->state, m_files.filePath(QStringLiteral("logon.ini")));
        dialog.useLandscape(QStringLiteral(ZORV_TEST_DATA "/sap/SAPUILandscape.xml"));
        dialog.findChild<QComboBox*>(Logon::kSystem)
            ->setCurrentText(QStringLiteral("DEV Entwicklung"));
        dialog.findChild<QLineEdit*>(Logon::kRfcLibrary)
            ->setText(QStringLiteral(ZORV_STANDIN_LIBRARY));
        dialog.findChild<QLineEdit*>(Logon::kClient)->setText(QStringLiteral("100"));
        dialog.findChild<QLineEdit*>(Logon::kUser)->setText(QStringLiteral("demo"));
        dialog.findChild<QLineEdit*>(Logon::kPassword)->setText(QStringLiteral("welcome"));
        return dialog.entered();
    }

    bool connect(const LogonData& logon)
    {
        m_kit->connection.releaseComponents();
        m_kit->logon.answers.enqueue(logon);
        return m_kit->window.connectToSystem();
    }

    QueryWindow* windowWith(const QStringList& fields, const QString& rows)
    {
        QueryWindow* window = m_kit->newWindow();
        if (!window || !QueryTestKit::copyFields(window, fields))
            return nullptr;
        window->findChild<QLineEdit*>(Query::kRowLimit)->setText(rows);
        return window;
    }

    QByteArray exported(QueryWindow* window, const QString& name)
    {
        const QString target = m_files.filePath(name);
        m_kit->desktop.files.enqueue(target);
        window->exporter().exportMyTable();
        if (!QTest::qWaitFor([window] { return !window->exporter().running(); }, 60000))
            return {};
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QStringList shown(QueryWindow* window)
    {
        const QAbstractItemModel* grid =
            window->findChild<QTableView*>(Query::kPreviewGrid)->model();
        QStringList rows;
        for (int r = 0; r < grid->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < grid->columnCount(); ++c)
                cells.append(grid->index(r, c).data().toString());
            rows.append(cells.join(u'|'));
        }
        return rows;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_kit = std::make_unique<QueryTestKit>();
        m_kit->desktop.associations.insert(QStringLiteral("csv"),
                                           QStringLiteral("/usr/bin/spreadsheet"));
    }

    void cleanup() { m_kit->closeAllWindows(); }

    void previewAndExportAreTheDemosOwn()
    {
        const LogonData native = chosenInTheDialog();
        QCOMPARE(native.native.applicationServer, QStringLiteral("localhost"));
        QVERIFY(connect(native));
        QVERIFY2(m_kit->window.statusPanels()->connectionText().startsWith(
                     QStringLiteral("DEV Entwicklung 100 DEMO")),
                 qPrintable(m_kit->window.statusPanels()->connectionText()));
        const QStringList fields{QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-NAME1"),
                                 QStringLiteral("KNA1-ERDAT"), QStringLiteral("BSEG-*")};
        QueryWindow* window = windowWith(fields, QStringLiteral("40"));
        QVERIFY(window);
        window->preview().readPreview();
        window->preview().wait();
        QCoreApplication::processEvents();
        const QStringList overNativeRfc = shown(window);
        QCOMPARE(overNativeRfc.size(), 40);
        const QByteArray nativeFile = exported(window, QStringLiteral("native.csv"));
        QVERIFY(nativeFile.count('\n') > 40);

        QVERIFY(connect(ScriptedLogon::demo()));
        window->preview().readPreview();
        window->preview().wait();
        QCoreApplication::processEvents();
        QCOMPARE(overNativeRfc, shown(window));
        QCOMPARE(nativeFile, exported(window, QStringLiteral("demo.csv")));
    }

    void escEndsAReadThatHangs()
    {
        QVERIFY(connect(chosenInTheDialog()));
        QueryWindow* window = windowWith({QStringLiteral("KNA1-KUNNR")}, QStringLiteral("20"));
        QVERIFY(window);
        qputenv("ZORV_STANDIN_HANG", "KNA1");
        const auto answered = qScopeGuard([] { qunsetenv("ZORV_STANDIN_HANG"); });
        window->preview().readPreview();
        QVERIFY(window->preview().reading());
        // Esc ends a read once its progress shows.
        QVERIFY(QTest::qWaitFor([this] { return m_kit->window.progress()->isShown(); }, 5000));
        m_kit->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_kit->window));
        QTest::keyClick(&m_kit->window, Qt::Key_Escape);
        QVERIFY(QTest::qWaitFor([window] { return !window->preview().reading(); }, 10000));
        QVERIFY2(status().startsWith(QStringLiteral("Preview cancelled")), qPrintable(status()));
        QVERIFY(m_kit->desktop.messages.isEmpty());
    }
};

QTEST_MAIN(TestNativeWindow)
#include "tst_nativewindow.moc"
