#include "DesktopServices.h"
#include "QtDesktop.h"

#include <QTest>

class TestQtDesktop : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void nameFiltersFromDialogFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
#ifdef Q_OS_WIN
        const QString all = QStringLiteral("All Files (*.*)");
#else
        // Elsewhere a file need not have a dot to count as any file.
        const QString all = QStringLiteral("All Files (*)");
#endif
        QTest::newRow("text kind")
            << DesktopServices::filterText(2) << QStringList{QStringLiteral("Text (*.txt)"), all};
        QTest::newRow("table kind")
            << DesktopServices::filterText(4)
            << QStringList{QStringLiteral("Text (*.csv)"), QStringLiteral("Text (*.txt)"),
                           QStringLiteral("Excel (*.xls)"), all};
        QTest::newRow("several patterns") << "Pictures (*.bmp;*.ico)|*.bmp;*.ico"
                                          << QStringList{QStringLiteral("Pictures (*.bmp *.ico)")};
        QTest::newRow("description without patterns")
            << "Documents|*.qtb" << QStringList{QStringLiteral("Documents (*.qtb)")};
        QTest::newRow("pattern taken from the pattern part")
            << "Query (*.txt)|*.qtb" << QStringList{QStringLiteral("Query (*.qtb)")};
        QTest::newRow("dangling description ignored")
            << "Text (*.txt)|*.txt|Other" << QStringList{QStringLiteral("Text (*.txt)")};
        QTest::newRow("no filter") << DesktopServices::filterText(0) << QStringList{};
    }
    void nameFiltersFromDialogFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(QtDesktop::nameFilters(filter), expected);
    }
};

QTEST_GUILESS_MAIN(TestQtDesktop)
#include "tst_qtdesktop.moc"
