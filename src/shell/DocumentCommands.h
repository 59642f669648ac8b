#pragma once

class QString;

// The File menu's query-document commands as the main window calls them; the query
// workspace provides them.
class DocumentCommands
{
public:
    virtual ~DocumentCommands() = default;

    virtual void newQuery() = 0;
    virtual int openQuery() = 0; // 1 when a document was opened
    // Opens that document without asking for it (a recent document); 1 when it was opened.
    virtual int openQueryFile(const QString& path) = 0;
    virtual void saveQuery() = 0;
    virtual void saveQueryAs() = 0;
    // The user disconnected: rows read under that logon must not stay on screen.
    virtual void connectionClosed() {}
    // The program is ending without the user: every open window's tree goes back to the shared
    // list, and a recovery copy of each unsaved query replaces the ones kept before.
    virtual void keepUnsavedWork() = 0;
    // Before the windows close at the end: which saved documents are open, to be offered at
    // the next start.
    virtual void keepOpenDocuments() {}
};
