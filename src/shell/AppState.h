#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>

// The program-wide state: one instance, owned by the application and passed explicitly. Most
// of it is kept in the settings file, whose keys SettingsFile maps to these members.
struct AppState {
    static constexpr int kMaxTreeEntries = 999;

    // The version this program is, and the one that last wrote the settings file.
    QString programVersion;
    QString settingsVersion;
    // An R/3 connection is open.
    bool connected = false;
    // Between fields in RFC data and in export files; never empty after start-up.
    QString listSeparator;
    QString sapLogonPath;
    // Carried through the settings file unchanged; nothing else reads them.
    QString tableFolder;
    bool optionsFlag = false;
    // The last file chosen to be opened in the spreadsheet program.
    QString lastTableFile;
    // Texts are English when languageEnglish or languageOther is set, Portuguese when
    // languagePortuguese is; only the settings file sets languageOther.
    bool languageEnglish = false;
    bool languagePortuguese = false;
    bool languageOther = false;
    bool toolbarShown = false;
    bool statusBarShown = false;
    // The main window's place and size in twips; 0 means none was stored.
    std::int16_t windowTop = 0;
    std::int16_t windowLeft = 0;
    std::int16_t windowHeight = 0;
    std::int16_t windowWidth = 0;
    // The table tree's node paths ("Sales\KNA1"), which every query window loads when it opens
    // and writes back when it closes; at most kMaxTreeEntries are kept.
    QStringList treePaths;
    QString currentQueryFile;
    // The settings file was UTF-8 without a byte-order mark (saved by a Linux editor): it is
    // written back the same way.
    bool settingsInUtf8 = false;

    // The read module rows are read through; empty: the widest the system offers. Written to
    // the settings file only when set.
    QString readModule;
    // How many logons of the system a read calls at once, as the user typed it; empty: the
    // default. Written only when set.
    QString readSessions;
    // "0": the queries open at the last exit are not offered at start; empty: they are.
    // Written only when set.
    QString reopenQueries;

    // The last export file, offered by the dialogs.
    QString lastExportFile;

    // Written by a running long operation (possibly a worker thread), read by the display.
    std::atomic<float> progressFraction{0.0f};
};
