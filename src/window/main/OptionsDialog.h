#pragma once

#include <QDialog>

#include <functional>

struct AppState;
class QLineEdit;
class QRadioButton;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QSpinBox;

// fopcoes: the interface language, applied at once, and the list separator and the sessions a
// read calls at once, taken on OK.
class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    OptionsDialog(AppState& state, std::function<void()> applyCaptions, QWidget* parent = nullptr);

    void chooseEnglish();
    void choosePortuguese();
    void takeSeparator();

private:
    void recaption();

    AppState& m_state;
    std::function<void()> m_applyCaptions;
    QGroupBox* m_languageBox;
    QGroupBox* m_separatorBox;
    QRadioButton* m_english;
    QRadioButton* m_portuguese;
    QLineEdit* m_separator;
    QGroupBox* m_sessionsBox;
    QSpinBox* m_sessions;
    QCheckBox* m_reopen;
    QPushButton* m_ok;
};
