#pragma once

#include "sap/LogonPrompt.h"
#include "shell/BiText.h"

struct AppState;

// Stands before the logon dialog: a refused logon is told there in a sentence in the chosen
// language, naming the system, user and client and saying what to do, with the system's own
// words kept in it.
class LogonSentences : public LogonPrompt
{
public:
    LogonSentences(LogonPrompt& dialog, const AppState& state) : m_dialog(dialog), m_state(state) {}

    std::optional<LogonData> ask(const LogonData& defaults, const BiText& error) override;

    static BiText sentence(const LogonData& attempt, const BiText& error);

private:
    LogonPrompt& m_dialog;
    const AppState& m_state;
};
