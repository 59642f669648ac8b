#pragma once

#include "shell/BiText.h"

#include <QString>
#include <QStringView>

// Where the rows of a read go: an export file, the preview grid. Called on the thread that
// runs the read.
class RowSink
{
public:
    virtual ~RowSink() = default;

    // Before the first row; false with error() set when the sink cannot take rows.
    virtual bool start() { return true; }
    // One line: the first count values of My Table's columns (count may be fewer than the
    // columns where the line ends early); present[k] is 0 where the row has no value k, as a
    // table with fewer rows than another leaves it. False with error() set stops the read.
    virtual bool row(const QStringView* values, const char* present, int count) = 0;
    // After the last row of a read that succeeded: the result becomes visible.
    virtual bool finish() { return true; }
    // The read failed or was cancelled: nothing of it may remain.
    virtual void abandon() {}

    virtual BiText error() const { return {}; }
};
