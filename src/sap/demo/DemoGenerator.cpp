#include "sap/demo/DemoGenerator.h"

#include "sap/demo/DemoDictionary.h"
#include "sap/demo/DemoRandom.h"
#include "sap/demo/DemoTableWriter.h"
#include "sap/demo/SqliteDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace
{
using Value = DemoTableWriter::Value;
using Row = DemoTableWriter::Row;

const std::vector<QString> kCountries = {"DE", "BR", "PT", "US", "FR", "ES", "GB", "AT"};
const std::vector<QString> kCities = {"Berlin", "São Paulo", "Lisboa",  "New York", "Paris",
                                      "Madrid", "London",    "Wien",    "München",  "Porto Alegre",
                                      "Köln",   "Besançon",  "Coimbra", "Zürich"};
const std::vector<QString> kStreets = {
    "Hauptstraße 1",  "Rua da Conceição, 12", "5th Avenue 300",        "Rue de l'Église 7",
    "Calle Mayor; 4", "Baker Street 221b",    "Avenida Paulista 1578", "Große Allee 44"};
const std::vector<QString> kUsers = {"DEMO", "AUDIT", "MARIA", "JSILVA", "KMUELLER", "BATCH"};
const std::vector<QString> kCurrencies = {"EUR", "BRL", "EUR", "USD", "EUR", "EUR", "GBP", "EUR"};

QString digits(long number, int width)
{
    return QStringLiteral("%1").arg(number, width, 10, QChar(u'0'));
}

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

bool writeDictionary(DemoTableWriter& w)
{
    const auto& dictionary = DemoDictionary::instance();
    bool ok = w.begin(QStringLiteral("DD02L"));
    for (const auto& t : dictionary.tables())
        ok = ok && w.insert({t.name, text("A"), text("0000"), t.tabclass,
                             t.clientDependent() ? text("X") : QString(), text("A")});
    ok = ok && w.begin(QStringLiteral("DD02T"));
    for (const auto& t : dictionary.tables()) {
        ok = ok && w.insert({t.name, text("E"), text("A"), text("0000"), t.textEn});
        ok = ok && w.insert({t.name, text("P"), text("A"), text("0000"), t.textPt});
    }
    ok = ok && w.begin(QStringLiteral("DD03L"));
    for (const auto& t : dictionary.tables()) {
        int position = 1;
        for (const auto& f : t.fields)
            ok = ok &&
                 w.insert({t.name, f.name, text("A"), text("0000"), digits(position++, 4),
                           f.key ? text("X") : QString(), f.name, f.letter, digits(f.length, 6),
                           f.dataType, digits(f.length, 6), digits(f.decimals, 6), f.name});
    }
    ok = ok && w.begin(QStringLiteral("DD04T"));
    QStringList names = dictionary.dataElements().keys();
    names.sort();
    for (const QString& name : names) {
        const auto& texts = dictionary.dataElements().value(name);
        for (const auto& [language, label] :
             {std::pair{text("E"), texts.first}, std::pair{text("P"), texts.second}})
            ok = ok && w.insert({name, language, text("A"), text("0000"), label, label.left(55),
                                 label.left(10), label.left(20), label.left(40)});
    }
    return ok;
}

bool writeCustomizing(DemoTableWriter& w)
{
    bool ok = w.begin(QStringLiteral("T000"));
    ok = ok && w.insert({text("000"), text("SAP AG Konzern"), text("Walldorf"), text("EUR"),
                         text("S"), text("SAP"), text("20020101"), QString()});
    ok = ok && w.insert({text("001"), text("Auslieferungsmandant R11"), text("Kundstadt"),
                         text("EUR"), text("T"), text("DEMO"), text("20050312"), QString()});
    ok = ok &&
         w.insert({text("100"), text("Demo – Vendas & Finanças"), text("São Paulo"), text("BRL"),
                   text("C"), text("DEMO"), text("20070312"), text("DMOCLNT100")});
    ok = ok && w.begin(QStringLiteral("T001"));
    const std::vector<std::vector<const char*>> companies = {
        {"1000", "Zorv Deutschland GmbH", "Frankfurt", "DE", "EUR", "D", "INT", "K4",
         "DE123456789"},
        {"2000", "Zorv do Brasil Ltda.", "São Paulo", "BR", "BRL", "P", "INT", "K4", ""},
        {"3000", "Zorv Portugal, Lda.", "Lisboa", "PT", "EUR", "P", "INT", "K4", "PT501234567"},
        {"4000", "Zorv Inc.", "New York", "US", "USD", "E", "INT", "K4", ""},
        {"5000", "Zorv France \"SARL\"", "Besançon", "FR", "EUR", "F", "INT", "K4",
         "FR12345678901"},
        {"6000", "Zorv Ibérica; S.A.", "Madrid", "ES", "EUR", "S", "INT", "K4", "ESX1234567X"}};
    for (const auto& c : companies)
        ok = ok && w.insert({text("100"), text(c[0]), text(c[1]), text(c[2]), text(c[3]),
                             text(c[4]), text(c[5]), text(c[6]), text(c[7]), text(c[8])});
    const std::vector<std::vector<const char*>> countries = {
        {"DE", "Deutsch", "DE", "X", "EUR", "Germany", "Alemanha"},
        {"BR", "Brasileiro", "BR", "", "BRL", "Brazil", "Brasil"},
        {"PT", "Português", "PT", "X", "EUR", "Portugal", "Portugal"},
        {"US", "American", "US", "", "USD", "USA", "Estados Unidos"},
        {"FR", "Français", "FR", "X", "EUR", "France", "França"},
        {"ES", "Español", "ES", "X", "EUR", "Spain", "Espanha"},
        {"GB", "British", "GB", "", "GBP", "United Kingdom", "Reino Unido"},
        {"AT", "Österreichisch", "AT", "X", "EUR", "Austria", "Áustria"}};
    ok = ok && w.begin(QStringLiteral("T005"));
    for (const auto& c : countries)
        ok = ok &&
             w.insert({text("100"), text(c[0]), text(c[1]), text(c[2]), text(c[3]), text(c[4])});
    ok = ok && w.begin(QStringLiteral("T005T"));
    for (const auto& c : countries) {
        ok = ok && w.insert({text("100"), text("E"), text(c[0]), text(c[5]), text(c[1])});
        ok = ok && w.insert({text("100"), text("P"), text(c[0]), text(c[6]), text(c[1])});
    }
    return ok;
}

Row customer(DemoRandom& r, const QString& client, long n)
{
    // KNA1 has many fields that stay empty: values are set by name, in the generator's order.
    const DemoDictionary::Table& kna1 = *DemoDictionary::instance().table(QStringLiteral("KNA1"));
    Row row(static_cast<size_t>(kna1.fields.size()), Value(QString()));
    const auto set = [&](const char* name, Value value) {
        for (qsizetype i = 0; i < kna1.fields.size(); ++i) {
            if (kna1.fields.at(i).name == QLatin1String(name))
                row[static_cast<size_t>(i)] = std::move(value);
        }
    };
    const QString country = r.pick(kCountries);
    const QString name = r.companyName(n);
    // Most customer numbers are numeric with SAP's leading zeros; some are alphanumeric.
    set("MANDT", client);
    set("KUNNR", n % 50 == 0 ? QStringLiteral("CUST-%1").arg(n) : digits(n, 10));
    set("LAND1", country);
    set("NAME1", name);
    set("NAME2", r.below(3) == 0 ? text("c/o Logística") : QString());
    set("ORT01", r.pick(kCities));
    set("PSTLZ", digits(10000 + r.below(89999), 5));
    set("REGIO", digits(r.below(30), 2));
    set("SORTL", name.toUpper().left(10));
    set("STRAS", r.pick(kStreets));
    set("TELF1", QStringLiteral("+49 69 %1").arg(r.below(9999999)));
    set("ADRNR", digits(r.below(999999), 10));
    set("MCOD1", name.toUpper().left(25));
    set("ANRED", r.below(2) ? text("Company") : text("Firma"));
    set("BBBNR", digits(r.below(9999999), 7));
    set("BBSNR", digits(r.below(99999), 5));
    set("BRSCH", text("M001"));
    set("BUBKZ", text("0"));
    set("ERDAT", r.date(true));
    set("ERNAM", r.pick(kUsers));
    set("KTOKD", text("0001"));
    set("LOEVM", r.below(20) == 0 ? text("X") : QString());
    set("SPRAS", text("D"));
    set("UMSAT", r.amount(9999999, 2));
    set("UMJAH", text("2006"));
    set("JMZAH", digits(r.below(5000), 6));
    set("JMJAH", text("2006"));
    return row;
}

bool writeMasterData(DemoTableWriter& w, DemoRandom& r, const DemoGenerator::Counts& counts)
{
    bool ok = w.begin(QStringLiteral("KNA1"));
    for (long n = 1; ok && n <= counts.customers; ++n)
        ok = w.insert(customer(r, text("100"), n));
    for (long n = 1; ok && n <= 5; ++n)
        ok = w.insert(customer(r, text("001"), 900000 + n));
    ok = ok && w.begin(QStringLiteral("LFA1"));
    for (long n = 1; ok && n <= counts.vendors; ++n) {
        const QString name = r.companyName(n + 7);
        ok = w.insert({text("100"),
                       digits(100000 + n, 10),
                       r.pick(kCountries),
                       name,
                       QString(),
                       QString(),
                       QString(),
                       r.pick(kCities),
                       digits(10000 + r.below(89999), 5),
                       digits(r.below(30), 2),
                       name.toUpper().left(10),
                       r.pick(kStreets),
                       digits(r.below(999999), 10),
                       r.date(true),
                       r.pick(kUsers),
                       text("0001"),
                       n % 11 == 0 ? digits(n, 10) : QString(),
                       n % 13 == 0 ? text("X") : QString(),
                       QString(),
                       QString()});
    }
    ok = ok && w.begin(QStringLiteral("MARA"));
    const std::vector<QString> types = {"FERT", "HALB", "ROH", "HAWA"};
    for (long n = 1; ok && n <= counts.materials; ++n) {
        // Every 97th material is so heavy that its weight overflows the printed length.
        const double gross = n % 97 == 0 ? 9999999999.999 : r.amount(5000, 3);
        ok =
            w.insert({text("100"), digits(n, 18), r.date(false), r.pick(kUsers), r.date(true),
                      r.pick(kUsers), n % 31 == 0 ? text("X") : QString(), r.pick(types), text("M"),
                      QStringLiteral("%1").arg(r.below(999), 3, 10, QChar(u'0')), text("ST"), gross,
                      gross * 0.9, text("KG"), text("01"), digits(4000000000000 + n, 13)});
    }
    ok = ok && w.begin(QStringLiteral("MAKT"));
    const std::vector<std::pair<QString, QString>> things = {{"Pump", "Bomba"},
                                                             {"Valve", "Válvula"},
                                                             {"Gear, steel", "Engrenagem; aço"},
                                                             {"Bearing \"XL\"", "Rolamento \"XL\""},
                                                             {"Cable", "Cabo"},
                                                             {"Motor", "Motor elétrico"}};
    for (long n = 1; ok && n <= counts.materials; ++n) {
        const auto& thing = things[static_cast<size_t>(n % static_cast<long>(things.size()))];
        const QString en = QStringLiteral("%1 %2").arg(thing.first).arg(n);
        const QString pt = QStringLiteral("%1 %2").arg(thing.second).arg(n);
        ok = w.insert({text("100"), digits(n, 18), text("E"), en, en.toUpper()}) &&
             w.insert({text("100"), digits(n, 18), text("P"), pt, pt.toUpper()});
    }
    return ok;
}

bool writeSales(DemoTableWriter& w, DemoRandom& r, const DemoGenerator::Counts& counts)
{
    bool ok = w.begin(QStringLiteral("VBAK"));
    std::vector<std::pair<double, QString>> totals;
    for (long n = 1; ok && n <= counts.salesOrders; ++n) {
        const bool credit = n % 17 == 0;
        const QString currency = r.pick(kCurrencies);
        const double value = (credit ? -1.0 : 1.0) * r.amount(999999, 2);
        ok = w.insert({text("100"), digits(n, 10), r.date(false), r.time(), r.pick(kUsers),
                       r.date(false), credit ? text("K") : text("C"),
                       credit ? text("G2") : text("TA"), value, currency, text("1000"), text("10"),
                       text("00"), digits(1 + r.below(static_cast<int>(counts.customers)), 10)});
    }
    ok = ok && w.begin(QStringLiteral("VBAP"));
    for (long n = 1; ok && n <= counts.salesOrders; ++n) {
        for (long item = 1; ok && item <= counts.itemsPerOrder; ++item) {
            const long material = 1 + r.below(static_cast<int>(counts.materials));
            const double quantity = 1 + r.below(500);
            const double price = r.amount(9999, 2);
            ok = w.insert({text("100"), digits(n, 10), digits(item * 10, 6), digits(material, 18),
                           QStringLiteral("Item %1 of order %2").arg(item).arg(n), text("TAN"),
                           quantity * price, text("EUR"), price, quantity, text("ST"),
                           text("1000")});
        }
    }
    return ok;
}

bool writeAccounting(DemoTableWriter& w, DemoRandom& r, const DemoGenerator::Counts& counts)
{
    const std::vector<QString> codes = {"1000", "2000", "3000", "4000"};
    bool ok = w.begin(QStringLiteral("BKPF"));
    std::vector<QString> documentCodes;
    documentCodes.reserve(static_cast<size_t>(counts.documents));
    for (long n = 1; ok && n <= counts.documents; ++n) {
        const QString code = codes[static_cast<size_t>(n % 4)];
        documentCodes.push_back(code);
        const QString posted = r.date(false);
        ok = w.insert({text("100"), code, digits(n, 10), posted.left(4), text("SA"), r.date(false),
                       posted, posted.mid(4, 2), posted, r.time(), r.pick(kUsers), text("FB01"),
                       QStringLiteral("REF-%1").arg(n),
                       n % 9 == 0 ? text("Ajuste; câmbio \"EUR\"") : QString(), text("EUR"),
                       1.0 + r.amount(9, 2) / 10.0});
    }
    ok = ok && w.begin(QStringLiteral("BSEG"));
    for (long n = 1; ok && n <= counts.documents; ++n) {
        for (long line = 1; ok && line <= counts.linesPerDocument; ++line) {
            const bool credit = line % 2 == 0;
            const double amount = r.amount(99999, 2);
            ok = w.insert({text("100"), documentCodes[static_cast<size_t>(n - 1)], digits(n, 10),
                           text("2024"), digits(line, 3), r.date(true),
                           n % 5 == 0 ? digits(n + 5000000, 10) : QString(),
                           credit ? text("50") : text("40"), text("S"),
                           credit ? text("H") : text("S"), text("V1"), credit ? -amount : amount,
                           credit ? -amount : amount, digits(400000 + r.below(99999), 10),
                           line == 1 ? digits(1 + r.below(static_cast<int>(counts.customers)), 10)
                                     : QString(),
                           QString(), QStringLiteral("Line %1, doc %2").arg(line).arg(n)});
        }
    }
    return ok;
}

bool writeWideTable(DemoTableWriter& w)
{
    bool ok = w.begin(QStringLiteral("ZWIDE"));
    for (int r = 1; ok && r <= 600; ++r) {
        Row row{text("100"), digits(r, 6)};
        for (int c = 1; c <= DemoDictionary::kWideColumns; ++c)
            row.push_back(QStringLiteral("%1.%2").arg(r).arg(c));
        ok = w.insert(row);
    }
    return ok;
}

bool writeTypeSamples(DemoTableWriter& w)
{
    bool ok = w.begin(QStringLiteral("ZTYPES"));
    const std::vector<Row> rows = {
        {text("100"), text("00000001"), text("Plain text"), text("20070312"), text("134500"), 12.5,
         1234.56, 1.5, qint64(1), QByteArray("\x01\x02\x03\x04", 4), text("E"), text("EUR"),
         text("KG")},
        {text("100"), text("00000002"), text("Ação; \"quoted\", ß"), text("00000000"),
         text("000000"), -12.5, -1234.56, 0.0, qint64(-1), QByteArray("\xff\x00\xab\xcd", 4),
         text("P"), text("BRL"), text("ST")},
        {text("100"), text("00000003"), QString(), text("19991231"), text("235959"), 99.0,
         99999999999.99, 9999999999.999, qint64(2147483647), QByteArray(), QString(), QString(),
         QString()},
        {text("100"), text("00000004"), text("  leading blanks"), text("20240229"), text("120000"),
         -99.9, 0.01, -0.001, qint64(0), QByteArray("\x00", 1), text("D"), text("USD"), text("M")},
    };
    for (const Row& row : rows)
        ok = ok && w.insert(row);
    ok = ok && w.begin(QStringLiteral("ZFLOAT"));
    ok = ok && w.insert({text("100"), text("00000001"), 3.14159});
    return ok;
}
} // namespace

DemoGenerator::Counts DemoGenerator::countsFor(int scale)
{
    const long s = scale < 1 ? 1 : scale;
    return {500 * s, 300 * s, 400 * s, 2000 * s, 3, 2000 * s, 5};
}

bool DemoGenerator::build(const QString& path, int scale, QString* error,
                          const std::function<void(const QString&)>& progress)
{
    const auto say = [&](const QString& what) {
        if (progress)
            progress(what);
    };
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString partial = path + QStringLiteral(".partial");
    QFile::remove(partial);
    QString why;
    {
        SqliteDatabase db;
        if (!db.open(partial, SqliteDatabase::Mode::Create)) {
            if (error)
                *error = db.error();
            return false;
        }
        DemoTableWriter w(db, &why);
        // Large pages: a long read costs fewer calls into the file system.
        bool ok = w.run(QStringLiteral("PRAGMA page_size = 32768")) &&
                  w.run(QStringLiteral("PRAGMA journal_mode = OFF")) &&
                  w.run(QStringLiteral("PRAGMA synchronous = OFF")) &&
                  w.run(QStringLiteral("BEGIN"));
        for (const auto& table : DemoDictionary::instance().tables()) {
            if (!table.isStructure())
                ok = ok && w.create(table);
        }
        ok = ok && w.run(QStringLiteral("CREATE TABLE ZORV_META (NAME TEXT PRIMARY KEY, VALUE)"));
        ok = ok && w.run(QStringLiteral("INSERT INTO ZORV_META VALUES ('version', %1), "
                                        "('scale', %2)")
                             .arg(kVersion)
                             .arg(scale));
        const Counts counts = countsFor(scale);
        DemoRandom random(20070312);
        say(QStringLiteral("dictionary"));
        ok = ok && writeDictionary(w) && writeCustomizing(w);
        say(QStringLiteral("master data"));
        ok = ok && writeMasterData(w, random, counts);
        say(QStringLiteral("sales documents"));
        ok = ok && writeSales(w, random, counts);
        say(QStringLiteral("accounting documents"));
        ok = ok && writeAccounting(w, random, counts) && writeTypeSamples(w) && writeWideTable(w);
        ok = ok && w.run(QStringLiteral("COMMIT"));
        if (!ok) {
            db.close();
            QFile::remove(partial);
            if (error)
                *error = why;
            return false;
        }
    }
    // One step where the system allows it: a reader sees the old database or the new, never
    // none.
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(path).constData()) ==
        0)
        return true;
    QFile::remove(path);
    if (!QFile::rename(partial, path)) {
        if (error)
            *error = QStringLiteral("cannot replace ") + path;
        QFile::remove(partial);
        return false;
    }
    return true;
}
