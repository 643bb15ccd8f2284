#include "protocol/frame_receiver.h"

#include <cstring>

#include "protocol/frame.h"
#include "protocol/frame_scan.h"

FrameReceiver::FrameReceiver() {
    // Every delivered frame fits, so copying one into RxFrame never allocates unless a caller
    // still holds the previous frame.
    m_rxFrame.reserve(BufferSize);
}

void FrameReceiver::Reset() {
    // The no-header counter, the stored bytes and RxFrame survive a reset on purpose.
    m_state.inFrame = false;
    m_state.armed = false;
    m_state.stored = 0;
    m_state.expected = 0;
}

void FrameReceiver::ResetNoHeaderCounter() {
    m_state.noHeader = 0;
}

// A throwing callback must not cut the chunk short (the rest of the link keeps working), so
// the first exception is kept and rethrown once the chunk is done.
void FrameReceiver::invoke(const std::function<void()>& callback, std::exception_ptr& failure) {
    if (!callback) return;
    try {
        callback();
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
}

void FrameReceiver::deliver(std::exception_ptr& failure) {
    // resize + copy reuses RxFrame's storage; a caller's copy of the old frame detaches first.
    const int n = m_state.stored;
    m_rxFrame.resize(n);
    std::memcpy(m_rxFrame.data(), m_buffer.data(), size_t(n));
    invoke(onGoodFrame, failure);
}

void FrameReceiver::Feed(const QByteArray& bytes) {
    // A shallow copy keeps the bytes alive even if a callback changes the caller's array.
    const QByteArray chunk = bytes;
    const auto* p = reinterpret_cast<const quint8*>(chunk.constData());
    const auto* const end = p + chunk.size();
    std::exception_ptr failure;
    State s = m_state;
    for (;;) {
        // Bulk path: inside a frame, short of its tail position, of the end of storing and of
        // the diagnostic, every byte but 0xA5 and 0x5A is only stored and counted.
        if (s.inFrame && s.stored >= 1) {
            qsizetype k = end - p;
            if (s.expected - 1 >= s.stored) k = qMin<qsizetype>(k, s.expected - 1 - s.stored);
            k = qMin<qsizetype>(k, StoreLimit - s.stored);
            k = qMin<qsizetype>(k, NoHeaderLimit - s.noHeader);
            const int n = int(FrameScan::storeRun(p, k, m_buffer.data() + s.stored, s.sum));
            p += n;
            s.stored += n;
            s.noHeader += n;
        }
        if (p == end) break;
        const quint8 b = *p++;

        // Tail test. It ignores the in-frame flag: after a good frame the count and the length
        // still describe it, so a further 0xAA before the next header delivers it again.
        // stored >= 1 means the stored bytes are exactly buffer[0, stored).
        if (b == Frame::Tail && s.stored >= 1 && s.stored == s.expected - 1) {
            const auto check = static_cast<quint8>(m_buffer[size_t(s.stored - 1)]);
            const bool good = static_cast<quint8>(s.sum - check) == check;
            s.inFrame = false;
            s.armed = false;
            if (!good) {
                s.stored = 0;
                s.expected = 0;
            }
            m_state = s;
            if (good) {
                deliver(failure);
            } else {
                invoke(onChecksumError, failure);
            }
            s = m_state;
        }

        // Store. Storing stops after the 101st byte, so L = 102 is the longest frame that can
        // still complete (its tail test needs 101 stored bytes and no more).
        if (s.inFrame) {
            Q_ASSERT(s.stored >= 0 && s.stored < BufferSize);
            if (s.stored == 0) {
                s.expected = b;
                s.sum = 0;
            }
            m_buffer[size_t(s.stored)] = static_cast<char>(b);
            s.sum += b;
            if (++s.stored > StoreLimit) {
                s.inFrame = false;
                s.armed = false;
            }
        }

        // Arm and header: a 0x5A after a 0xA5 at any distance is a header, unless a header, a
        // completed frame or the end of storing came between them.
        if (b == Frame::Header1) {
            s.armed = true;
        } else if (b == Frame::Header2 && s.armed) {
            s.noHeader = 0;
            s.inFrame = true;
            s.stored = 0;
            s.armed = false;
        }

        // The header byte itself counts as the first byte after the header.
        if (++s.noHeader > NoHeaderLimit) {
            s.noHeader = 0;
            m_state = s;
            invoke(onHeaderMissing, failure);
            s = m_state;
        }
    }
    m_state = s;
    if (failure) std::rethrow_exception(failure);
}
