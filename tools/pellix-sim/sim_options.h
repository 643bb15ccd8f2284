#pragma once
// The simulator's command line.
#include <QString>
#include <QStringList>

#include "fault_injector.h"
#include "module_device.h"

struct SimOptions {
    enum class Kind { Module, FlightController };
    Kind kind = Kind::Module;
    int port = 1;
    QString dir;  // empty: the program's own directory
    ModuleConfig config;
    bool still = false;
    double flowHz = 0;
    QString imageOut;
    QString transcript;
    int withholdAck = -1;
    int unplugAfterMs = -1;
    int burstFrames = 5;
    FaultInjector::Options faults;
};

// Parses the arguments (without the program name); on a mistake returns false with the
// message in *error. *help is set for --help.
[[nodiscard]] bool parseSimOptions(const QStringList& args, SimOptions* o, QString* error,
                                   QString* helpText);
