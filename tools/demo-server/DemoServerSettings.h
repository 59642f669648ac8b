#pragma once

#include <QString>
#include <QtGlobal>

// What zorv-demo-server is started with.
struct DemoServerSettings {
    // Connections at once; at the limit the one that has made the least progress with its
    // request gives way, and when every one is busy serving, a client gets 503 at once.
    int maxConnections = 64;
    // A connection that sends no request, or reads nothing of its answer, for this long is
    // closed.
    int idleTimeoutMs = 60000;
    // A request's head must arrive within this time of its first byte, and its body within
    // this time plus a second for every minBodyRate bytes.
    int headTimeoutMs = 5000;
    qint64 minBodyRate = 1000;
    // The request bodies of all connections together, in bytes.
    qint64 bodyMemory = 64 * 1024 * 1024;
    // The client of a logon that names none.
    QString defaultClient = QStringLiteral("100");
};
