#include "InstallError.h"

#include <utility>

InstallError::InstallError(int number, QString description, QString path)
    : m_number(number), m_description(std::move(description)), m_path(std::move(path))
{
}

QString InstallError::message() const
{
    return QStringLiteral("Error ") + QString::number(m_number) + QStringLiteral(": ") +
           m_description + QStringLiteral(" on ") + m_path;
}
