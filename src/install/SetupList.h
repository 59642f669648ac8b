#pragma once

#include <QByteArray>

// The file list "setup.lst" that the outside setup program reads: which files it copies and
// where. Without SAP GUI on the machine the SAP RFC components are shipped as well.
class SetupList
{
public:
    // The whole file: ASCII text, every line ended by CR LF, the last line the last entry.
    static QByteArray build(bool sapGuiPresent);
};
