#pragma once

// The R/3 System menu's commands as the main window calls them; the SAP access layer
// provides them.
class ConnectionCommands
{
public:
    virtual ~ConnectionCommands() = default;

    virtual bool Connect() = 0; // the outcome becomes Connected
    virtual void ReleaseComponents() = 0;
    virtual void SAPSystemInformation() = 0;
    // At exit: log off when connected and drop the connection objects.
    virtual void Shutdown() = 0;
};
