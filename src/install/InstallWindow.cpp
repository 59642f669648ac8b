#include "InstallWindow.h"

#include "ErrorReporter.h"
#include "shell/ControlNames.h"

#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace
{

QLabel* picture(QWidget* parent, QLatin1StringView name, QStyle::StandardPixmap which, int size)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(parent->style()->standardIcon(which).pixmap(size, size));
    return label;
}

} // namespace

InstallWindow::InstallWindow(InstallPlatform& platform, ErrorReporter& reporter, QWidget* parent)
    : QWidget(parent), m_installer(platform), m_reporter(reporter)
{
    setObjectName(ControlNames::Install::kWindow);
    setWindowTitle(QStringLiteral("Install Quillon"));
    buildControls();
    showHint(QString(), false);

    connect(m_install, &QPushButton::clicked, this, &InstallWindow::install);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
    for (QWidget* watched : {static_cast<QWidget*>(m_install), static_cast<QWidget*>(m_cancel),
                             static_cast<QWidget*>(m_driveIcon)})
        watched->installEventFilter(this);
}

void InstallWindow::buildControls()
{
    auto* title = new QLabel(QStringLiteral("Quillon for SAP R/3"), this);
    title->setObjectName(ControlNames::Install::kTitle);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);

    m_status = new QLabel(this);
    m_status->setObjectName(ControlNames::Install::kStatus);
    m_status->setMinimumWidth(260);

    m_install = new QPushButton(QStringLiteral("Install"), this);
    m_install->setObjectName(ControlNames::Install::kInstall);
    m_install->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(ControlNames::Install::kCancel);

    auto* computer =
        picture(this, ControlNames::Install::kComputerPicture, QStyle::SP_ComputerIcon, 48);
    m_driveIcon = picture(this, ControlNames::Install::kDrivePicture, QStyle::SP_DriveHDIcon, 48);
    m_marker = picture(this, ControlNames::Install::kMarker, QStyle::SP_ArrowRight, 16);
    // Keep the marker's place when it is hidden, so the buttons do not move under the mouse.
    QSizePolicy keepSpace = m_marker->sizePolicy();
    keepSpace.setRetainSizeWhenHidden(true);
    m_marker->setSizePolicy(keepSpace);

    auto* grid = new QGridLayout(this);
    grid->addWidget(computer, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(title, 0, 1, 1, 3);
    grid->addWidget(m_status, 1, 1, 1, 3);
    grid->addWidget(m_driveIcon, 2, 0, Qt::AlignBottom);
    grid->addWidget(m_marker, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(m_install, 2, 2);
    grid->addWidget(m_cancel, 2, 3);
    grid->setColumnStretch(1, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

bool InstallWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        if (watched == m_install)
            showHint(QStringLiteral("    Press install to continue"), true);
        else if (watched == m_cancel)
            showHint(QStringLiteral("    Exit without installing Quillon"), false);
        else if (watched == m_driveIcon)
            showHint(QString(), false);
    }
    return QWidget::eventFilter(watched, event);
}

void InstallWindow::showHint(const QString& text, bool marker)
{
    m_status->setText(text);
    m_marker->setVisible(marker);
}

void InstallWindow::install()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto failure = m_installer.install();
    QGuiApplication::restoreOverrideCursor();
    if (failure) {
        m_reporter.report(this, failure->message());
        return;
    }
    close();
}
