#include "Installer.h"

#include "InstallPlatform.h"
#include "ListFile.h"
#include "SapLogonSearch.h"
#include "SetupList.h"

#include <QDir>
#include <QFileInfo>

Installer::Installer(InstallPlatform& platform) : m_platform(platform) {}

std::optional<InstallError> Installer::install()
{
    m_sapLogonPath = SapLogonSearch::find(m_platform.searchRoot());
    const QDir own(m_platform.ownFolder());

    const QString list = own.filePath(QString::fromLatin1(kListName));
    m_targetPath = QDir::toNativeSeparators(list);
    if (const auto reason = ListFile::write(list, SetupList::build(!m_sapLogonPath.isEmpty())))
        return InstallError(InstallError::kPathFileAccess, *reason, m_targetPath);

    const QString setup = own.filePath(QString::fromLatin1(kSetupName));
    m_targetPath = QDir::toNativeSeparators(setup);
    if (!QFileInfo(setup).isFile())
        return InstallError(InstallError::kFileNotFound, QStringLiteral("File not found"),
                            m_targetPath);
    if (const auto reason = m_platform.start(setup, own.path()))
        return InstallError(InstallError::kPathFileAccess, *reason, m_targetPath);
    return std::nullopt;
}
