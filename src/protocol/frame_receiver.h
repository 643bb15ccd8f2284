#pragma once
// Torvik's byte-stream receiver for the A5 5A L type payload sum AA frame. Push-only: Feed()
// bytes in, callbacks out, synchronously and in order, before the next byte is looked at.
#include <QByteArray>
#include <functional>

class FrameReceiver {
public:
    std::function<void()> onGoodFrame;      // RxFrame() already holds the new frame
    std::function<void()> onChecksumError;  // one call per bad frame
    std::function<void()> onHeaderMissing;  // the four-line diagnostic is due
    void Feed(const QByteArray& bytes);
    void Reset();
    void ResetNoHeaderCounter();  // start-up sets the counter to 0
    const QByteArray& RxFrame() const { return m_rxFrame; }

private:
    QByteArray m_rxFrame;
};
