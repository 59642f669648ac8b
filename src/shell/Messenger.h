#pragma once

#include "shell/BiText.h"
#include "shell/Desktop.h"

struct AppState;

// Shows a two-language message by the language rule: once in the chosen language, or in
// English and then in Portuguese when both flags are set.
class Messenger
{
public:
    Messenger(Desktop& desktop, const AppState& state) : m_desktop(desktop), m_state(state) {}

    void show(const BiText& text, Desktop::Icon icon = Desktop::Icon::None);

private:
    Desktop& m_desktop;
    const AppState& m_state;
};
