#include <QApplication>
#include <QMainWindow>

#include "platform/maker.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setObjectName(QStringLiteral("OSC"));
    w.setWindowTitle(QStringLiteral("Torvik ") + Maker::WebAddress);
    w.resize(1016, 614);
    w.show();
    return app.exec();
}
