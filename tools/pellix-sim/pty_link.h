#pragma once
// The device end of the link: a pseudo-terminal whose slave is linked as <dir>/ports/comN,
// so the ground programs open it as "Com N".
#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

class PtyLink : public QObject {
    Q_OBJECT
public:
    ~PtyLink() override;
    [[nodiscard]] bool open(const QString& dir, int port, QString* error);
    QString slavePath() const { return m_slavePath; }
    QString linkPath() const { return m_linkPath; }
    void write(const QByteArray& bytes);
    // The device vanishes: the master closes (the host sees a hang-up) and the link goes.
    void unplug();

signals:
    void received(const QByteArray& bytes);

private:
    void readMaster();
    void removeLink();
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_linkPath;
    QSocketNotifier* m_notifier = nullptr;
};
