#pragma once
// The device's own reader of the host's frames (A5 5A L type payload sum AA). A device is
// strict: a frame counts only with its tail at the place its length byte gives and a matching
// sum; anything else is junk, and the reader looks for the next header inside it.
#include <QByteArray>
#include <QtGlobal>
#include <functional>

class HostFrameParser {
public:
    std::function<void(const QByteArray& frame)> onFrame;  // the whole frame, A5 to AA
    std::function<void(const QByteArray& bytes)> onJunk;   // bytes that made no frame

    void feed(quint8 b);
    void feed(const QByteArray& bytes);
    // Reports the junk gathered so far (the device does so at the end of each read).
    void flushJunk();
    // A header has been seen and the frame is not complete yet.
    bool inFrame() const { return m_state == State::Length || m_state == State::Body; }
    void reset();

private:
    enum class State { Idle, Armed, Length, Body };
    void fail();
    State m_state = State::Idle;
    QByteArray m_pending;
    QByteArray m_junk;
    int m_need = 0;
};
