#pragma once
// Vantor's receiver for the same frame format, with its own header detection (a position
// counter and a marker), the 0xFF = 2006 length rule and the 32760-byte limit.
#include <QByteArray>
#include <QtGlobal>
#include <functional>

class ModuleFrameReceiver {
public:
    std::function<void(quint8)> onByte;     // when set, sees every byte first (firmware upgrade)
    std::function<void()> onGoodFrame;
    std::function<void()> onChecksumError;  // "Check-Sum Error!"
    std::function<void()> onOverlong;       // "Error! Com"
    void Feed(const QByteArray& bytes);
    void Reset();
    const QByteArray& RxFrame() const { return m_rxFrame; }

private:
    QByteArray m_rxFrame;
};
