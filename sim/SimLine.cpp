#include "sim/SimLine.h"

#include "sim/SimModule.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {
constexpr qint64 MsNs = 1'000'000;
// A module discards a line that never ends instead of growing without bound.
constexpr qsizetype MaxCommand = 256;
} // namespace

SimLine::SimLine(SimModule &module, QObject *parent) : QObject(parent), m_module(module)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SimLine::onTimer);
    connect(&m_module, &SimModule::dropRequested, this,
            [this] { queue({m_clock.nsecsElapsed(), {}, true}); });
}

void SimLine::receive(const QByteArray &bytes)
{
    const qint64 now = m_clock.nsecsElapsed();
    for (char c : bytes) {
        qint64 arrived = now;
        if (m_module.paced()) {
            m_inFreeNs = std::max(now, m_inFreeNs) + ByteNs;
            arrived = m_inFreeNs;
        }
        if (c == '\r') {
            command(m_in, arrived);
            m_in.clear();
        } else if (m_in.size() < MaxCommand) {
            m_in += c;
        } else {
            m_in.clear();
        }
    }
}

void SimLine::command(const QByteArray &text, qint64 receivedNs)
{
    const SimResponse r = m_module.respond(text);
    qint64 due = std::max(receivedNs + qint64(m_module.replyDelay() + r.delayMs) * MsNs,
                          m_outFreeNs);
    if (r.drop) {
        queue({due, {}, true});
        return;
    }
    for (qsizetype i = 0; i < r.chunks.size(); ++i) {
        if (i > 0)
            due += qint64(r.gapMs) * MsNs;
        const QByteArray &chunk = r.chunks[i];
        if (m_module.paced()) {
            for (char c : chunk) {
                due += ByteNs; // a byte is there once its stop bit is
                queue({due, QByteArray(1, c)});
            }
        } else {
            queue({due, chunk});
        }
    }
    m_outFreeNs = due;
}

void SimLine::queue(Pending pending)
{
    // Replies are queued in line order; a drop ordered from outside goes to its own place.
    const auto at = std::upper_bound(
        m_pending.begin(), m_pending.end(), pending.dueNs,
        [](qint64 due, const Pending &p) { return due < p.dueNs; });
    m_pending.insert(at, std::move(pending));
    arm();
}

void SimLine::arm()
{
    if (m_pending.empty()) {
        m_timer.stop();
        return;
    }
    const qint64 waitNs = m_pending.front().dueNs - m_clock.nsecsElapsed();
    if (m_module.paced()) {
        // Wake a little early; onTimer() sleeps the rest, so each byte leaves on time rather than
        // whenever the event loop's millisecond timer comes round.
        m_timer.start(int(std::max<qint64>(0, (waitNs - MsNs) / MsNs)));
        return;
    }
    // The timer counts whole milliseconds: rounding to the nearest keeps the timing right on
    // average instead of always late.
    m_timer.start(int(std::max<qint64>(0, (waitNs + MsNs / 2) / MsNs)));
}

bool SimLine::deliverFront()
{
    Pending p = std::move(m_pending.front());
    m_pending.pop_front();
    if (p.drop) {
        reset();
        emit dropped();
        return false;
    }
    emit deliver(p.bytes);
    return true;
}

void SimLine::onTimer()
{
    if (m_module.paced()) {
        // Short waits are slept out exactly, byte after byte of a reply.
        for (qint64 now = m_clock.nsecsElapsed();
             !m_pending.empty() && m_pending.front().dueNs - now <= 2 * MsNs;
             now = m_clock.nsecsElapsed()) {
            if (const qint64 rest = m_pending.front().dueNs - now; rest > 0)
                std::this_thread::sleep_for(std::chrono::nanoseconds(rest));
            if (!deliverFront())
                return;
        }
    } else {
        const qint64 now = m_clock.nsecsElapsed();
        while (!m_pending.empty() && m_pending.front().dueNs <= now + MsNs / 2) {
            if (!deliverFront())
                return;
        }
    }
    arm();
}

void SimLine::reset()
{
    m_in.clear();
    m_pending.clear();
    m_timer.stop();
    m_inFreeNs = m_outFreeNs = m_clock.nsecsElapsed();
}
