// The zip archive a workbook is written into: every entry whole, as Python's zipfile reads it
// back, and a full disk reported, never an archive called complete.
#include "FileSizeLimit.h"

#include "query/export/ZipWriter.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace
{
// Bytes that do not compress.
QByteArray noise(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = 2463534242u;
    for (char& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state);
    }
    return bytes;
}
} // namespace

class TestZipWriter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void aZipArchiveHoldsEveryEntryWhole_data()
    {
        QTest::addColumn<QList<QByteArray>>("contents");
        QTest::addColumn<QList<int>>("copies"); // how often each content is written
        QTest::newRow("small parts")
            << QList<QByteArray>{"<a/>", "<b>x</b>", "{}"} << QList<int>{1, 1, 1};
        QTest::newRow("an empty part between two")
            << QList<QByteArray>{"x", "", "y"} << QList<int>{1, 0, 1};
        // Many chunks of input, each deflating to more than a chunk of output.
        QTest::newRow("bytes that do not compress")
            << QList<QByteArray>{noise(1 << 16)} << QList<int>{48};
        QTest::newRow("repetitive rows, many chunks")
            << QList<QByteArray>{"<row><c t=\"inlineStr\"><is><t>0000000042</t></is></c></row>"}
            << QList<int>{200000};
    }

    void aZipArchiveHoldsEveryEntryWhole()
    {
        QFETCH(QList<QByteArray>, contents);
        QFETCH(QList<int>, copies);
        QFile file(path(QStringLiteral("parts.zip")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QStringList expected;
        {
            ZipWriter zip(file);
            for (int e = 0; e < contents.size(); ++e) {
                zip.begin("part" + QByteArray::number(e) + ".xml");
                QCryptographicHash hash(QCryptographicHash::Sha1);
                for (int c = 0; c < copies.at(e); ++c) {
                    zip.write(contents.at(e));
                    hash.addData(contents.at(e));
                }
                QCOMPARE(zip.entryBytes(), contents.at(e).size() * copies.at(e));
                expected << QStringLiteral("part%1.xml %2 %3")
                                .arg(e)
                                .arg(contents.at(e).size() * copies.at(e))
                                .arg(QString::fromLatin1(hash.result().toHex()));
            }
            QVERIFY2(zip.close(), qPrintable(zip.error().en));
        }
        file.close();
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import hashlib,sys,zipfile\n"
                                     "z=zipfile.ZipFile(sys.argv[1])\n"
                                     "print(z.testzip())\n"
                                     "for i in z.infolist():\n"
                                     " d=z.read(i)\n"
                                     " print(i.filename,len(d),hashlib.sha1(d).hexdigest())"),
                      file.fileName()});
        QVERIFY(python.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(python.readAllStandardOutput()).trimmed(),
                 QStringLiteral("None\n") + expected.join(u'\n'));
    }

    // The disk fills while the second thread writes: the caller hears of it, and the archive
    // is not called complete.
    void aZipArchiveOnAFullDiskFails()
    {
        QFile file(path(QStringLiteral("full.zip")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        ZipWriter zip(file);
        {
            FileSizeLimit limit(64 * 1024);
            zip.begin("sheet.xml");
            const QByteArray block = noise(1 << 16);
            for (int c = 0; c < 64 && !zip.failed(); ++c)
                zip.write(block);
            QVERIFY(!zip.close());
        }
        QVERIFY(zip.failed());
        QVERIFY2(!zip.error().isEmpty() && zip.error().en != QStringLiteral("Unknown error"),
                 qPrintable(zip.error().en));
    }
};

QTEST_GUILESS_MAIN(TestZipWriter)
#include "tst_zipwriter.moc"
