#include "DesktopServices.h"
#include "QtDesktop.h"

#include <QTest>

Q_DECLARE_METATYPE(Desktop::Icon)
Q_DECLARE_METATYPE(Desktop::Buttons)

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
    void everyMessageBoxHasAnIcon_data()
    {
        using Icon = Desktop::Icon;
        using Buttons = Desktop::Buttons;
        QTest::addColumn<Icon>("asked");
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<Icon>("shown");
        QTest::newRow("a notice") << Icon::None << Buttons::Ok << Icon::Information;
        QTest::newRow("a yes-no question") << Icon::None << Buttons::YesNo << Icon::Question;
        QTest::newRow("a save question") << Icon::None << Buttons::YesNoCancel << Icon::Question;
        QTest::newRow("ok or cancel") << Icon::None << Buttons::OkCancel << Icon::Question;
        QTest::newRow("a warning stays") << Icon::Warning << Buttons::Ok << Icon::Warning;
        QTest::newRow("an error stays") << Icon::Critical << Buttons::YesNo << Icon::Critical;
    }
    void everyMessageBoxHasAnIcon()
    {
        QFETCH(Desktop::Icon, asked);
        QFETCH(Desktop::Buttons, buttons);
        QFETCH(Desktop::Icon, shown);
        QCOMPARE(QtDesktop::iconFor(asked, buttons), shown);
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
