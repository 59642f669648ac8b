#include "shell/RegistryValue.h"

std::optional<QString> RegistryValue::decode(unsigned type, const QByteArray& data)
{
    QByteArray bytes = data;
    if (!bytes.isEmpty() && bytes.back() == '\0')
        bytes.chop(1);
    if (type == kString)
        return QString::fromLocal8Bit(bytes);
    if (type == kDword) {
        // The bytes are little-endian: read from the last to the first as one hexadecimal number.
        quint64 value = 0;
        for (qsizetype i = bytes.size() - 1; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(bytes.at(i));
        return QString::number(value);
    }
    return std::nullopt;
}

QString RegistryValue::systemInformationTool(const Reader& read, const Exists& exists)
{
    if (const auto path = read(QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                               QStringLiteral("PATH")))
        return *path;
    if (const auto folder = read(QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                                 QStringLiteral("MSINFO"))) {
        const QString path = *folder + QStringLiteral("\\MSINFO32.EXE");
        if (exists(path))
            return path;
    }
    return {};
}
