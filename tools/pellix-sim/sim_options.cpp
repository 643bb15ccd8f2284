#include "sim_options.h"

#include <QCommandLineParser>

namespace {
bool toInt(const QString& text, int lo, int hi, int* out) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < lo || v > hi) return false;
    *out = v;
    return true;
}
}  // namespace

bool parseSimOptions(const QStringList& args, SimOptions* o, QString* error, QString* helpText) {
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Plays a Pellix attitude module or a Torvik flight controller on a pseudo-terminal "
        "linked as <dir>/ports/comN. Prints the terminal's path on its first line.\n"
        "Signals: SIGUSR1 sends the next --burst-frames frames with a wrong sum, SIGUSR2 "
        "writes one burst of random bytes, SIGINT/SIGTERM end it."));
    p.addPositionalArgument(QStringLiteral("device"),
                            QStringLiteral("module (default) or flightctl"));
    const QCommandLineOption help = p.addHelpOption();
    const QCommandLineOption port({QStringLiteral("p"), QStringLiteral("port")},
                                  QStringLiteral("Port number N of ports/comN (default 1)."),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption dir({QStringLiteral("d"), QStringLiteral("dir")},
                                 QStringLiteral("Directory holding ports/ (default: the "
                                                "program's own directory)."),
                                 QStringLiteral("DIR"));
    const QCommandLineOption output(
        QStringLiteral("output"),
        QStringLiteral("Telemetry frames at start: attitude, both (default) or sensors."),
        QStringLiteral("FRAMES"), QStringLiteral("both"));
    const QCommandLineOption rate(
        QStringLiteral("rate"),
        QStringLiteral("Telemetry rate at start: 200, 120, 100, 80, 50, 20 (default), 10 or 1."),
        QStringLiteral("HZ"), QStringLiteral("20"));
    const QCommandLineOption still(QStringLiteral("still"),
                                   QStringLiteral("The module lies at rest instead of moving."));
    const QCommandLineOption flow(
        QStringLiteral("flow-rate"),
        QStringLiteral("flightctl: ReportFlow frames per second (default 0: none, because "
                       "Torvik moves the mouse pointer with each one)."),
        QStringLiteral("HZ"), QStringLiteral("0"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of the sensor noise and faults."),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption imageOut(
        QStringLiteral("image-out"),
        QStringLiteral("File that receives the firmware image of a good upload."),
        QStringLiteral("FILE"));
    const QCommandLineOption transcript(
        QStringLiteral("transcript"),
        QStringLiteral("Log every frame in both directions, in hex with a time stamp."),
        QStringLiteral("FILE"));
    const QCommandLineOption badSum(
        QStringLiteral("bad-checksum-rate"),
        QStringLiteral("Fraction (0 to 1) of frames sent with a wrong checksum."),
        QStringLiteral("R"), QStringLiteral("0"));
    const QCommandLineOption garbage(QStringLiteral("garbage-burst"),
                                     QStringLiteral("Write bursts of random bytes between "
                                                    "frames every --garbage-interval ms."));
    const QCommandLineOption garbageInterval(QStringLiteral("garbage-interval"),
                                             QStringLiteral("Milliseconds between garbage "
                                                            "bursts (default 1000)."),
                                             QStringLiteral("MS"), QStringLiteral("1000"));
    const QCommandLineOption garbageSize(QStringLiteral("garbage-size"),
                                         QStringLiteral("Bytes per garbage burst (default 120)."),
                                         QStringLiteral("N"), QStringLiteral("120"));
    const QCommandLineOption withhold(
        QStringLiteral("withhold-ack"),
        QStringLiteral("The loader withholds the ACK of block N (0 is block 0) once."),
        QStringLiteral("N"));
    const QCommandLineOption frameLength(
        QStringLiteral("frame-length"),
        QStringLiteral("Send every frame with length byte L (4 to 255), its payload cut or "
                       "padded with zeros."),
        QStringLiteral("L"));
    const QCommandLineOption unplug(
        QStringLiteral("unplug-after"),
        QStringLiteral("Vanish after MS milliseconds: close the terminal, remove the link, "
                       "exit."),
        QStringLiteral("MS"));
    const QCommandLineOption burst(QStringLiteral("burst-frames"),
                                   QStringLiteral("Frames spoiled by one SIGUSR1 (default 5)."),
                                   QStringLiteral("K"), QStringLiteral("5"));
    p.addOptions({port, dir, output, rate, still, flow, seed, imageOut, transcript, badSum, garbage,
                  garbageInterval, garbageSize, withhold, frameLength, unplug, burst});

    QStringList argv = args;
    argv.prepend(QStringLiteral("pellix-sim"));
    if (!p.parse(argv)) {
        *error = p.errorText();
        return false;
    }
    if (p.isSet(help)) {
        *helpText = p.helpText();
        return true;
    }
    const QStringList pos = p.positionalArguments();
    if (pos.size() > 1) {
        *error = QStringLiteral("one device only");
        return false;
    }
    const QString kind = pos.value(0, QStringLiteral("module"));
    if (kind == QLatin1String("module"))
        o->kind = SimOptions::Kind::Module;
    else if (kind == QLatin1String("flightctl"))
        o->kind = SimOptions::Kind::FlightController;
    else {
        *error = QStringLiteral("unknown device '%1': module or flightctl").arg(kind);
        return false;
    }
    const auto bad = [&](const QCommandLineOption& opt) {
        *error =
            QStringLiteral("bad value for --%1: %2").arg(opt.names().constLast(), p.value(opt));
        return false;
    };
    if (!toInt(p.value(port), 1, 255, &o->port)) return bad(port);
    o->dir = p.value(dir);
    const QString frames = p.value(output);
    if (frames == QLatin1String("attitude"))
        o->config.frames = ModuleConfig::AttitudeOnly;
    else if (frames == QLatin1String("both"))
        o->config.frames = ModuleConfig::AttitudeAndSensors;
    else if (frames == QLatin1String("sensors"))
        o->config.frames = ModuleConfig::SensorsOnly;
    else
        return bad(output);
    int hz = 0;
    if (!toInt(p.value(rate), 1, 200, &hz) || !codeForRate(hz)) return bad(rate);
    o->config.rateCode = static_cast<quint8>(codeForRate(hz));
    o->still = p.isSet(still);
    bool ok = false;
    o->flowHz = p.value(flow).toDouble(&ok);
    if (!ok || o->flowHz < 0 || o->flowHz > 500) return bad(flow);
    int s = 0;
    if (!toInt(p.value(seed), 0, 0x7FFFFFFF, &s)) return bad(seed);
    o->faults.seed = static_cast<quint32>(s);
    o->imageOut = p.value(imageOut);
    o->transcript = p.value(transcript);
    o->faults.badChecksumRate = p.value(badSum).toDouble(&ok);
    if (!ok || o->faults.badChecksumRate < 0 || o->faults.badChecksumRate > 1) return bad(badSum);
    int interval = 0;
    if (!toInt(p.value(garbageInterval), 1, 3600000, &interval)) return bad(garbageInterval);
    o->faults.garbageIntervalMs = p.isSet(garbage) ? interval : 0;
    if (!toInt(p.value(garbageSize), 1, 65536, &o->faults.garbageSize)) return bad(garbageSize);
    if (p.isSet(withhold) && !toInt(p.value(withhold), 0, 1 << 20, &o->withholdAck))
        return bad(withhold);
    if (p.isSet(frameLength) && !toInt(p.value(frameLength), 4, 255, &o->faults.frameLength))
        return bad(frameLength);
    if (p.isSet(unplug) && !toInt(p.value(unplug), 0, 0x7FFFFFFF, &o->unplugAfterMs))
        return bad(unplug);
    if (!toInt(p.value(burst), 1, 100000, &o->burstFrames)) return bad(burst);
    return true;
}
