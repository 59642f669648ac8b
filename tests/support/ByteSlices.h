#pragma once

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

// Bytes cut as a network may hand them over: one at a time, or in random slices of 1 to
// largest bytes (the same for the same seed).
inline QList<QByteArray> bytewise(const QByteArray& bytes)
{
    QList<QByteArray> pieces;
    for (const char c : bytes)
        pieces.append(QByteArray(1, c));
    return pieces;
}

inline QList<QByteArray> randomly(const QByteArray& bytes, quint32 seed, int largest)
{
    QRandomGenerator random(seed);
    QList<QByteArray> pieces;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype size = 1 + random.bounded(largest);
        pieces.append(bytes.mid(at, size));
        at += size;
    }
    return pieces;
}
