// pellix-sim: the far end of the link for Torvik and Vantor without hardware.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <memory>

#include "fault_injector.h"
#include "flight_controller.h"
#include "module_device.h"
#include "pty_link.h"
#include "signal_pipe.h"
#include "sim_options.h"
#include "transcript.h"

namespace {
constexpr int TickMs = 2;  // fine enough for 200 Hz telemetry on its own time grid

void say(const QString& text) {
    std::fprintf(stderr, "pellix-sim: %s\n", qPrintable(text));
    std::fflush(stderr);
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SimOptions o;
    QString error, help;
    if (!parseSimOptions(app.arguments().mid(1), &o, &error, &help)) {
        say(error);
        return 2;
    }
    if (!help.isEmpty()) {
        std::fputs(qPrintable(help), stdout);
        return 0;
    }

    QElapsedTimer clock;
    clock.start();
    const auto now = [&clock] { return clock.nsecsElapsed() / 1e6; };

    Transcript transcript;
    if (!o.transcript.isEmpty() && !transcript.open(o.transcript)) {
        say(QStringLiteral("cannot write the transcript %1").arg(o.transcript));
        return 1;
    }

    const MotionModel::Motion motion =
        o.still ? MotionModel::Motion::Still : MotionModel::Motion::Moving;
    std::unique_ptr<Device> device;
    if (o.kind == SimOptions::Kind::Module) {
        auto m = std::make_unique<ModuleDevice>(motion, o.faults.seed);
        m->setConfig(o.config, 0);
        m->loader().setImageOut(o.imageOut);
        m->loader().setWithheldAck(o.withholdAck);
        device = std::move(m);
    } else {
        auto fc = std::make_unique<FlightControllerDevice>(motion, o.faults.seed);
        fc->setImuConfig(o.config, 0);
        fc->setFlowRate(o.flowHz, 0);
        device = std::move(fc);
    }

    PtyLink link;
    const QString dir = o.dir.isEmpty() ? QCoreApplication::applicationDirPath() : o.dir;
    if (!link.open(dir, o.port, &error)) {
        say(error);
        return 1;
    }
    FaultInjector faults(o.faults);

    // Watched before the first line, so whoever waits for it may signal at once.
    SignalPipe signalPipe;
    if (!signalPipe.watch({SIGINT, SIGTERM, SIGUSR1, SIGUSR2, SIGHUP}))
        say(QStringLiteral("cannot watch signals"));
    QObject::connect(&signalPipe, &SignalPipe::raised, [&](int signo) {
        if (signo == SIGUSR1) {
            transcript.note(now(),
                            QStringLiteral("spoiling the next %1 frames").arg(o.burstFrames));
            faults.corruptNext(o.burstFrames);
        } else if (signo == SIGUSR2) {
            transcript.note(now(), QStringLiteral("garbage burst"));
            faults.garbageNow();
        } else {
            app.quit();
        }
    });

    // The first line is the terminal's path, for whoever started us.
    std::printf("%s\n", qPrintable(link.slavePath()));
    std::fflush(stdout);
    say(QStringLiteral("%1 on %2 (%3)")
            .arg(o.kind == SimOptions::Kind::Module ? QStringLiteral("module")
                                                    : QStringLiteral("flight controller"),
                 link.linkPath(), link.slavePath()));

    faults.out = [&](const QByteArray& bytes, bool) {
        transcript.tx(now(), bytes);
        link.write(bytes);
    };
    device->send = [&](const QByteArray& f) { faults.frame(f); };
    device->received = [&](const QByteArray& b, bool understood) {
        transcript.rx(now(), b, understood);
    };
    device->note = [&](const QString& text) {
        say(text);
        transcript.note(now(), text);
    };
    QObject::connect(&link, &PtyLink::received,
                     [&](const QByteArray& bytes) { device->receive(bytes, now()); });

    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(TickMs);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const double t = now();
        device->advance(t);
        faults.advance(t);
    });
    tick.start();

    if (o.unplugAfterMs >= 0) {
        QTimer::singleShot(o.unplugAfterMs, &app, [&] {
            device->note(QStringLiteral("unplugged"));
            link.unplug();
            app.quit();
        });
    }

    const int rc = app.exec();
    link.unplug();
    return rc;
}
