#pragma once

#include <QString>

class QWidget;

// Shows a failure to the user; tests record the text instead of opening a modal box.
class ErrorReporter
{
public:
    virtual ~ErrorReporter() = default;
    virtual void report(QWidget* parent, const QString& message) = 0;
};
