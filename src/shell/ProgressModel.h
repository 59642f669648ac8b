#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

#include <atomic>
#include <functional>

// The arithmetic of the progress display: kinds with their colours and captions, advancing the
// shared fraction, and what each 30 ms tick draws. The fraction is atomic so that a worker
// thread may add to it while the user-interface thread draws.
class ProgressModel
{
public:
    struct Look {
        quint32 colour; // 0xRRGGBB
        QString caption;
    };

    // A fraction the work does not know: the bar shows a block going to and fro, no percentage.
    static constexpr float kUnknown = -1.0f;

    struct Frame {
        int barStart = 0;
        int barWidth = 0;
        int percent = 0; // -1: none is shown
        QPoint textAt;
        bool hide = false; // the fraction passed 1: hide after drawing
    };

    explicit ProgressModel(std::atomic<float>& fraction) : m_fraction(fraction) {}

    // Resets the fraction; a known kind (Download: rows read from the system, as an export does;
    // Upload; CurvaS) sets the colour and caption, others keep the last ones.
    void start(const QString& kind);
    // Adds percent / 100 in 100 steps, calling yield after each step.
    void advance(int percent, const std::function<void()>& yield);
    void end();   // 1.01: finished, hide at the next tick
    void reset(); // 0
    float fraction() const { return m_fraction.load(); }
    const Look& look() const { return m_look; }

    // measured: the size of the percentage followed by " /%" in the frame's font.
    Frame tick(const QSize& inner, const std::function<QSize(const QString&)>& measure) const;
    static int roundHalfEven(double value);

private:
    std::atomic<float>& m_fraction;
    mutable int m_unknownTicks = 0; // how far the block of an unknown fraction has gone
    Look m_look{0x8080ff, QStringLiteral("Downloading...")};
};
