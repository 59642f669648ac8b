#include "window/main/AboutBox.h"

#include "shell/AppState.h"
#include "shell/ControlNames.h"
#include "shell/DesktopServices.h"
#include "shell/Language.h"
#include "shell/Texts.h"
#include "shell/Twips.h"
#include "window/common/Icons.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

AboutBox::AboutBox(const AppState& state, DesktopServices& services, QWidget* parent)
    : QDialog(parent), m_services(services), m_version(new QLabel(this)),
      m_homePageLink(new QLabel(this)), m_legalWarning(new QLabel(this))
{
    setWindowTitle(Texts::get(TextId::AboutCaption).en);
    setMouseTracking(true);
    const Language language(state);

    auto* logo = new QLabel(this);
    logo->setPixmap(Icons::get(QStringLiteral("zorv")).pixmap(48, 48));
    m_version->setObjectName(ControlNames::About::kVersion);
    m_version->setText(Texts::get(TextId::AboutVersion).en + state.programVersion +
                       QStringLiteral(" 12Mar2007"));
    auto* notice = new QGroupBox(Texts::get(TextId::AboutNotice).en, this);
    notice->setObjectName(ControlNames::About::kNotice);
    m_homePageLink->setObjectName(ControlNames::About::kHomePageLink);
    m_homePageLink->setText(Texts::homePage());
    m_homePageLink->setToolTip(Texts::get(TextId::AboutLinkTip).en);
    m_homePageLink->setCursor(Qt::PointingHandCursor);
    m_homePageLink->setMouseTracking(true);
    m_homePageLink->installEventFilter(this);
    auto* contact = new QLabel(Texts::get(TextId::AboutContact).en, this);
    contact->setObjectName(ControlNames::About::kContact);
    m_legalWarning->setObjectName(ControlNames::About::kLegalWarning);
    m_legalWarning->setWordWrap(true);
    m_legalWarning->setText(language.pick(Texts::get(TextId::AboutLegalWarning)));
    auto* sysInfo = new QPushButton(Texts::get(TextId::AboutSysInfo).en, this);
    sysInfo->setObjectName(ControlNames::About::kSystemInfo);
    auto* ok = new QPushButton(Texts::get(TextId::ButtonOk).en, this);
    ok->setObjectName(ControlNames::About::kOk);
    ok->setDefault(true);

    auto* frameLayout = new QVBoxLayout(notice);
    frameLayout->addWidget(m_homePageLink);
    frameLayout->addWidget(contact);
    auto* header = new QHBoxLayout;
    header->addWidget(logo);
    header->addWidget(m_version, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(notice);
    layout->addLayout(buttons);
    layout->addWidget(m_legalWarning, 1);
    setLinkColour(Qt::black);
    resize(460, 330);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(sysInfo, &QPushButton::clicked, this, [this] { m_services.startSystemInformation(); });
}

void AboutBox::showAsSplash()
{
    const QScreen* screen = this->screen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    setModal(false);
    setWindowFlag(Qt::SplashScreen, true);
    resize(width(), Twips::toPixels(kSplashHeightTwips, dpi));
    show();
}

QString AboutBox::versionText() const
{
    return m_version->text();
}

QString AboutBox::legalWarning() const
{
    return m_legalWarning->text();
}

void AboutBox::setLinkColour(const QColor& colour)
{
    QPalette palette = m_homePageLink->palette();
    palette.setColor(QPalette::WindowText, colour);
    m_homePageLink->setPalette(palette);
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_homePageLink) {
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)
            setLinkColour(Qt::blue);
        else if (event->type() == QEvent::Leave)
            setLinkColour(Qt::black);
        else if (event->type() == QEvent::MouseButtonRelease &&
                 static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_services.openUrl(m_homePageLink->text());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
