// Any bytes as a settings file: reading never crashes, and what it read writes and reads back
// to the same file.
#include "shell/AppState.h"
#include "shell/SettingsFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    AppState state;
    SettingsFile::read(bytes, state);
    const QByteArray written = SettingsFile::write(state);
    AppState again;
    if (!SettingsFile::read(written, again).ok || SettingsFile::write(again) != written)
        std::abort();
    return 0;
}
