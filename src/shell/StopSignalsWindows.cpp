#include "shell/StopSignals.h"

// Windows ends a session through the session manager's messages, which the application object
// turns into commitDataRequest; there is nothing to catch here.
StopSignals::StopSignals(QObject* parent) : QObject(parent) {}

StopSignals::~StopSignals() = default;
