#pragma once

#include <QObject>
#include <QRect>

class QMdiArea;

// Query windows that reach the workspace's right and bottom edges (a new window takes the
// workspace, each a step down and right) keep reaching them when the workspace grows or
// shrinks with the main window, maximised or resized; a maximised one stays maximised.
class WorkspaceFollower : public QObject
{
    Q_OBJECT
public:
    explicit WorkspaceFollower(QMdiArea* workspace);

    // A window's place after the workspace went from before to after: stretched to the new
    // edges it reached, else where it was.
    static QRect followed(const QRect& window, const QRect& before, const QRect& after);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMdiArea* m_workspace;
};
