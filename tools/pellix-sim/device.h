#pragma once
// One simulated device at the far end of the link. Pure: the caller hands in the host's
// bytes and the time, and the device answers through its callbacks, so tests drive it
// without a terminal and without a clock.
#include <QByteArray>
#include <QString>
#include <functional>

class Device {
public:
    virtual ~Device() = default;

    // Everything the device writes: one frame (or one loader answer) per call.
    std::function<void(const QByteArray&)> send;
    // What the device made of the host's bytes: a frame or loader block (understood), or
    // bytes that made none.
    std::function<void(const QByteArray& bytes, bool understood)> received;
    // Events worth telling the person who runs the simulator.
    std::function<void(const QString&)> note;

    virtual void receive(const QByteArray& bytes, double nowMs) = 0;
    // Sends every periodic report due by nowMs.
    virtual void advance(double nowMs) = 0;

protected:
    void emitFrame(const QByteArray& f) {
        if (send) send(f);
    }
    void tell(const QString& text) {
        if (note) note(text);
    }
};
