#pragma once

#include <QByteArray>
#include <QString>

struct AppState;

// Reads and writes the settings file Zorv.ini: one "key field + value" line per setting,
// CR LF line ends, the Windows 8-bit code page; a file an editor saved as UTF-8 stays UTF-8.
class SettingsFile
{
public:
    static constexpr const char* kFileName = "Zorv.ini";

    // Reading stops at the first value that cannot be converted; what was read before stays.
    struct ReadResult {
        bool ok = true;
        int line = 0; // 1-based number of the line that stopped the reading
        QString error;
    };

    static ReadResult read(const QByteArray& bytes, AppState& state);
    static QByteArray write(const AppState& state);

    static QString pathIn(const QString& folder);
    // Creates an empty file when none can be opened; failures are ignored.
    static void ensureExists(const QString& path);
    static ReadResult readFile(const QString& path, AppState& state);
    // Replaces the file only when the whole new content was written.
    static bool writeFile(const QString& path, const AppState& state);
};
