#pragma once

#include "shell/BiText.h"

#include <QVector>

// The captions and tool tips of the main window and the options dialog, in both languages,
// in the order they are applied. Controls are named by object name; a name with a "." is a
// child of a window (ControlNames::Options::inDialog).
class CaptionTable
{
public:
    enum class Kind { Caption, ToolTip };

    struct Row {
        QString control;
        Kind kind;
        BiText text;
    };

    static const QVector<Row>& rows();
    static BiText text(const QString& control, Kind kind = Kind::Caption);
};
