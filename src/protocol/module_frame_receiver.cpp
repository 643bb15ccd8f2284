#include "protocol/module_frame_receiver.h"

#include <cstring>

#include "protocol/frame.h"
#include "protocol/frame_scan.h"

ModuleFrameReceiver::ModuleFrameReceiver() {
    // Room for the usual frames (L up to 254); only a 0xFF frame grows it, once.
    m_rxFrame.reserve(256);
}

void ModuleFrameReceiver::Reset() {
    m_state.position = 0;
    m_state.marker = 0;
    m_state.stored = 0;
    m_state.expected = 0;
    m_state.inFrame = false;
}

// A throwing callback must not cut the chunk short, so the first exception is kept and
// rethrown once the chunk is done.
template <class... Args>
void ModuleFrameReceiver::invoke(const std::function<void(Args...)>& callback,
                                 std::exception_ptr& failure, Args... args) {
    if (!callback) return;
    try {
        callback(args...);
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
}

void ModuleFrameReceiver::deliver(std::exception_ptr& failure) {
    const int n = m_state.stored;
    m_rxFrame.resize(n);
    std::memcpy(m_rxFrame.data(), m_buffer.data(), size_t(n));
    invoke(onGoodFrame, failure);
}

void ModuleFrameReceiver::Feed(const QByteArray& bytes) {
    // A shallow copy keeps the bytes alive even if a callback changes the caller's array.
    const QByteArray chunk = bytes;
    const auto* p = reinterpret_cast<const quint8*>(chunk.constData());
    const auto* const end = p + chunk.size();
    std::exception_ptr failure;
    State s = m_state;
    bool hook = bool(onByte);
    for (;;) {
        // Bulk path: inside a frame, short of its tail position, of the store limit and of the
        // counter's wrap, every byte but 0xA5 and 0x5A is only stored and counted.
        if (!hook && s.inFrame && s.stored >= 1) {
            qsizetype k = end - p;
            if (s.expected - 1 >= s.stored) k = qMin<qsizetype>(k, s.expected - 1 - s.stored);
            k = qMin<qsizetype>(k, StoreLimit - s.stored);
            k = qMin<qsizetype>(k, PositionWrap - s.position);
            char* dst = nullptr;
            if (s.stored < BufferSize) {
                k = qMin<qsizetype>(k, BufferSize - s.stored);
                dst = m_buffer.data() + s.stored;
            }
            if (k > 0) {
                const int n = int(FrameScan::storeRun(p, k, dst, s.sum));
                p += n;
                s.stored += n;
                s.position += n;
            }
        }
        if (p == end) break;
        const quint8 b = *p++;

        // The firmware updater sees the byte before the frame logic does.
        if (hook) {
            m_state = s;
            // A copy: the updater's hook typically ends the upgrade, and clears itself, from
            // inside its own call.
            const std::function<void(quint8)> call = onByte;
            invoke(call, failure, b);
            s = m_state;
            hook = bool(onByte);
        }

        // Tail test, whether or not a frame is being stored: after a good frame the count and
        // the length still describe it, so a further 0xAA delivers it again.
        if (b == Frame::Tail && s.stored >= 1 && s.stored == s.expected - 1) {
            const auto check = static_cast<quint8>(m_buffer[size_t(s.stored - 1)]);
            const bool good = static_cast<quint8>(s.sum - check) == check;
            s.inFrame = false;
            if (!good) {
                s.stored = 0;
                s.expected = 0;
            }
            s.position = 0;
            s.marker = 0;
            m_state = s;
            if (good) {
                deliver(failure);
            } else {
                invoke(onChecksumError, failure);
            }
            s = m_state;
            hook = bool(onByte);
        }

        // Store. Every stored byte advances the position counter once more, so a 0xA5 0x5A
        // pair inside a payload is not a header; only a wrapped counter can restart a frame.
        if (s.inFrame) {
            if (s.stored == 0) {
                s.expected = b == 0xFF ? LongFrameLength : b;
                s.sum = 0;
            }
            if (s.stored < BufferSize) m_buffer[size_t(s.stored)] = static_cast<char>(b);
            s.sum += b;
            const bool overlong = ++s.stored > StoreLimit;
            if (overlong) {
                s.inFrame = false;
                s.stored = 0;
                s.expected = 0;
                s.position = 0;
                s.marker = 0;
            }
            // Even the byte that ended an overlong frame advances the fresh counter, so a lone
            // 0x5A right after it is not a header (an 0xA5 0x5A pair is).
            if (++s.position > PositionWrap) s.position = 0;
            if (overlong) {
                m_state = s;
                invoke(onOverlong, failure);
                s = m_state;
                hook = bool(onByte);
            }
        }

        // Marker and header: a 0x5A is a header when the counter has moved exactly once since
        // the last 0xA5 (or since it was last zeroed).
        if (b == Frame::Header1) {
            s.marker = ++s.position;
        } else if (b == Frame::Header2) {
            if (++s.position == s.marker + 1) {
                s.inFrame = true;
                s.stored = 0;
            }
        }
    }
    m_state = s;
    if (failure) std::rethrow_exception(failure);
}
