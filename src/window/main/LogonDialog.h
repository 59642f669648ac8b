#pragma once

#include "sap/LogonPrompt.h"
#include "sap/systems/KnownSystem.h"
#include "shell/Texts.h"

#include <QDialog>
#include <QVector>

struct AppState;
class ConnectionFields;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// The logon dialog: the systems by name (the demo system first, then the user's own, then SAP
// Logon's from its landscape file), how the chosen one is reached, and the logon fields. It
// remembers the last entries, the landscape file and the RFC library in a small file in the
// program's folder, never the password; systems the user keeps go to systems.ini beside it.
class LogonDialog : public QDialog
{
    Q_OBJECT
public:
    // The texts are in the language the state names at the moment the dialog is made.
    LogonDialog(const AppState& state, QString rememberFile, QString trustFile = {},
                QWidget* parent = nullptr);

    void fill(const LogonData& data, const QString& error);
    LogonData entered() const;
    void remember() const;
    // Stores the certificate the last error named when the user chose to trust it.
    void trustIfChosen() const;
    // Keeps the entered system in Zorv's own list when the user asked for it.
    void keepIfChosen() const;
    LogonData remembered();
    // Reads the systems of SAP Logon's landscape file; a file that cannot serve is named in
    // the dialog's error line.
    void useLandscape(const QString& file);
    const QVector<KnownSystem>& systems() const { return m_known; }

private:
    void systemChosen();
    void listSystems();
    void chooseLandscape();
    QString text(TextId id) const;
    // The demo system's name as shown, and whether a typed name means it.
    QString demoName() const;
    bool namesDemo(const QString& name) const;

    const AppState& m_state;
    QString m_rememberFile;
    QComboBox* m_system;
    ConnectionFields* m_connection;
    QLineEdit* m_landscape;
    QLineEdit* m_client;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QComboBox* m_language;
    QLabel* m_error;
    QCheckBox* m_trust;
    QCheckBox* m_keep;
    QString m_trustFile;
    QString m_fingerprint;
    QVector<KnownSystem> m_known;
};

// Asks through the logon dialog.
class LogonDialogPrompt : public LogonPrompt
{
public:
    LogonDialogPrompt(const AppState& state, QString rememberFile, QString trustFile)
        : m_state(state), m_rememberFile(std::move(rememberFile)), m_trustFile(std::move(trustFile))
    {
    }
    std::optional<LogonData> ask(const LogonData& defaults, const BiText& error) override;

private:
    const AppState& m_state;
    QString m_rememberFile;
    QString m_trustFile;
};
