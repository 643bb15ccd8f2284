#pragma once
// Torvik's byte-stream receiver for the A5 5A L type payload sum AA frame. Push-only: Feed()
// bytes in, callbacks out, synchronously and in order, before the next byte is looked at.
//
// Callbacks may call Reset() (it takes effect at once: the rest of the current byte's steps
// see the reset receiver) and may even Feed() more bytes (they are handled at that point, as
// if they had arrived between this byte and the next). They may replace or clear any
// callback; one that replaces itself must do so as its last action, since its captures go
// with it. A callback that throws does not stop the chunk: the receiver finishes every byte
// of it, then Feed() rethrows the first exception (later ones of the same chunk are dropped).
// The receiver stays consistent either way.
#include <QByteArray>
#include <array>
#include <exception>
#include <functional>

class FrameReceiver {
public:
    FrameReceiver();

    std::function<void()> onGoodFrame;      // RxFrame() already holds the new frame
    std::function<void()> onChecksumError;  // one call per bad frame
    std::function<void()> onHeaderMissing;  // the four-line diagnostic is due
    void Feed(const QByteArray& bytes);
    void Reset();
    void ResetNoHeaderCounter();  // start-up sets the counter to 0
    const QByteArray& RxFrame() const { return m_rxFrame; }

private:
    // Bytes stored after a header before storing stops (length, type, payload, checksum).
    static constexpr int StoreLimit = 100;
    static constexpr int BufferSize = StoreLimit + 1;
    // Bytes since the last header after which the missing-header diagnostic is due.
    static constexpr int NoHeaderLimit = 100;

    // Everything Feed() changes per byte, so the byte loop can keep it in registers and
    // write it back only around a callback.
    struct State {
        int stored = 0;    // bytes stored since the last header; also the buffer's fill
        int expected = 0;  // the length byte of the current frame
        int noHeader = 0;  // bytes since the last recognised header
        unsigned sum = 0;  // running sum of the stored bytes, so the tail test is O(1)
        bool inFrame = false;
        bool armed = false;  // a 0xA5 is waiting for its 0x5A
    };

    void deliver(std::exception_ptr& failure);
    static void invoke(const std::function<void()>& callback, std::exception_ptr& failure);

    State m_state;
    std::array<char, BufferSize> m_buffer{};
    QByteArray m_rxFrame;
};
