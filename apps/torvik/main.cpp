// Torvik: the splash fades in and out, then the main window OSC takes over.
#include <QApplication>
#include <QPointer>

#include "shell/osc.h"
#include "shell/start.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Torvik"));
    QPointer<OSC> osc;
    auto* splash = new Start;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(splash, &Start::finished, [&osc] {
        osc = new OSC;
        osc->setAttribute(Qt::WA_DeleteOnClose);
        osc->show();
    });
    splash->Form_Activate();
    return app.exec();
}
