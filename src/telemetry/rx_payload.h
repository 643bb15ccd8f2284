#pragma once
// The payload of an RxFrame as every decoder reads it. RxFrame holds the length byte L, the
// type, the payload and the checksum, so the payload is the bytes between the type and the
// last byte, and never more than L announces. A field is read only when it lies completely
// inside the payload: a short frame gives the fields it holds, nothing past the received bytes
// is touched, and the checksum is never taken for the low byte of a field.
#include <QByteArray>
#include <optional>

#include "protocol/fields.h"

class RxPayload {
public:
    static constexpr int Start = 2;  // RxFrame index of payload byte 0

    explicit RxPayload(const QByteArray& rxFrame) : m_frame(rxFrame) {
        const int bySize = int(rxFrame.size()) - 1;
        const int byLength = rxFrame.isEmpty() ? Start : Field::byteAt(rxFrame, 0) - 2;
        m_end = qMax(Start, qMin(bySize, byLength));
    }

    // RxFrame index after the last payload byte.
    int end() const { return m_end; }
    bool holds(int index, int size) const { return index >= Start && index + size <= m_end; }

    std::optional<int> u8(int index) const { return read<int>(index, 1, &Field::u8); }
    std::optional<int> u16be(int index) const { return read<int>(index, 2, &Field::u16be); }
    std::optional<int> s16be(int index) const { return read<int>(index, 2, &Field::s16be); }
    std::optional<int> sm16be(int index) const { return read<int>(index, 2, &Field::sm16be); }
    std::optional<qint32> s32be(int index) const { return read<qint32>(index, 4, &Field::s32be); }
    std::optional<float> f32le(int index) const { return read<float>(index, 4, &Field::f32le); }

private:
    template <typename T>
    std::optional<T> read(int index, int size, bool (*reader)(const QByteArray&, int, T*)) const {
        T v{};
        if (!holds(index, size) || !reader(m_frame, index, &v)) return std::nullopt;
        return v;
    }

    const QByteArray& m_frame;
    int m_end;
};
