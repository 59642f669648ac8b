// Recovery copies of unsaved queries: only the copies Zorv wrote are ever removed, and a folder
// that is a link to the user's files is not used.
#include "query/document/QueryDocumentFile.h"
#include "query/document/RecoveryCopies.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{
QueryDocument query(const char* field)
{
    QueryDocument document;
    document.fields = {QStringLiteral("C010 ") + QString::fromLatin1(field) +
                       QStringLiteral(" Customer")};
    document.fieldCount = 1;
    return document;
}

bool writeText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

QStringList files(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}
} // namespace

class TestRecoveryCopies : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filesThatAreNotZorvsCopiesStay()
    {
        QTemporaryDir home;
        const QString folder = RecoveryCopies::folderIn(home.path());
        QVERIFY(RecoveryCopies::replace(folder, {{QStringLiteral("Old"), query("KNA1-KUNNR")},
                                                 {QStringLiteral("Older"), query("LFA1-LIFNR")}}));
        // A file of the user's with a name like a copy's, and one that is no query at all.
        QVERIFY(writeText(QDir(folder).filePath(QStringLiteral("01 my notes.txt")),
                          "call the auditor on Monday\n"));
        QVERIFY(writeText(QDir(folder).filePath(QStringLiteral("07 draft.txt")), ""));
        QCOMPARE(RecoveryCopies::read(folder).size(), 2);
        QVERIFY(RecoveryCopies::replace(folder, {{QStringLiteral("New"), query("MARA-MATNR")}}));
        QCOMPARE(files(folder), (QStringList{"01 New.txt", "01 my notes.txt", "07 draft.txt"}));
        RecoveryCopies::clear(folder);
        QCOMPARE(files(folder), (QStringList{"01 my notes.txt", "07 draft.txt"}));
        QVERIFY(QDir(folder).exists());
    }

    void aFolderThatIsALinkIsNotUsed()
    {
        QTemporaryDir home;
        const QString documents = home.filePath(QStringLiteral("Documents"));
        QVERIFY(QDir().mkpath(documents));
        QVERIFY(
            QueryDocumentFile::writeFile(QDir(documents).filePath(QStringLiteral("01 minutes.txt")),
                                         query("KNA1-KUNNR"), nullptr));
        QVERIFY(writeText(QDir(documents).filePath(QStringLiteral("12 budget 2024.txt")),
                          "rent;1200\n"));
        const QString folder = RecoveryCopies::folderIn(home.path());
        QVERIFY(QFile::link(documents, folder));
        QVERIFY(RecoveryCopies::read(folder).isEmpty());
        QVERIFY(!RecoveryCopies::replace(folder, {{QStringLiteral("New"), query("MARA-MATNR")}}));
        QVERIFY(RecoveryCopies::replace(folder, {}) == false);
        RecoveryCopies::clear(folder);
        QCOMPARE(files(documents), (QStringList{"01 minutes.txt", "12 budget 2024.txt"}));
    }
};

QTEST_GUILESS_MAIN(TestRecoveryCopies)
#include "tst_recoverycopies.moc"
