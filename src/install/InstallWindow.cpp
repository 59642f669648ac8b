#include "InstallWindow.h"

#include "ErrorReporter.h"

#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace
{

QLabel* picture(QWidget* parent, const char* name, QStyle::StandardPixmap which, int size)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setPixmap(parent->style()->standardIcon(which).pixmap(size, size));
    return label;
}

} // namespace

InstallWindow::InstallWindow(InstallPlatform& platform, ErrorReporter& reporter, QWidget* parent)
    : QWidget(parent), m_installer(platform), m_reporter(reporter)
{
    setObjectName(QStringLiteral("fInstall"));
    setWindowTitle(QStringLiteral("Install Quillon"));
    buildControls();
    showHint(QString(), false);

    connect(m_command1, &QPushButton::clicked, this, &InstallWindow::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &QWidget::close);
    for (QWidget* watched : {static_cast<QWidget*>(m_command1), static_cast<QWidget*>(m_command2),
                             static_cast<QWidget*>(m_image4)})
        watched->installEventFilter(this);
}

void InstallWindow::buildControls()
{
    auto* title = new QLabel(QStringLiteral("Quillon for SAP R/3"), this);
    title->setObjectName(QStringLiteral("Label2"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);

    m_label1 = new QLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setMinimumWidth(260);

    m_command1 = new QPushButton(QStringLiteral("Install"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setDefault(true);
    m_command2 = new QPushButton(QStringLiteral("Cancel"), this);
    m_command2->setObjectName(QStringLiteral("Command2"));

    auto* image3 = picture(this, "Image3", QStyle::SP_ComputerIcon, 48);
    m_image4 = picture(this, "Image4", QStyle::SP_DriveHDIcon, 48);
    m_image1 = picture(this, "Image1", QStyle::SP_ArrowRight, 16);
    // Keep the marker's place when it is hidden, so the buttons do not move under the mouse.
    QSizePolicy keepSpace = m_image1->sizePolicy();
    keepSpace.setRetainSizeWhenHidden(true);
    m_image1->setSizePolicy(keepSpace);

    auto* grid = new QGridLayout(this);
    grid->addWidget(image3, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(title, 0, 1, 1, 3);
    grid->addWidget(m_label1, 1, 1, 1, 3);
    grid->addWidget(m_image4, 2, 0, Qt::AlignBottom);
    grid->addWidget(m_image1, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(m_command1, 2, 2);
    grid->addWidget(m_command2, 2, 3);
    grid->setColumnStretch(1, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

bool InstallWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        if (watched == m_command1)
            showHint(QStringLiteral("    Press install to continue"), true);
        else if (watched == m_command2)
            showHint(QStringLiteral("    Exit without installing Quillon"), false);
        else if (watched == m_image4)
            showHint(QString(), false);
    }
    return QWidget::eventFilter(watched, event);
}

void InstallWindow::showHint(const QString& text, bool marker)
{
    m_label1->setText(text);
    m_image1->setVisible(marker);
}

void InstallWindow::Command1_Click()
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
