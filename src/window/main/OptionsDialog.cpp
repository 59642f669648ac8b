#include "window/main/OptionsDialog.h"

#include "query/read/SessionPool.h"
#include "shell/AppState.h"
#include "shell/BiText.h"
#include "shell/ControlNames.h"
#include "shell/Language.h"
#include "shell/Texts.h"
#include "window/common/Icons.h"
#include "window/main/CaptionApplier.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace
{
const BiText kSessionsTitle{QStringLiteral("Sessions at Once"),
                            QStringLiteral("Sess\u00f5es Simult\u00e2neas")};
const BiText kSessionsTip{
    QStringLiteral("Logons of the system a preview or an export calls at once (1: one call "
                   "after another)"),
    QStringLiteral("Logons do sistema que uma pr\u00e9via ou uma exporta\u00e7\u00e3o chama "
                   "ao mesmo tempo (1: uma chamada depois da outra)")};
} // namespace

OptionsDialog::OptionsDialog(AppState& state, std::function<void()> applyCaptions, QWidget* parent)
    : QDialog(parent), m_state(state), m_applyCaptions(std::move(applyCaptions)),
      m_languageBox(new QGroupBox(this)), m_separatorBox(new QGroupBox(this)),
      m_english(new QRadioButton(Texts::get(TextId::OptionEnglish).en, m_languageBox)),
      m_portuguese(new QRadioButton(Texts::get(TextId::OptionPortuguese).en, m_languageBox)),
      m_separator(new QLineEdit(m_separatorBox)), m_sessionsBox(new QGroupBox(this)),
      m_sessions(new QSpinBox(m_sessionsBox)), m_reopen(new QCheckBox(this)),
      m_ok(new QPushButton(Texts::get(TextId::ButtonOk).en, this))
{
    setObjectName(ControlNames::Options::kDialog);
    setWindowTitle(QStringLiteral("Options"));
    setModal(true);
    m_languageBox->setObjectName(ControlNames::Options::kLanguageBox);
    m_languageBox->setTitle(QStringLiteral("Language"));
    m_separatorBox->setObjectName(ControlNames::Options::kSeparatorBox);
    m_separatorBox->setTitle(QStringLiteral("List Separator"));
    m_english->setObjectName(ControlNames::Options::kEnglish);
    m_portuguese->setObjectName(ControlNames::Options::kPortuguese);
    m_separator->setObjectName(ControlNames::Options::kSeparator);
    m_sessionsBox->setObjectName(ControlNames::Options::kSessionsBox);
    m_sessions->setObjectName(ControlNames::Options::kSessions);
    m_sessions->setRange(1, SessionPool::kMostSessions);
    m_sessions->setValue(SessionPool::fromSetting(m_state.readSessions));
    m_reopen->setObjectName(ControlNames::Options::kReopenQueries);
    m_reopen->setChecked(m_state.reopenQueries != u"0");
    m_ok->setObjectName(ControlNames::Options::kOk);
    m_ok->setDefault(true);

    auto* languages = new QVBoxLayout(m_languageBox);
    languages->addWidget(m_english);
    languages->addWidget(m_portuguese);
    auto* separator = new QVBoxLayout(m_separatorBox);
    separator->addWidget(m_separator);
    auto* sessions = new QVBoxLayout(m_sessionsBox);
    sessions->addWidget(m_sessions);
    auto* image = new QLabel(this);
    image->setPixmap(Icons::get(QStringLiteral("options")).pixmap(32, 32));
    auto* layout = new QGridLayout(this);
    layout->addWidget(image, 0, 0, Qt::AlignTop);
    layout->addWidget(m_languageBox, 0, 1);
    layout->addWidget(m_separatorBox, 1, 1);
    layout->addWidget(m_sessionsBox, 2, 1);
    layout->addWidget(m_reopen, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    layout->addLayout(buttons, 4, 0, 1, 2);

    connect(m_english, &QRadioButton::clicked, this, &OptionsDialog::chooseEnglish);
    connect(m_portuguese, &QRadioButton::clicked, this, &OptionsDialog::choosePortuguese);
    connect(m_ok, &QPushButton::clicked, this, &OptionsDialog::takeSeparator);

    m_separator->setText(m_state.listSeparator);
    // Both clicks run when both flags are set, so Portuguese ends chosen.
    const bool english = m_state.languageEnglish;
    const bool portuguese = m_state.languagePortuguese;
    if (english)
        chooseEnglish();
    if (portuguese)
        choosePortuguese();
    recaption();
}

void OptionsDialog::recaption()
{
    const Language language(m_state);
    CaptionApplier::apply(this, language);
    m_sessionsBox->setTitle(language.pick(kSessionsTitle));
    m_sessions->setToolTip(language.pick(kSessionsTip));
    m_reopen->setText(language.pick(Texts::get(TextId::OptionReopen)));
}

void OptionsDialog::chooseEnglish()
{
    m_state.languageEnglish = true;
    m_state.languagePortuguese = false;
    m_english->setChecked(true);
    if (m_applyCaptions)
        m_applyCaptions();
    recaption();
}

void OptionsDialog::choosePortuguese()
{
    m_state.languagePortuguese = true;
    m_state.languageEnglish = false;
    m_portuguese->setChecked(true);
    if (m_applyCaptions)
        m_applyCaptions();
    recaption();
}

void OptionsDialog::takeSeparator()
{
    const QString typed = m_separator->text();
    m_state.listSeparator = typed.isEmpty() ? QStringLiteral(";") : typed;
    // Kept in the settings only once it differs from what a new settings file means.
    const int sessions = m_sessions->value();
    if (sessions != SessionPool::fromSetting(m_state.readSessions))
        m_state.readSessions = QString::number(sessions);
    if (m_reopen->isChecked() != (m_state.reopenQueries != u"0"))
        m_state.reopenQueries = m_reopen->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    accept();
}
