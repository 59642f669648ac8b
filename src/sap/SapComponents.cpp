#include "sap/SapComponents.h"

RfcFunction& SapFunctions::add(const QString& name)
{
    m_functions.push_back(std::make_unique<RfcFunction>(name, connection.destination()));
    return *m_functions.back();
}
