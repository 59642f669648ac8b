#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// The text of a registry value as the system-information lookup reads it, and the lookup of
// the system-information tool itself; kept apart from the Windows calls so it can be tested.
class RegistryValue
{
public:
    static constexpr unsigned kString = 1;
    static constexpr unsigned kDword = 4;

    // data holds the bytes returned; a string loses one final NUL, a 32-bit number becomes its
    // decimal text; other types give nothing (the caller keeps its text unchanged).
    static std::optional<QString> decode(unsigned type, const QByteArray& data);

    using Reader = std::function<std::optional<QString>(const QString& key, const QString& name)>;
    using Exists = std::function<bool(const QString& path)>;
    // The tool's path from the two registry places, or empty.
    static QString systemInformationTool(const Reader& read, const Exists& exists);
};
