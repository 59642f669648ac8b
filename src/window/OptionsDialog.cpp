#include "OptionsDialog.h"

#include "AppState.h"
#include "CaptionApplier.h"
#include "Icons.h"
#include "Language.h"
#include "Texts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

OptionsDialog::OptionsDialog(AppState& state, std::function<void()> applyCaptions, QWidget* parent)
    : QDialog(parent), m_state(state), m_applyCaptions(std::move(applyCaptions)),
      m_frame1(new QGroupBox(this)), m_frame2(new QGroupBox(this)),
      m_option1(new QRadioButton(Texts::get(TextId::OptionEnglish).en, m_frame1)),
      m_option2(new QRadioButton(Texts::get(TextId::OptionPortuguese).en, m_frame1)),
      m_text1(new QLineEdit(m_frame2)), m_ok(new QPushButton(Texts::get(TextId::ButtonOk).en, this))
{
    setObjectName(QStringLiteral("fopcoes"));
    setWindowTitle(QStringLiteral("Options"));
    setModal(true);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setTitle(QStringLiteral("Language"));
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    m_frame2->setTitle(QStringLiteral("List Separator"));
    m_option1->setObjectName(QStringLiteral("Option1"));
    m_option2->setObjectName(QStringLiteral("Option2"));
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_ok->setObjectName(QStringLiteral("cok"));
    m_ok->setDefault(true);

    auto* languages = new QVBoxLayout(m_frame1);
    languages->addWidget(m_option1);
    languages->addWidget(m_option2);
    auto* separator = new QVBoxLayout(m_frame2);
    separator->addWidget(m_text1);
    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(Icons::get(QStringLiteral("options")).pixmap(32, 32));
    auto* layout = new QGridLayout(this);
    layout->addWidget(image, 0, 0, Qt::AlignTop);
    layout->addWidget(m_frame1, 0, 1);
    layout->addWidget(m_frame2, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    layout->addLayout(buttons, 2, 0, 1, 2);

    connect(m_option1, &QRadioButton::clicked, this, &OptionsDialog::Option1_Click);
    connect(m_option2, &QRadioButton::clicked, this, &OptionsDialog::Option2_Click);
    connect(m_ok, &QPushButton::clicked, this, &OptionsDialog::cok_Click);

    m_text1->setText(m_state.ListSeparator);
    // Both clicks run when both flags are set, so Portuguese ends chosen.
    const bool english = m_state.OptEN;
    const bool portuguese = m_state.OptPT;
    if (english)
        Option1_Click();
    if (portuguese)
        Option2_Click();
    recaption();
}

void OptionsDialog::recaption()
{
    CaptionApplier::apply(this, Language(m_state));
}

void OptionsDialog::Option1_Click()
{
    m_state.OptEN = true;
    m_state.OptPT = false;
    m_option1->setChecked(true);
    if (m_applyCaptions)
        m_applyCaptions();
    recaption();
}

void OptionsDialog::Option2_Click()
{
    m_state.OptPT = true;
    m_state.OptEN = false;
    m_option2->setChecked(true);
    if (m_applyCaptions)
        m_applyCaptions();
    recaption();
}

void OptionsDialog::cok_Click()
{
    const QString typed = m_text1->text();
    m_state.ListSeparator = typed.isEmpty() ? QStringLiteral(";") : typed;
    accept();
}
