#include "loader.h"

#include <QFile>

#include "report_frames.h"

void Loader::start(double nowMs) {
    m_state = State::WaitSync;
    m_lastByte = nowMs;
    m_haveBlockZero = false;
    m_data.clear();
    m_block.clear();
    m_commands.reset();
    m_commands.onFrame = [this](const QByteArray& f) {
        if (received) received(f, true);
        if (static_cast<quint8>(f[3]) == Command::Loader) {
            if (note) note(QStringLiteral("loader: the host starts over"));
            start(m_lastByte);
        }
    };
    m_commands.onJunk = [this](const QByteArray& j) {
        if (received) received(j, false);
    };
    if (note) note(QStringLiteral("loader: waiting for synchronisation"));
}

void Loader::answer(quint8 b) {
    if (send) send(QByteArray(1, char(b)));
}

bool Loader::acknowledge(int block) {
    if (block == m_withhold && !m_withheldOnce) {
        m_withheldOnce = true;
        if (note) note(QStringLiteral("loader: withholding the ACK of block %1").arg(block));
        return false;
    }
    answer(Ack);
    return true;
}

void Loader::feed(quint8 b, double nowMs) {
    m_lastByte = nowMs;
    switch (m_state) {
        case State::Off:
            return;
        case State::WaitSync:
            if (b == Sync && !m_commands.inFrame()) {
                if (received) received(QByteArray(1, char(b)), true);
                answer(Ready);
                m_state = State::BlockStart;
            } else {
                m_commands.feed(b);
                m_commands.flushJunk();
            }
            return;
        case State::BlockStart:
            atBlockStart(b);
            return;
        case State::InBlock:
            m_block.append(char(b));
            if (m_block.size() == m_blockSize) blockDone();
            return;
        case State::EndPending:
            if (b == End) {
                if (received) received(QByteArray(2, char(End)), true);
                finish();
            } else {
                // A lone 0x04 was noise; this byte may start the next block.
                if (received) received(QByteArray(1, char(End)), false);
                m_state = State::BlockStart;
                atBlockStart(b);
            }
            return;
    }
}

void Loader::atBlockStart(quint8 b) {
    if (m_commands.inFrame()) {
        m_commands.feed(b);
        if (!m_commands.inFrame()) m_commands.flushJunk();
        return;
    }
    if (b == SmallBlock || b == LargeBlock) {
        m_block = QByteArray(1, char(b));
        m_blockSize = b == SmallBlock ? SmallBlockSize : LargeBlockSize;
        m_state = State::InBlock;
    } else if (b == End) {
        m_state = State::EndPending;
    } else if (b == Sync) {
        // Synchronisation bytes the host wrote before our 'C' reached it.
        if (received) received(QByteArray(1, char(b)), true);
    } else {
        m_commands.feed(b);
        m_commands.flushJunk();
    }
}

void Loader::blockDone() {
    if (received) received(m_block, true);
    m_state = State::BlockStart;
    const auto at = [this](int i) { return static_cast<quint8>(m_block[i]); };
    const int number = at(1);
    if (at(2) != 255 - number) {
        if (note)
            note(QStringLiteral("loader: block number %1 with a wrong complement").arg(number));
        answer(Nak);
        return;
    }
    if (m_blockSize == SmallBlockSize) {
        if (number != 0) {
            if (note) note(QStringLiteral("loader: small block %1 is not block 0").arg(number));
            answer(Nak);
            return;
        }
        // Block 0 starts (or restarts) the image: its length, most significant byte first.
        m_haveBlockZero = true;
        m_length = at(3) << 8 | at(4);
        m_nextBlock = 1;
        m_data.clear();
        if (note) note(QStringLiteral("loader: block 0, image of %1 bytes").arg(m_length));
        acknowledge(0);
        return;
    }
    if (!m_haveBlockZero || number != (m_nextBlock & 0xFF)) {
        if (note)
            note(QStringLiteral("loader: data block %1 out of order (expected %2)")
                     .arg(number)
                     .arg(m_haveBlockZero ? (m_nextBlock & 0xFF) : 0));
        answer(Nak);
        return;
    }
    m_data.append(m_block.constData() + 3, DataSize);
    acknowledge(m_nextBlock);  // a withheld ACK loses only the ACK: the block is kept
    ++m_nextBlock;
}

void Loader::finish() {
    if (!m_haveBlockZero) {
        m_outcome = Outcome::NoBlockZero;
        if (note) note(QStringLiteral("loader: end marker without block 0, nothing written"));
        answer(Nak);
        leave();
        return;
    }
    // The host sends blocks until it has passed the end of the image, so the data holds the
    // image and at most one block of fill.
    const int got = m_data.size();
    if (got < m_length || got - m_length > DataSize) {
        m_outcome = Outcome::LengthMismatch;
        if (note)
            note(QStringLiteral("loader: block 0 announced %1 bytes but %2 data bytes came; "
                                "image refused")
                     .arg(m_length)
                     .arg(got));
        answer(Nak);
        leave();
        return;
    }
    m_outcome = Outcome::Received;
    m_image = m_data.left(m_length);
    QString where;
    if (!m_imageOut.isEmpty()) {
        QFile f(m_imageOut);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
            f.write(m_image) == m_image.size())
            where = QStringLiteral(", written to %1").arg(m_imageOut);
        else
            where = QStringLiteral(", but %1 could not be written").arg(m_imageOut);
    }
    if (note)
        note(QStringLiteral("loader: image of %1 bytes received in %2 blocks%3")
                 .arg(m_length)
                 .arg(m_nextBlock - 1)
                 .arg(where));
    answer(Ack);
    leave();
}

void Loader::leave() {
    m_state = State::Off;
    m_commands.reset();
    if (finished) finished();
}

void Loader::advance(double nowMs) {
    if (m_state == State::Off || nowMs - m_lastByte < IdleTimeoutMs) return;
    if (note)
        note(QStringLiteral("loader: nothing received for %1 ms, back to the application")
                 .arg(IdleTimeoutMs));
    leave();
}
