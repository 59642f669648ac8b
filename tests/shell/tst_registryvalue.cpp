#include "shell/RegistryValue.h"

#include <QStringList>
#include <QTest>

namespace
{
const QString kTry1Key = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kTry2Key = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

QByteArray bytes(std::initializer_list<unsigned char> list)
{
    QByteArray result;
    for (unsigned char c : list)
        result.append(char(c));
    return result;
}
} // namespace

class TestRegistryValue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decodesStringsAndNumbers_data()
    {
        QTest::addColumn<uint>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("hasText");
        QTest::addColumn<QString>("text");
        QTest::newRow("string with its NUL")
            << 1u << QByteArray("C:\\Program Files\\msinfo32.exe", 30) << true
            << "C:\\Program Files\\msinfo32.exe";
        QTest::newRow("string without NUL") << 1u << QByteArray("abc") << true << "abc";
        QTest::newRow("empty string") << 1u << QByteArray("", 1) << true << "";
        QTest::newRow("no data") << 1u << QByteArray() << true << "";
        QTest::newRow("only one NUL is dropped")
            << 1u << QByteArray("abc\0\0", 5) << true << QStringLiteral("abc") + QChar(u'\0');
        QTest::newRow("inner NUL kept") << 1u << QByteArray("a\0b", 3) << true
                                        << QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b");
        QTest::newRow("dword 1") << 4u << bytes({1, 0, 0, 0}) << true << "1";
        QTest::newRow("dword 0") << 4u << bytes({0, 0, 0, 0}) << true << "0";
        QTest::newRow("dword 256") << 4u << bytes({0, 1, 0, 0}) << true << "256";
        QTest::newRow("dword little-endian")
            << 4u << bytes({0x78, 0x56, 0x34, 0x12}) << true << "305419896";
        QTest::newRow("dword with every byte")
            << 4u << bytes({0x0a, 0x0b, 0x0c, 0x0d}) << true << "218893066";
        QTest::newRow("expandable string") << 2u << QByteArray("%windir%", 9) << false << "";
        QTest::newRow("binary") << 3u << bytes({1, 2, 3}) << false << "";
        QTest::newRow("multi string") << 7u << QByteArray("a\0b\0\0", 5) << false << "";
    }
    void decodesStringsAndNumbers()
    {
        QFETCH(uint, type);
        QFETCH(QByteArray, data);
        QFETCH(bool, hasText);
        QFETCH(QString, text);
        const std::optional<QString> decoded = RegistryValue::decode(type, data);
        QCOMPARE(decoded.has_value(), hasText);
        if (hasText)
            QCOMPARE(*decoded, text);
    }

    void systemInformationTool_data()
    {
        QTest::addColumn<QString>("try1");
        QTest::addColumn<QString>("try2");
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("checked");
        // Try 1 is taken as it is, even when the file is gone.
        QTest::newRow("try 1 wins")
            << "C:\\Tools\\msinfo32.exe"
            << "C:\\Other" << false << "C:\\Tools\\msinfo32.exe" << QStringList{};
        QTest::newRow("try 2 with the file")
            << ""
            << "C:\\Common\\MSInfo" << true << "C:\\Common\\MSInfo\\MSINFO32.EXE"
            << QStringList{"C:\\Common\\MSInfo\\MSINFO32.EXE"};
        QTest::newRow("try 2 without the file") << ""
                                                << "C:\\Common\\MSInfo" << false << ""
                                                << QStringList{"C:\\Common\\MSInfo\\MSINFO32.EXE"};
        QTest::newRow("neither") << ""
                                 << "" << true << "" << QStringList{};
    }
    void systemInformationTool()
    {
        QFETCH(QString, try1);
        QFETCH(QString, try2);
        QFETCH(bool, fileExists);
        QFETCH(QString, expected);
        QFETCH(QStringList, checked);
        QStringList reads;
        QStringList existsCalls;
        const auto read = [&](const QString& key, const QString& name) -> std::optional<QString> {
            reads.append(key + u'|' + name);
            if (key == kTry1Key && name == u"PATH" && !try1.isEmpty())
                return try1;
            if (key == kTry2Key && name == u"MSINFO" && !try2.isEmpty())
                return try2;
            return std::nullopt;
        };
        const auto exists = [&](const QString& path) {
            existsCalls.append(path);
            return fileExists;
        };
        QCOMPARE(RegistryValue::systemInformationTool(read, exists), expected);
        QCOMPARE(existsCalls, checked);
        QCOMPARE(reads.constFirst(), kTry1Key + QStringLiteral("|PATH"));
        // The second place is read only when the first gave nothing.
        QCOMPARE(reads.size(), try1.isEmpty() ? 2 : 1);
        if (try1.isEmpty())
            QCOMPARE(reads.at(1), kTry2Key + QStringLiteral("|MSINFO"));
    }
};

QTEST_GUILESS_MAIN(TestRegistryValue)
#include "tst_registryvalue.moc"
