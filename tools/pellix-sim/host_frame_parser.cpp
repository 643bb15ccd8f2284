#include "host_frame_parser.h"

#include "protocol/frame.h"

void HostFrameParser::feed(const QByteArray& bytes) {
    for (char c : bytes) feed(static_cast<quint8>(c));
}

void HostFrameParser::feed(quint8 b) {
    switch (m_state) {
        case State::Idle:
            if (b == Frame::Header1) {
                m_pending = QByteArray(1, char(b));
                m_state = State::Armed;
            } else {
                m_junk.append(char(b));
            }
            return;
        case State::Armed:
            if (b == Frame::Header2) {
                m_pending.append(char(b));
                m_state = State::Length;
            } else if (b == Frame::Header1) {
                m_junk.append(m_pending);
                m_pending = QByteArray(1, char(b));
            } else {
                m_junk.append(m_pending).append(char(b));
                m_pending.clear();
                m_state = State::Idle;
            }
            return;
        case State::Length:
            m_pending.append(char(b));
            if (b < 4) {  // no room for type, sum and tail
                fail();
                return;
            }
            m_need = b + 2;
            m_state = State::Body;
            return;
        case State::Body:
            m_pending.append(char(b));
            if (m_pending.size() < m_need) return;
            const quint8 sum = Frame::sum(m_pending.constData() + 2, m_pending.size() - 4);
            if (b != Frame::Tail || static_cast<quint8>(m_pending[m_need - 2]) != sum) {
                fail();
                return;
            }
            flushJunk();
            const QByteArray frame = m_pending;
            m_pending.clear();
            m_state = State::Idle;
            if (onFrame) onFrame(frame);
            return;
    }
}

void HostFrameParser::fail() {
    // The first A5 was no header after all; a real one may start anywhere after it.
    const QByteArray rest = m_pending.mid(1);
    m_junk.append(m_pending.at(0));
    m_pending.clear();
    m_state = State::Idle;
    for (char c : rest) feed(static_cast<quint8>(c));
}

void HostFrameParser::flushJunk() {
    if (m_junk.isEmpty()) return;
    const QByteArray junk = m_junk;
    m_junk.clear();
    if (onJunk) onJunk(junk);
}

void HostFrameParser::reset() {
    m_state = State::Idle;
    m_pending.clear();
    m_junk.clear();
    m_need = 0;
}
