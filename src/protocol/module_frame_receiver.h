#pragma once
// Vantor's receiver for the same frame format, with its own header detection (a position
// counter and a marker), the 0xFF = 2006 length rule and the 32760-byte limit.
//
// Callbacks run synchronously, in arrival order, before the next byte. They may call Reset()
// (it takes effect at once: the rest of the current byte's steps see the reset receiver) and
// Feed() more bytes (handled at that point, as if they had arrived between this byte and the
// next). They may replace or clear any callback: onByte at any point of its own call, the
// frame callbacks, which run without a copy for speed, only as their last action when they
// replace themselves (their captures go with them). A callback that throws does not stop the
// chunk: every byte of it is still handled, then Feed() rethrows the first exception (later
// ones of the same chunk are dropped). The receiver stays consistent.
#include <QByteArray>
#include <QtGlobal>
#include <array>
#include <exception>
#include <functional>

class ModuleFrameReceiver {
public:
    ModuleFrameReceiver();

    std::function<void(quint8)> onByte;  // when set, sees every byte first (firmware upgrade)
    std::function<void()> onGoodFrame;
    std::function<void()> onChecksumError;  // "Check-Sum Error!"
    std::function<void()> onOverlong;       // "Error! Com"
    void Feed(const QByteArray& bytes);
    void Reset();
    const QByteArray& RxFrame() const { return m_rxFrame; }

private:
    // More stored bytes than this and the frame is dropped.
    static constexpr int StoreLimit = 32760;
    // The length byte 0xFF announces this length (a frame of 2005 stored bytes).
    static constexpr int LongFrameLength = 2006;
    // The position counter returns to 0 when a stored byte takes it past this.
    static constexpr int PositionWrap = 200;
    // A frame completes only while stored == expected - 1, and expected is at most 2006, so
    // no byte past index 2004 is ever read back: later bytes of an overlong frame are
    // counted, not kept.
    static constexpr int BufferSize = LongFrameLength - 1;

    struct State {
        int stored = 0;    // bytes stored since the last header
        int expected = 0;  // the length byte of the current frame, 2006 for 0xFF
        // 64-bit: outside a frame every 0xA5 and 0x5A advances the counter without wrapping,
        // and a long enough run of them must not overflow it.
        qint64 position = 0;
        qint64 marker = 0;  // the position of the last 0xA5
        unsigned sum = 0;   // running sum of the stored bytes, so the tail test is O(1)
        bool inFrame = false;
    };

    void deliver(std::exception_ptr& failure);
    template <class... Args>
    static void invoke(const std::function<void(Args...)>& callback, std::exception_ptr& failure,
                       Args... args);

    State m_state;
    std::array<char, BufferSize> m_buffer{};
    QByteArray m_rxFrame;
};
