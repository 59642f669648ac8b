#include "sap/LogonSentences.h"

#include "sap/nwrfc/NwRfcLibrary.h"
#include "shell/Language.h"
#include "shell/Texts.h"

namespace
{
TextId adviceFor(const QString& error)
{
    const auto has = [&error](const char* word) {
        return error.contains(QLatin1String(word), Qt::CaseInsensitive);
    };
    if (has("password"))
        return TextId::LogonAdvicePassword;
    if (has("client"))
        return TextId::LogonAdviceClient;
    if (has("language"))
        return TextId::LogonAdviceLanguage;
    if (has("certificate") || has("SSL") || has("TLS"))
        return TextId::LogonAdviceCertificate;
    for (const char* word : {"refused", "host", "answer", "time", "HTTP", "network", "resolve",
                             "unreachable", "https://"}) {
        if (has(word))
            return TextId::LogonAdviceNetwork;
    }
    return TextId::LogonAdviceOther;
}
} // namespace

BiText LogonSentences::sentence(const LogonData& attempt, const BiText& error)
{
    const BiText system =
        attempt.isDemo() ? Texts::get(TextId::LogonDemoSystem) : BiText::same(attempt.system);
    if (NwRfcLibrary::namesTheLibrary(error.en.trimmed()))
        return {error.en.trimmed(), error.pt.trimmed()};
    const auto words = [](QString said) {
        said = said.trimmed();
        while (said.endsWith(u'.'))
            said.chop(1);
        return said;
    };
    const BiText refused = Texts::get(TextId::LogonRefused);
    // The system's words choose the advice; they are the same in both forms, or English first.
    const BiText advice = Texts::get(adviceFor(error.en));
    return {refused.en.arg(system.en, attempt.user, attempt.client, words(error.en)) + u' ' +
                advice.en,
            refused.pt.arg(system.pt, attempt.user, attempt.client, words(error.pt)) + u' ' +
                advice.pt};
}

std::optional<LogonData> LogonSentences::ask(const LogonData& defaults, const BiText& error)
{
    if (error.isEmpty())
        return m_dialog.ask(defaults, error);
    return m_dialog.ask(defaults, sentence(defaults, error));
}
