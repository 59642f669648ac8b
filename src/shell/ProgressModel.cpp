#include "shell/ProgressModel.h"

#include "shell/Texts.h"

#include <cmath>

void ProgressModel::start(const QString& kind)
{
    m_fraction.store(0.0f);
    if (kind == u"Download")
        m_look = {0x8080ff, Texts::get(TextId::ProgressDownload).en};
    else if (kind == u"Upload")
        m_look = {0xff0000, Texts::get(TextId::ProgressUpload).en};
    else if (kind == u"CurvaS")
        m_look = {0xc0c0ff, Texts::get(TextId::ProgressCurvaS).en};
}

void ProgressModel::advance(int percent, const std::function<void()>& yield)
{
    const float step = (1.0f / 100.0f) * static_cast<float>(percent) / 100.0f;
    for (int i = 0; i < 100; ++i) {
        float current = m_fraction.load();
        while (!m_fraction.compare_exchange_weak(current, current + step)) {
        }
        if (yield)
            yield();
    }
}

void ProgressModel::end()
{
    m_fraction.store(1.01f);
}

void ProgressModel::reset()
{
    m_fraction.store(0.0f);
}

int ProgressModel::roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff > 0.5)
        return static_cast<int>(floor) + 1;
    if (diff < 0.5)
        return static_cast<int>(floor);
    const int whole = static_cast<int>(floor);
    return whole % 2 == 0 ? whole : whole + 1;
}

ProgressModel::Frame ProgressModel::tick(const QSize& inner,
                                         const std::function<QSize(const QString&)>& measure) const
{
    const double fraction = m_fraction.load();
    Frame frame;
    if (fraction < 0) {
        // A quarter of the bar crosses it in 40 ticks (1.2 s) and comes back.
        constexpr int kTicksAcross = 40;
        frame.barWidth = inner.width() / 4;
        const int travel = inner.width() - frame.barWidth;
        const int step = m_unknownTicks++ % (2 * kTicksAcross);
        const int along = step < kTicksAcross ? step : 2 * kTicksAcross - step;
        frame.barStart = travel * along / kTicksAcross;
        frame.percent = -1;
        return frame;
    }
    frame.barWidth = static_cast<int>(std::lround(fraction * inner.width()));
    frame.percent = roundHalfEven(fraction * 100.0);
    // Centred on the size of "N /%" while "N %" is written, so it sits a little left of centre.
    const QSize text = measure(QString::number(frame.percent) + QStringLiteral(" /%"));
    frame.textAt = QPoint(roundHalfEven((inner.width() - text.width()) / 2.0),
                          roundHalfEven((inner.height() - text.height()) / 2.0));
    frame.hide = fraction > 1.0;
    return frame;
}
