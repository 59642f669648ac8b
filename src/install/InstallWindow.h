#pragma once

#include "Installer.h"

#include <QWidget>

class ErrorReporter;
class InstallPlatform;
class QLabel;
class QPushButton;

// The installer's window: Install runs the installer and closes the
// window, Cancel just closes it; a hint under the title says what the button under the mouse
// does.
class InstallWindow : public QWidget
{
    Q_OBJECT
public:
    InstallWindow(InstallPlatform& platform, ErrorReporter& reporter, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void showHint(const QString& text, bool marker);
    void install();

    Installer m_installer;
    ErrorReporter& m_reporter;
    QLabel* m_status = nullptr;
    QLabel* m_marker = nullptr;
    QLabel* m_driveIcon = nullptr;
    QPushButton* m_install = nullptr;
    QPushButton* m_cancel = nullptr;
};
