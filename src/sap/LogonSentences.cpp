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

BiText LogonSentences::sentence(const LogonData& attempt, const QString& error)
{
    const BiText system =
        attempt.isDemo() ? Texts::get(TextId::LogonDemoSystem) : BiText::same(attempt.system);
    QString words = error.trimmed();
    if (NwRfcLibrary::namesTheLibrary(words))
        return {words, words};
    while (words.endsWith(u'.'))
        words.chop(1);
    const BiText refused = Texts::get(TextId::LogonRefused);
    const BiText advice = Texts::get(adviceFor(error));
    return {refused.en.arg(system.en, attempt.user, attempt.client, words) + u' ' + advice.en,
            refused.pt.arg(system.pt, attempt.user, attempt.client, words) + u' ' + advice.pt};
}

std::optional<LogonData> LogonSentences::ask(const LogonData& defaults, const QString& error)
{
    if (error.isEmpty())
        return m_dialog.ask(defaults, error);
    return m_dialog.ask(defaults, Language(m_state).pick(sentence(defaults, error)));
}
