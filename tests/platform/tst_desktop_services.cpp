// The small desktop services: file dialogs (filters in either form, default extension),
// message boxes, pointer, clock texts and program directory, real and scripted.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/file_dialogs.h"
#include "platform/local_clock.h"
#include "platform/message_boxes.h"
#include "platform/pointer_service.h"
#include "platform/program_dir.h"

namespace {
// Runs f on the modal dialog once it is shown.
template <typename W, typename F>
void whenShown(F f) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, f] {
        if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            f(w);
        }
    });
    poll->start(10);
}
}  // namespace

class DesktopServicesTest : public QObject {
    Q_OBJECT
private slots:
    void qtFilter_data();
    void qtFilter();
    void realSaveDialogAddsDefaultExtension();
    void realOpenDialogCancel();
    void scriptedDialogsSeeTheRequest();
    void realMessageBoxReturnsTheClickedButton();
    void scriptedMessageBoxAndPointer();
    void clockTexts();
    void programDirOverride();
};

void DesktopServicesTest::qtFilter_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qt");

    QTest::newRow("Qt form unchanged") << "CSV (*.csv);;All (*)"
                                       << "CSV (*.csv);;All (*)";
    QTest::newRow("one pair") << "CSV文件|*.csv"
                              << "CSV文件 (*.csv)";
    QTest::newRow("two pairs") << "Firmware|*.bin|All files|*.*"
                               << "Firmware (*.bin);;All files (*.*)";
    QTest::newRow("several patterns") << "Images|*.bin;*.hex"
                                      << "Images (*.bin *.hex)";
    QTest::newRow("description without patterns") << "Logs|*.csv|Everything"
                                                  << "Logs (*.csv);;Everything (*)";
    QTest::newRow("empty") << ""
                           << "";
}

void DesktopServicesTest::qtFilter() {
    QFETCH(QString, filter);
    QFETCH(QString, qt);
    QCOMPARE(FileDialogs::qtFilter(filter), qt);
}

void DesktopServicesTest::realSaveDialogAddsDefaultExtension() {
    QTemporaryDir dir;
    whenShown<QFileDialog>([&](QFileDialog* d) {
        d->selectFile(dir.filePath(QStringLiteral("flight1")));
        static_cast<QDialog*>(d)->accept();  // QFileDialog hides it, QDialog does not
    });
    const QString chosen = FileDialogs::getSaveFileName(
        nullptr, {false, QStringLiteral("保存"), QStringLiteral("CSV|*.csv"), QStringLiteral("csv"),
                  dir.path()});
    QCOMPARE(chosen, dir.filePath(QStringLiteral("flight1.csv")));
}

void DesktopServicesTest::realOpenDialogCancel() {
    whenShown<QFileDialog>([](QFileDialog* d) { d->reject(); });
    QCOMPARE(FileDialogs::getOpenFileName(nullptr, {}), QString());
}

void DesktopServicesTest::scriptedDialogsSeeTheRequest() {
    QList<FileDialogRequest> asked;
    FileDialogs::setScript([&](const FileDialogRequest& r) {
        asked << r;
        return r.save ? QStringLiteral("/tmp/out.csv") : QString();
    });
    const FileDialogRequest request{true, QStringLiteral("打开"), QStringLiteral("CSV|*.csv"),
                                    QStringLiteral("csv"), QStringLiteral("/data")};
    QCOMPARE(FileDialogs::getOpenFileName(nullptr, request), QString());  // cancelled
    QCOMPARE(FileDialogs::getSaveFileName(nullptr, {}), QStringLiteral("/tmp/out.csv"));
    FileDialogs::setScript({});
    QCOMPARE(asked.size(), 2);
    QVERIFY(!asked[0].save);  // the call, not the caller's flag, says which dialog it is
    QCOMPARE(asked[0].title, QStringLiteral("打开"));
    QCOMPARE(asked[0].initialDir, QStringLiteral("/data"));
    QVERIFY(asked[1].save);
}

void DesktopServicesTest::realMessageBoxReturnsTheClickedButton() {
    whenShown<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
    const auto answer = MessageBoxes::show(
        nullptr, {QMessageBox::Question, QStringLiteral("Vantor"), QStringLiteral("确定吗?"),
                  QMessageBox::Yes | QMessageBox::No});
    QCOMPARE(answer, QMessageBox::No);
}

void DesktopServicesTest::scriptedMessageBoxAndPointer() {
    QString seen;
    MessageBoxes::setScript([&](const MessageBoxRequest& r) {
        seen = r.text;
        return QMessageBox::Yes;
    });
    QCOMPARE(MessageBoxes::show(nullptr, {QMessageBox::Warning,
                                          {},
                                          QStringLiteral("升级?"),
                                          QMessageBox::Yes | QMessageBox::No}),
             QMessageBox::Yes);
    QCOMPARE(seen, QStringLiteral("升级?"));
    MessageBoxes::setScript({});

    QList<QPoint> placed;
    PointerService::setScript([&](const QPoint& p) { placed << p; });
    PointerService::setPos({120, 80});
    PointerService::setPos({121, 79});
    QCOMPARE(placed, (QList<QPoint>{{120, 80}, {121, 79}}));
    QCOMPARE(PointerService::pos(), QPoint(121, 79));
    PointerService::setScript({});
}

void DesktopServicesTest::clockTexts() {
    const QDateTime t(QDate(2014, 5, 3), QTime(9, 5, 7, 42));
    LocalClock::setFixed(t);
    QCOMPARE(LocalClock::now(), t);
    QCOMPARE(LocalClock::shortDate(t), QStringLiteral("2014-5-3"));
    QCOMPARE(LocalClock::timeOfDay(t), QStringLiteral("9:05:07"));
    QCOMPARE(LocalClock::timeOfDay(QDateTime(QDate(2014, 12, 31), QTime(23, 59, 59))),
             QStringLiteral("23:59:59"));
    LocalClock::setFixed({});
    QVERIFY(qAbs(LocalClock::now().secsTo(QDateTime::currentDateTime())) < 5);
}

void DesktopServicesTest::programDirOverride() {
    QCOMPARE(ProgramDir::path(), QCoreApplication::applicationDirPath());
    QTemporaryDir dir;
    ProgramDir::setOverride(dir.path());
    QCOMPARE(ProgramDir::file(QStringLiteral("OSC.ini")), dir.filePath(QStringLiteral("OSC.ini")));
    ProgramDir::setOverride(QString());
    QCOMPARE(ProgramDir::file(QStringLiteral("liti8.x")),
             QCoreApplication::applicationDirPath() + QStringLiteral("/liti8.x"));
}

QTEST_MAIN(DesktopServicesTest)
#include "tst_desktop_services.moc"
