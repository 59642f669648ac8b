#include "Language.h"

#include "AppState.h"

bool Language::english() const
{
    return m_state.OptEN || m_state.OptCT;
}

bool Language::portuguese() const
{
    return m_state.OptPT;
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
