#pragma once

#include "sap/LogonData.h"
#include "sap/systems/KnownSystem.h"

#include <QObject>

class Language;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QWidget;

// The logon dialog's fields that say how a system is reached: the demo, an RFC SOAP service,
// or native RFC to an application server or a message server and group, with router, SNC and
// the file of SAP's NetWeaver RFC library. Only the fields of the chosen way are shown.
class ConnectionFields : public QObject
{
    Q_OBJECT
public:
    enum class Way { Demo, Soap, ApplicationServer, MessageServer };

    ConnectionFields(QWidget* parent, QFormLayout* form, const Language& language);

    Way way() const;
    void setWay(Way way);
    // A known system's way and fields.
    void show(const KnownSystem& system);
    // These fields of data, and data's way.
    void fill(const LogonData& data);
    // The fields into data; a SOAP system's host, a native system's server.
    void enter(LogonData& data) const;
    QString library() const;
    void setLibrary(const QString& file);
    // The fields as a system to keep under that name.
    KnownSystem asSystem(const QString& name) const;

private:
    void wayChosen();
    void chooseLibrary();

    QComboBox* m_way;
    QLineEdit* m_host;
    QLineEdit* m_instance;
    QLineEdit* m_messageServer;
    QLineEdit* m_systemId;
    QLineEdit* m_group;
    QLineEdit* m_router;
    QLineEdit* m_sncPartner;
    QLineEdit* m_library;
    QPushButton* m_chooseLibrary;
    QFormLayout* m_form;
    QString m_hostPlaceholder;
    QString m_libraryDialog;
    QString m_libraryFilter;
};
