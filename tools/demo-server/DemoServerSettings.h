#pragma once

#include <QString>

// What zorv-demo-server is started with.
struct DemoServerSettings {
    // Connections served at once; beyond, a client gets 503 at once.
    int maxConnections = 64;
    // A connection that sends no request, or reads nothing of its answer, for this long is
    // closed.
    int idleTimeoutMs = 60000;
    // The client of a logon that names none.
    QString defaultClient = QStringLiteral("100");
};
