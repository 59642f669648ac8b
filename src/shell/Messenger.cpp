#include "shell/Messenger.h"

#include "shell/Language.h"

void Messenger::show(const BiText& text, Desktop::Icon icon)
{
    for (const QString& form : Language(m_state).forms(text))
        m_desktop.message(form, Desktop::Buttons::Ok, icon);
}
