#pragma once

// The R/3 System menu's commands as the main window calls them; the SAP access layer
// provides them.
class ConnectionCommands
{
public:
    virtual ~ConnectionCommands() = default;

    virtual bool logOn() = 0; // the outcome becomes AppState::connected
    virtual void releaseComponents() = 0;
    virtual void showSystemInformation() = 0;
    // At exit: log off when connected and drop the connection objects.
    virtual void shutdown() = 0;
};
