#pragma once

#include "sap/LogonPrompt.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// The logon dialog: a list of systems with the demo system first, and the logon fields. It
// remembers the last entries in a small file in the program's folder, never the password.
class LogonDialog : public QDialog
{
    Q_OBJECT
public:
    LogonDialog(QString rememberFile, QString trustFile = {}, QWidget* parent = nullptr);

    void fill(const LogonData& data, const QString& error);
    LogonData entered() const;
    void remember() const;
    // Stores the certificate the last error named when the user chose to trust it.
    void trustIfChosen() const;
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
    QCheckBox* m_trust;
    QString m_trustFile;
    QString m_fingerprint;
};

// Asks through the logon dialog.
class LogonDialogPrompt : public LogonPrompt
{
public:
    LogonDialogPrompt(QString rememberFile, QString trustFile)
        : m_rememberFile(std::move(rememberFile)), m_trustFile(std::move(trustFile))
    {
    }
    std::optional<LogonData> ask(const LogonData& defaults, const QString& error) override;

private:
    QString m_rememberFile;
    QString m_trustFile;
};
