#pragma once

#include "sap/RfcConnection.h"
#include "sap/RfcFunction.h"

#include <memory>
#include <vector>

// The BAPI control ("SAP.BAPI.1"): the user's logon and the system information come from it.
class SapBapi
{
public:
    SapBapi(DestinationFactory& factory, LogonPrompt* prompt) : connection(factory, prompt) {}
    RfcConnection connection;
};

// The function control ("SAP.Functions"): function objects called on its own connection.
class SapFunctions
{
public:
    explicit SapFunctions(DestinationFactory& factory) : connection(factory, nullptr) {}

    void removeAll() { m_functions.clear(); }
    RfcFunction& add(const QString& name);

    RfcConnection connection;

private:
    std::vector<std::unique_ptr<RfcFunction>> m_functions;
};
