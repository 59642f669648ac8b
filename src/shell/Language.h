#pragma once

#include "shell/BiText.h"

#include <QStringList>

struct AppState;

// The language rule: the English form when languageEnglish or languageOther is set, then the
// Portuguese form when languagePortuguese is set, so Portuguese wins a caption when both are
// set and a message shows twice.
class Language
{
public:
    explicit Language(const AppState& state) : m_state(state) {}

    bool english() const;
    bool portuguese() const;
    // The forms to show, in order: none, one, or English then Portuguese. A text with a
    // single form is shown once whatever the flags.
    QStringList forms(const BiText& text) const;
    // The form a caption ends with; English when no flag is set.
    QString pick(const BiText& text) const;

private:
    const AppState& m_state;
};
