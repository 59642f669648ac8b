#pragma once

#include "ErrorReporter.h"

// Reports a failure in a message box with an OK button.
class MessageBoxReporter : public ErrorReporter
{
public:
    void report(QWidget* parent, const QString& message) override;
};
