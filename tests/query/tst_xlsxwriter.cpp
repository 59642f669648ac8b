// The workbook writer on its own, read back by openpyxl (and LibreOffice where installed):
// sheets that continue on the next, and cells that keep their text and their column.
#include "query/export/XlsxWriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestXlsxWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // More rows than a sheet holds go on to "NAME (2)", with the same header lines; and the
    // file is there only when it is complete.
    void aWorkbookContinuesOnTheNextSheet_data()
    {
        QTest::addColumn<int>("rowsPerSheet");
        QTest::addColumn<qint64>("bytesPerSheet");
        QTest::newRow("by lines") << 7 << qint64(4'000'000'000);
        // The sheet's start (about 850 bytes) and five rows of about 80 bytes.
        QTest::newRow("by the size of a sheet's part") << 1048576 << qint64(1260);
    }

    void aWorkbookContinuesOnTheNextSheet()
    {
        QFETCH(int, rowsPerSheet);
        QFETCH(qint64, bytesPerSheet);
        QTemporaryDir out;
        const QString path = out.filePath(QStringLiteral("rows.xlsx"));
        XlsxWriter::Settings settings;
        settings.path = path;
        settings.sheetName = QStringLiteral("/ABC/TAB");
        settings.keys = QStringList{"/ABC/TAB-K", "/ABC/TAB-V"};
        settings.texts = QStringList{"Key", "Value"};
        settings.types = QStringList{"N", "C"};
        settings.lengths = {4, 10};
        settings.rowsPerSheet = rowsPerSheet; // 7: five rows under the two header lines
        settings.bytesPerSheet = bytesPerSheet;
        XlsxWriter writer(settings);
        QVERIFY(writer.start());
        for (int r = 1; r <= 12; ++r) {
            const QString key = QStringLiteral("%1").arg(r, 4, 10, QChar(u'0'));
            const QStringView values[] = {key, u"x"};
            const char present[] = {1, 1};
            QVERIFY(writer.row(values, present, 2));
        }
        QVERIFY(!QFile::exists(path));
        QVERIFY(writer.finish());
        QCOMPARE(writer.sheets(), 3);
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import openpyxl,sys\n"
                                     "b=openpyxl.load_workbook(sys.argv[1])\n"
                                     "for s in b.worksheets:\n"
                                     " r=list(s.iter_rows(values_only=True))\n"
                                     " print(s.title, len(r), r[0][0], r[2][0], r[-1][0])\n"
                                     "import re,zipfile\n"
                                     "w=zipfile.ZipFile(sys.argv[1]).read('xl/workbook.xml')\n"
                                     "print(re.findall(r'>([^<]*)</definedName>',w.decode()))"),
                      path});
        QVERIFY(python.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(python.readAllStandardOutput()).trimmed(),
                 QStringLiteral("_ABC_TAB 7 /ABC/TAB-K 0001 0005\n"
                                "_ABC_TAB (2) 7 /ABC/TAB-K 0006 0010\n"
                                "_ABC_TAB (3) 4 /ABC/TAB-K 0011 0012\n"
                                // Each sheet's filter, where spreadsheets look for it.
                                "[\"'_ABC_TAB'!$A$2:$B$7\", \"'_ABC_TAB (2)'!$A$2:$B$7\", "
                                "\"'_ABC_TAB (3)'!$A$2:$B$4\"]"));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    // Each cell keeps its text and its column, whatever the text holds and wherever a cell
    // before it stayed empty.
    void aWorkbookCellKeepsItsTextAndPlace_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("cell"); // as openpyxl reads it back
        QTest::newRow("markup") << "a<b>&\"c\""
                                << "'a<b>&\"c\"'";
        QTest::newRow("a leading blank") << "  x"
                                         << "'  x'";
        QTest::newRow("accents and symbols") << "Gr\u00f6\u00dfe \u2713"
                                             << "'Gr\u00f6\u00dfe \u2713'";
        QTest::newRow("beyond the basic plane") << "\U0001F600"
                                                << "'\U0001F600'";
        QTest::newRow("a line break") << "a\nb"
                                      << "'a\\nb'";
        // XML cannot hold it: written as the workbook's escape, which spreadsheets turn back
        // and openpyxl shows as it is.
        // A value that looks like that escape is the value: its underscore is escaped.
        QTest::newRow("a workbook escape as text") << "_x0041_BC"
                                                   << "'_x005F_x0041_BC'";
        QTest::newRow("underscores") << "A_B_x41_"
                                     << "'A_B_x41_'";
        QTest::newRow("a control character") << "a\x01"
                                                "b"
                                             << "'a_x0001_b'";
    }

    void aWorkbookCellKeepsItsTextAndPlace()
    {
        QFETCH(QString, value);
        QFETCH(QString, cell);
        QTemporaryDir out;
        XlsxWriter::Settings settings;
        settings.path = out.filePath(QStringLiteral("cells.xlsx"));
        settings.sheetName = QStringLiteral("T");
        settings.keys = QStringList{"T-A", "T-D", "T-B", "T-C"};
        settings.texts = QStringList{"A", "", "B", "C"};
        settings.types = QStringList{"C", "D", "C", "C"};
        settings.lengths = {10, 8, 10, 10};
        XlsxWriter writer(settings);
        QVERIFY(writer.start());
        // An empty date, a missing value, and the value in the last column.
        const QStringView values[] = {value, u"00000000", u"", value};
        const char present[] = {1, 1, 0, 1};
        QVERIFY(writer.row(values, present, 4));
        QVERIFY(writer.finish());
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import openpyxl,sys\n"
                                     "s=openpyxl.load_workbook(sys.argv[1]).active\n"
                                     "for row in s.iter_rows():\n"
                                     " print([(c.coordinate,c.value) for c in row if c.value])"),
                      settings.path});
        QVERIFY(python.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(python.readAllStandardOutput()).trimmed(),
                 QStringLiteral("[('A1', 'T-A'), ('B1', 'T-D'), ('C1', 'T-B'), ('D1', 'T-C')]\n"
                                "[('A2', 'A'), ('C2', 'B'), ('D2', 'C')]\n"
                                "[('A3', %1), ('D3', %1)]")
                     .arg(cell));
    }

    // LibreOffice decodes the workbook's escapes as spreadsheets do: a value that only looks
    // like one comes back as it was written. Skipped where LibreOffice is not installed.
    void aWorkbookCellReadsBackInLibreOffice()
    {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty())
            QSKIP("LibreOffice is not installed");
        const QStringList values{"_x0041_BC", "A_B_x41_",        "_x005F_", "x_x000D_y",
                                 "a<b>&c",    "Gr\u00f6\u00dfe", "_X0041_"};
        QTemporaryDir out;
        XlsxWriter::Settings settings;
        settings.path = out.filePath(QStringLiteral("cells.xlsx"));
        settings.sheetName = QStringLiteral("T");
        settings.keys = QStringList{"T-A"};
        settings.texts = QStringList{"A"};
        settings.types = QStringList{"C"};
        settings.lengths = {40};
        XlsxWriter writer(settings);
        QVERIFY(writer.start());
        for (const QString& value : values) {
            const QStringView cells[] = {value};
            const char present[] = {1};
            QVERIFY(writer.row(cells, present, 1));
        }
        QVERIFY(writer.finish());
        QProcess office;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), out.path()); // a profile of its own
        office.setProcessEnvironment(environment);
        office.start(soffice, {QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                               QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"),
                               QStringLiteral("--outdir"), out.path(), settings.path});
        QVERIFY(office.waitForFinished(180000));
        QFile back(out.filePath(QStringLiteral("cells.csv")));
        QVERIFY2(back.open(QIODevice::ReadOnly), qPrintable(office.readAllStandardError()));
        const QStringList lines =
            QString::fromUtf8(back.readAll()).split(QStringLiteral("\n"), Qt::SkipEmptyParts);
        // The header, its texts, then each value.
        QCOMPARE(lines.size(), values.size() + 2);
        for (qsizetype i = 0; i < values.size(); ++i) {
            QString cell = lines.at(i + 2).trimmed(); // text cells come quoted
            if (cell.size() >= 2 && cell.startsWith(u'"') && cell.endsWith(u'"'))
                cell = cell.mid(1, cell.size() - 2)
                           .replace(QStringLiteral("\"\""), QStringLiteral("\""));
            QCOMPARE(cell, values.at(i));
        }
    }
};

QTEST_GUILESS_MAIN(TestXlsxWriter)
#include "tst_xlsxwriter.moc"
