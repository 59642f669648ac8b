#include "shell/Greeting.h"

#include "shell/Language.h"
#include "shell/Texts.h"

BiText Greeting::forTime(const QTime& time)
{
    const QString hhmm = time.toString(QStringLiteral("HH:mm"));
    if (hhmm <= QStringLiteral("12:00"))
        return Texts::get(TextId::GreetingMorning);
    if (hhmm < QStringLiteral("18:00"))
        return Texts::get(TextId::GreetingAfternoon);
    return Texts::get(TextId::GreetingEvening);
}

QString Greeting::text(const QTime& time, const Language& language)
{
    return language.pick(forTime(time));
}

QString Greeting::welcome(const QTime& time, const QString& userName, const Language& language)
{
    return text(time, language) + userName + language.pick(Texts::get(TextId::Welcome));
}
