#pragma once
// The module's firmware loader. The loader command sends the module into it; it answers the
// host's first 0xAB with 'C', takes block 0 (image length) and the 1024-byte data blocks,
// acknowledges each, and after the end marker 04 04 checks the length and keeps the image.
// It goes back to the application (telemetry) after the end, or after a silence.
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>

#include "host_frame_parser.h"

class Loader {
public:
    static constexpr quint8 Sync = 0xAB;
    static constexpr quint8 Ready = 0x43;  // 'C'
    static constexpr quint8 Ack = 0x06;
    static constexpr quint8 Nak = 0x15;
    static constexpr quint8 SmallBlock = 0x01;
    static constexpr quint8 LargeBlock = 0x02;
    static constexpr quint8 End = 0x04;
    static constexpr int SmallBlockSize = 133;
    static constexpr int LargeBlockSize = 1029;
    static constexpr int DataSize = 1024;
    static constexpr int IdleTimeoutMs = 3000;

    enum class Outcome { None, Received, LengthMismatch, NoBlockZero };

    std::function<void(const QByteArray&)> send;
    std::function<void(const QByteArray& bytes, bool understood)> received;  // for the log
    std::function<void(const QString&)> note;
    std::function<void()> finished;  // back to the application

    void setImageOut(const QString& path) { m_imageOut = path; }
    // The ACK of block n (0 for block 0) is held back once, as a flaky loader might.
    void setWithheldAck(int block) { m_withhold = block; }

    void start(double nowMs);
    bool active() const { return m_state != State::Off; }
    void feed(quint8 b, double nowMs);
    void advance(double nowMs);  // silence time-out

    Outcome lastOutcome() const { return m_outcome; }
    const QByteArray& lastImage() const { return m_image; }  // of the last good upload

private:
    enum class State { Off, WaitSync, BlockStart, InBlock, EndPending };
    void atBlockStart(quint8 b);
    void blockDone();
    void finish();
    void leave();
    void answer(quint8 b);
    bool acknowledge(int block);

    State m_state = State::Off;
    double m_lastByte = 0;
    QByteArray m_block;
    int m_blockSize = 0;
    bool m_haveBlockZero = false;
    int m_length = 0;
    int m_nextBlock = 1;
    QByteArray m_data;
    QByteArray m_image;
    Outcome m_outcome = Outcome::None;
    QString m_imageOut;
    int m_withhold = -1;
    bool m_withheldOnce = false;
    HostFrameParser m_commands;  // a host that starts over sends the loader command again
};
