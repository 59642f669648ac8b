#include "sap/demo/DemoRandom.h"

namespace
{
const std::vector<QString> kNameStarts = {
    "Müller",         "Açúcar União", "Smith, Jones",  "\"Best\"",     "Café São João",
    "Straße Bau",     "Hôtel Élysée", "Ølstad",        "Coração; Cia", "O'Brien",
    "Lopes & Filhos", "Nordwind",     "Pão de Queijo", "Ibérica"};
const std::vector<QString> kNameEnds = {"GmbH",     "Ltda.", "and Partners", "Foods Inc.",
                                        "S.A.",     "AG",    "SARL",         "AS",
                                        "Comércio", "Ltd.",  "& Söhne KG"};
} // namespace

double DemoRandom::amount(double max, int decimals)
{
    const double scale = decimals == 3 ? 1000.0 : 100.0;
    return static_cast<double>(next() % static_cast<std::uint64_t>(max * scale)) / scale;
}

QString DemoRandom::date(bool mayBeEmpty)
{
    if (mayBeEmpty && below(8) == 0)
        return QStringLiteral("00000000");
    return QStringLiteral("%1%2%3")
        .arg(2000 + below(26))
        .arg(1 + below(12), 2, 10, QChar(u'0'))
        .arg(1 + below(28), 2, 10, QChar(u'0'));
}

QString DemoRandom::time()
{
    return QStringLiteral("%1%2%3")
        .arg(below(24), 2, 10, QChar(u'0'))
        .arg(below(60), 2, 10, QChar(u'0'))
        .arg(below(60), 2, 10, QChar(u'0'));
}

QString DemoRandom::companyName(long n)
{
    return pick(kNameStarts) + u' ' + pick(kNameEnds) +
           (n % 7 == 0 ? QString() : QStringLiteral(" %1").arg(n));
}
