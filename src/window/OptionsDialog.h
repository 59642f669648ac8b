#pragma once

#include <QDialog>

#include <functional>

struct AppState;
class QLineEdit;
class QRadioButton;
class QGroupBox;
class QPushButton;

// fopcoes: the interface language, applied at once, and the list separator, taken on OK.
class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    OptionsDialog(AppState& state, std::function<void()> applyCaptions, QWidget* parent = nullptr);

    void Option1_Click();
    void Option2_Click();
    void cok_Click();

private:
    void recaption();

    AppState& m_state;
    std::function<void()> m_applyCaptions;
    QGroupBox* m_frame1;
    QGroupBox* m_frame2;
    QRadioButton* m_option1;
    QRadioButton* m_option2;
    QLineEdit* m_text1;
    QPushButton* m_ok;
};
