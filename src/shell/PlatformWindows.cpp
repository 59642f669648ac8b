#include "shell/Platform.h"

#include "shell/RegistryValue.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

#include <shellapi.h>

namespace
{
// Reads one registry value under HKEY_LOCAL_MACHINE as text.
std::optional<QString> machineRegistryValue(const QString& keyName, const QString& subKeyRef)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, reinterpret_cast<LPCWSTR>(keyName.utf16()), 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    BYTE buffer[1024 * sizeof(wchar_t)] = {};
    DWORD size = sizeof(buffer);
    DWORD type = 0;
    const LONG rc = RegQueryValueExW(key, reinterpret_cast<LPCWSTR>(subKeyRef.utf16()), nullptr,
                                     &type, buffer, &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return std::nullopt;
    if (type == REG_SZ) {
        QString text = QString::fromWCharArray(reinterpret_cast<const wchar_t*>(buffer),
                                               static_cast<int>(size / sizeof(wchar_t)));
        if (!text.isEmpty() && text.back() == QChar(u'\0'))
            text.chop(1);
        return text;
    }
    const auto decoded = RegistryValue::decode(
        type, QByteArray(reinterpret_cast<const char*>(buffer), static_cast<int>(size)));
    return decoded ? decoded : std::optional<QString>(QString());
}
} // namespace

bool Platform::hasAssociatedProgram(const QString& path)
{
    Q_UNUSED(path);
    // The shell's own opener reports a missing association itself.
    return true;
}

QString Platform::userName()
{
    wchar_t name[256] = {};
    DWORD size = 256;
    if (!GetUserNameW(name, &size))
        return {};
    return QString::fromWCharArray(name);
}

QString Platform::sapLogonFileName()
{
    return QStringLiteral("saplogon.exe");
}

QStringList Platform::sapLogonSearchRoots()
{
    return {QStringLiteral("c:\\"), QStringLiteral("d:\\")};
}

QString Platform::helpViewer()
{
    return QStringLiteral("hh.exe");
}

QString Platform::systemInformationProgram()
{
    return RegistryValue::systemInformationTool(
        [](const QString& key, const QString& name) { return machineRegistryValue(key, name); },
        [](const QString& path) { return QFileInfo::exists(path); });
}
