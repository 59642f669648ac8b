#pragma once

#include "query/document/QueryDocument.h"
#include "shell/DocumentCommands.h"

#include <QObject>
#include <QPointer>
#include <QSet>

#include <array>

struct QueryContext;
class QueryWindow;

// The query windows: twenty slots, numbered captions, a modified flag per window, and the
// File menu's commands that create, open and save query documents.
class QueryWorkspace : public QObject, public DocumentCommands
{
    Q_OBJECT
public:
    static constexpr int kSlots = 20;

    explicit QueryWorkspace(QueryContext& context, QObject* parent = nullptr);

    void newQuery() override;
    int openQuery() override;
    int openQueryFile(const QString& path) override;
    void saveQuery() override;
    void saveQueryAs() override;
    void connectionClosed() override;
    void keepUnsavedWork() override;
    void keepOpenDocuments() override;
    // At start: offers the queries the last session kept unsaved, and opens them on Yes.
    void offerRecoveryCopies();
    // At start, unless the setting says no: offers the saved documents open at the last exit
    // (those not open already), and opens them on Yes; those no longer there are named.
    void offerOpenDocuments();

    int activeSlot() const;
    QueryWindow* window(int slot) const;
    int queryCount() const { return m_count; }
    bool isModified(int slot) const;
    void setModified(QueryWindow* window, bool modified = true);

private:
    QueryWindow* activeWindow() const;
    int openCount() const;
    bool atWindowLimit() const;
    void showWindowLimit();
    int nextSlot();
    QueryWindow* openWindow(int slot, QueryDocument document);
    bool save(QueryWindow* window, const QString& path);
    bool saveWindow(QueryWindow* window);
    bool saveWindowAs(QueryWindow* window);
    bool closing(QueryWindow* window);
    void closed(int slot);

    QueryContext& m_context;
    std::array<QPointer<QueryWindow>, kSlots + 1> m_windows{};
    std::array<bool, kSlots + 1> m_modified{};
    // Windows that agreed to close and wait only for their deletion: their work is done.
    QSet<const QueryWindow*> m_closing;
    int m_count = 0;
};
