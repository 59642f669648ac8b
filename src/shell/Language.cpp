#include "shell/Language.h"

#include "shell/AppState.h"

bool Language::english() const
{
    return m_state.languageEnglish || m_state.languageOther;
}

bool Language::portuguese() const
{
    return m_state.languagePortuguese;
}

QStringList Language::forms(const BiText& text) const
{
    if (text.en == text.pt)
        return {text.en};
    QStringList result;
    if (english())
        result.append(text.en);
    if (portuguese())
        result.append(text.pt);
    return result;
}

QString Language::pick(const BiText& text) const
{
    return portuguese() ? text.pt : text.en;
}
