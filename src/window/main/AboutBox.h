#pragma once

#include <QDialog>

struct AppState;
class DesktopServices;
class QLabel;

// The about box: the version, the maker's link and legal notice, and the System Info button. Shown
// modal from the Help menu and, cut to a lower height and not modal, as the start-up splash.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kSplashHeightTwips = 3700;

    AboutBox(const AppState& state, DesktopServices& services, QWidget* parent = nullptr);

    void showAsSplash();
    QLabel* link() const { return m_homePageLink; }
    QString versionText() const;
    QString legalWarning() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setLinkColour(const QColor& colour);

    DesktopServices& m_services;
    QLabel* m_version;
    QLabel* m_homePageLink;
    QLabel* m_legalWarning;
};
