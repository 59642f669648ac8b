#pragma once

#include <QString>
#include <QVector>

#include <atomic>
#include <cstdint>

// The program-wide state: one instance, owned by the application and passed explicitly.
// Members keep the names the program documents so that every part speaks of the same thing.
struct AppState {
    static constexpr int kMaxTreeEntries = 999;

    QString ProgramVersion;
    bool Connected = false;
    QString ListSeparator;
    QString sSapLogon;
    QString FolderTable;
    QString TableFile;
    QString SGlobal;
    bool ChOpt = false;
    bool OptEN = false;
    bool OptPT = false;
    bool OptCT = false;
    bool Tool = false;
    bool Status = false;
    std::int16_t fvubTop = 0;
    std::int16_t fvubLeft = 0;
    std::int16_t fvubHeight = 0;
    std::int16_t fvubWidth = 0;
    std::int16_t SAT = 0;
    // Indexes 1..999 are used; index 0 is kept empty so the numbers match the file.
    QVector<QString> ssAddTab = QVector<QString>(kMaxTreeEntries + 1);
    QString FileZorv;
    bool CloseRefused = false;
    // Zorv.ini was UTF-8 without a byte-order mark (saved by a Linux editor): it is written back
    // the same way.
    bool SettingsUtf8 = false;

    // The last query document and export file, remembered for the dialogs.
    QString MyTableF;

    // Written by a running long operation (possibly a worker thread), read by the display.
    std::atomic<float> ProgressFraction{0.0f};
};
