#pragma once

#include "sap/DestinationFactory.h"

#include <QString>

// The destinations this build offers: the embedded demo system (its database built or checked
// when the demo is chosen), and real systems through their RFC SOAP service.
class SystemDestinationFactory : public DestinationFactory
{
public:
    // programFolder holds the certificates the user chose to trust.
    explicit SystemDestinationFactory(QString programFolder = {})
        : m_programFolder(std::move(programFolder))
    {
    }
    static QString trustFileIn(const QString& folder);

    bool available(QString* reason) override;
    std::unique_ptr<RfcDestination> create(const LogonData& data, BiText* error) override;

private:
    QString m_programFolder;
};
