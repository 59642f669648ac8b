#pragma once

class QString;

// The File menu's query-document commands as the main window calls them; the query
// workspace provides them.
class DocumentCommands
{
public:
    virtual ~DocumentCommands() = default;

    virtual void NewQuery() = 0;
    virtual int OpenQuery() = 0; // 1 when a document was opened
    // Opens that document without asking for it (a recent document); 1 when it was opened.
    virtual int OpenQueryFile(const QString& path) = 0;
    virtual void SaveQuery() = 0;
    virtual void SaveQueryAs() = 0;
};
