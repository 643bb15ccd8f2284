#pragma once
// Delivers POSIX signals into the Qt event loop (a signal handler may do nothing but write a
// byte to a pipe).
#include <QObject>

class QSocketNotifier;

class SignalPipe : public QObject {
    Q_OBJECT
public:
    explicit SignalPipe(QObject* parent = nullptr);
    [[nodiscard]] bool watch(const QList<int>& signals_);

signals:
    void raised(int signo);

private:
    void drain();
    QSocketNotifier* m_notifier = nullptr;
};
