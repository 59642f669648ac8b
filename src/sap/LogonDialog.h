#pragma once

#include "LogonPrompt.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

// The logon dialog: a list of systems with the demo system first, and the logon fields. It
// remembers the last entries in a small file in the program's folder, never the password.
class LogonDialog : public QDialog
{
    Q_OBJECT
public:
    LogonDialog(QString rememberFile, QWidget* parent = nullptr);

    void fill(const LogonData& data, const QString& error);
    LogonData entered() const;
    void remember() const;
    LogonData remembered() const;

private:
    void systemChosen();

    QString m_rememberFile;
    QComboBox* m_system;
    QLineEdit* m_systemId;
    QLineEdit* m_host;
    QLineEdit* m_systemNumber;
    QLineEdit* m_client;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QComboBox* m_language;
    QLabel* m_error;
};

// Asks through the logon dialog.
class LogonDialogPrompt : public LogonPrompt
{
public:
    explicit LogonDialogPrompt(QString rememberFile) : m_rememberFile(std::move(rememberFile)) {}
    std::optional<LogonData> ask(const LogonData& defaults, const QString& error) override;

private:
    QString m_rememberFile;
};
