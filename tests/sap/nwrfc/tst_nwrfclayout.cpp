#include "sap/nwrfc/NwRfcApi.h"

#include <QTest>

#include <cstddef>

// The library reads and writes these structures by place, not by name: every size and offset
// below is worked out by hand from the member sizes (two bytes a character, eight a pointer).
class TestNwRfcLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void places_data()
    {
        using namespace nwrfc;
        QTest::addColumn<qulonglong>("actual");
        QTest::addColumn<qulonglong>("expected");
        const auto row = [](const char* name, std::size_t actual, qulonglong expected) {
            QTest::newRow(name) << qulonglong(actual) << expected;
        };

        row("SapUc size", sizeof(SapUc), 2);

        // Two ints, then 128, 512, 21, 2, 4 and four times 51 characters, ending on a multiple
        // of 4; the notes add the bytes of the members before.
        row("ErrorInfo size", sizeof(ErrorInfo), 1752);
        row("ErrorInfo code", offsetof(ErrorInfo, code), 0);
        row("ErrorInfo group", offsetof(ErrorInfo, group), 4);
        row("ErrorInfo key", offsetof(ErrorInfo, key), 8);
        row("ErrorInfo message", offsetof(ErrorInfo, message), 264);              // 8 + 256
        row("ErrorInfo abapMsgClass", offsetof(ErrorInfo, abapMsgClass), 1288);   // + 1024
        row("ErrorInfo abapMsgType", offsetof(ErrorInfo, abapMsgType), 1330);     // + 42
        row("ErrorInfo abapMsgNumber", offsetof(ErrorInfo, abapMsgNumber), 1334); // + 4
        row("ErrorInfo abapMsgV1", offsetof(ErrorInfo, abapMsgV1), 1342);         // + 8
        row("ErrorInfo abapMsgV2", offsetof(ErrorInfo, abapMsgV2), 1444);         // + 102
        row("ErrorInfo abapMsgV3", offsetof(ErrorInfo, abapMsgV3), 1546);
        row("ErrorInfo abapMsgV4", offsetof(ErrorInfo, abapMsgV4), 1648); // ends at 1750

        row("ConnectionParameter size", sizeof(ConnectionParameter), 16);
        row("ConnectionParameter name", offsetof(ConnectionParameter, name), 0);
        row("ConnectionParameter value", offsetof(ConnectionParameter, value), 8);

        // 559 characters in all, no padding; the notes add the characters of the members before.
        row("Attributes size", sizeof(Attributes), 1118);
        row("Attributes dest", offsetof(Attributes, dest), 0);
        row("Attributes host", offsetof(Attributes, host), 130);               // 65 characters
        row("Attributes partnerHost", offsetof(Attributes, partnerHost), 332); // + 101
        row("Attributes sysNumber", offsetof(Attributes, sysNumber), 534);     // + 101
        row("Attributes sysId", offsetof(Attributes, sysId), 540);             // + 3
        row("Attributes client", offsetof(Attributes, client), 558);           // + 9
        row("Attributes user", offsetof(Attributes, user), 566);               // + 4
        row("Attributes language", offsetof(Attributes, language), 592);       // + 13
        row("Attributes isoLanguage", offsetof(Attributes, isoLanguage), 602); // + 3 + 2
        row("Attributes partnerCodepage", offsetof(Attributes, partnerCodepage), 618); // + 3 + 5
        row("Attributes rel", offsetof(Attributes, rel), 640);               // + 5 + 2 + 2 + 2
        row("Attributes partnerRel", offsetof(Attributes, partnerRel), 650); // + 5
        row("Attributes progName", offsetof(Attributes, progName), 688);     // + 5 + 5 + 9
        row("Attributes reserved", offsetof(Attributes, reserved), 1084); // + 129 + 2 + 5 + 16 + 46
    }

    void places()
    {
        QFETCH(qulonglong, actual);
        QFETCH(qulonglong, expected);
        QCOMPARE(actual, expected);
    }

    // The binding checks a structure it gets by these constants; they must say the same.
    void constants()
    {
        using namespace nwrfc;
        QCOMPARE(kErrorInfoSize, sizeof(ErrorInfo));
        QCOMPARE(kErrorInfoMessageOffset, offsetof(ErrorInfo, message));
        QCOMPARE(kAttributesSize, sizeof(Attributes));
        QCOMPARE(kErrorInfoSize, std::size_t(1752));
        QCOMPARE(kErrorInfoMessageOffset, std::size_t(264));
        QCOMPARE(kAttributesSize, std::size_t(1118));
    }
};

QTEST_GUILESS_MAIN(TestNwRfcLayout)
#include "tst_nwrfclayout.moc"
