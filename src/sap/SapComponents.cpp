#include "SapComponents.h"

RfcFunction& SapFunctions::Add(const QString& name)
{
    m_functions.push_back(std::make_unique<RfcFunction>(name, Connection.destination()));
    return *m_functions.back();
}
