// OSC.ini reading and writing with the desktop profile-file rules: what a hand-edited or
// foreign file reads as, and that writing one value leaves the rest of the file as it was.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "platform/profile_file.h"

class ProfileFileTest : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void write_data();
    void write();
    void fileMissingOrUnwritable();
};

void ProfileFileTest::read_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    const QByteArray full =
        "[COM]\nPort=3\nSettings=115200,n,8,1\nGYRO_Resolution=32.8\nACC_Resolution=16384\n";
    QTest::newRow("settings") << full << "COM"
                              << "Settings"
                              << "115200,n,8,1";
    QTest::newRow("port") << full << "COM"
                          << "Port"
                          << "3";
    QTest::newRow("last key") << full << "COM"
                              << "ACC_Resolution"
                              << "16384";
    QTest::newRow("section and key in other case") << QByteArray("[com]\nPORT=3\n") << "COM"
                                                   << "port"
                                                   << "3";
    QTest::newRow("key missing") << full << "COM"
                                 << "Baud"
                                 << "";
    QTest::newRow("section missing") << full << "LINK"
                                     << "Port"
                                     << "";
    QTest::newRow("empty file") << QByteArray() << "COM"
                                << "Port"
                                << "";
    QTest::newRow("key only in another section")
        << QByteArray("[A]\nPort=1\n[COM]\nSettings=x\n") << "COM"
        << "Port"
        << "";
    QTest::newRow("key before any section") << QByteArray("Port=1\n[COM]\n") << "COM"
                                            << "Port"
                                            << "";
    QTest::newRow("blanks around = and value") << QByteArray("[COM]\n  Port \t=  3  \n") << "COM"
                                               << "Port"
                                               << "3";
    QTest::newRow("blanks inside the value stay")
        << QByteArray("[COM]\nSettings=9600, n,8 ,1\n") << "COM"
        << "Settings"
        << "9600, n,8 ,1";
    QTest::newRow("indented section") << QByteArray("  [COM]  \nPort=3\n") << "COM"
                                      << "Port"
                                      << "3";
    QTest::newRow("CRLF") << QByteArray("[COM]\r\nPort=3\r\nSettings=9600,n,8,1\r\n") << "COM"
                          << "Settings"
                          << "9600,n,8,1";
    QTest::newRow("no line break at the end") << QByteArray("[COM]\nPort=3") << "COM"
                                              << "Port"
                                              << "3";
    QTest::newRow("double quotes dropped")
        << QByteArray("[COM]\nSettings=\"115200,n,8,1\"\n") << "COM"
        << "Settings"
        << "115200,n,8,1";
    QTest::newRow("single quotes dropped") << QByteArray("[COM]\nPort='3'\n") << "COM"
                                           << "Port"
                                           << "3";
    QTest::newRow("blanks inside quotes stay")
        << QByteArray("[COM]\nACC_Resolution=\" 4096 \"\n") << "COM"
        << "ACC_Resolution"
        << " 4096 ";
    QTest::newRow("only one pair of quotes dropped")
        << QByteArray("[COM]\nPort=\"\"3\"\"\n") << "COM"
        << "Port"
        << "\"3\"";
    QTest::newRow("unmatched quotes stay") << QByteArray("[COM]\nPort=\"3'\n") << "COM"
                                           << "Port"
                                           << "\"3'";
    QTest::newRow("lone quote stays") << QByteArray("[COM]\nPort=\"\n") << "COM"
                                      << "Port"
                                      << "\"";
    QTest::newRow("empty quotes") << QByteArray("[COM]\nPort=\"\"\n") << "COM"
                                  << "Port"
                                  << "";
    QTest::newRow("empty value") << QByteArray("[COM]\nPort=\n") << "COM"
                                 << "Port"
                                 << "";
    QTest::newRow("key without =") << QByteArray("[COM]\nPort\n") << "COM"
                                   << "Port"
                                   << "";
    QTest::newRow("= inside the value") << QByteArray("[COM]\nSettings=a=b\n") << "COM"
                                        << "Settings"
                                        << "a=b";
    QTest::newRow("no inline comments") << QByteArray("[COM]\nPort=3 ; pinned\n") << "COM"
                                        << "Port"
                                        << "3 ; pinned";
    QTest::newRow("commented-out key") << QByteArray("[COM]\n;Port=9\nPort=3\n") << "COM"
                                       << "Port"
                                       << "3";
    QTest::newRow("first of two keys") << QByteArray("[COM]\nPort=3\nport=4\n") << "COM"
                                       << "Port"
                                       << "3";
    QTest::newRow("number with trailing text is text")
        << QByteArray("[COM]\nACC_Resolution=8192abc\n") << "COM"
        << "ACC_Resolution"
        << "8192abc";
    QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBF[COM]\nPort=3\n") << "COM"
                                << "Port"
                                << "3";
    QTest::newRow("UTF-8 text") << QByteArray("[COM]\nName=开发组\n") << "COM"
                                << "Name" << QStringLiteral("开发组");
    QTest::newRow("254 characters at most")
        << QByteArray("[COM]\nSettings=" + QByteArray(300, 'x') + "\n") << "COM"
        << "Settings" << QString(254, u'x');
    QTest::newRow("254 exactly") << QByteArray("[COM]\nSettings=" + QByteArray(254, 'y')) << "COM"
                                 << "Settings" << QString(254, u'y');
    QTest::newRow("section without ]") << QByteArray("[COM\nPort=3\n") << "COM"
                                       << "Port"
                                       << "";
    QTest::newRow("binary garbage") << QByteArray("\0\xFF[\n=\n]\r\r\n[COM]\nPort=3", 22) << "COM"
                                    << "Port"
                                    << "3";
}

void ProfileFileTest::read() {
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QCOMPARE(ProfileFile::readValue(content, section, key), value);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("OSC.ini"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    QCOMPARE(Read_ini(section, key, path), value);
}

void ProfileFileTest::write_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new file") << QByteArray() << "COM"
                              << "Port"
                              << "3" << QByteArray("[COM]\nPort=3\n");
    QTest::newRow("value replaced, everything else kept")
        << QByteArray("; pinned by hand\n[COM]\nPort=3\nSettings=115200,n,8,1\n\n[Other]\nX=1\n")
        << "COM"
        << "Port"
        << "7"
        << QByteArray("; pinned by hand\n[COM]\nPort=7\nSettings=115200,n,8,1\n\n[Other]\nX=1\n");
    QTest::newRow("longer and shorter values")
        << QByteArray("[COM]\nSettings=9600,n,8,1\nPort=3\n") << "COM"
        << "Settings"
        << "115200,n,8,1.5" << QByteArray("[COM]\nSettings=115200,n,8,1.5\nPort=3\n");
    QTest::newRow("spelling of section and key kept") << QByteArray("[com]\nPORT=3\n") << "COM"
                                                      << "Port"
                                                      << "12" << QByteArray("[com]\nPORT=12\n");
    QTest::newRow("blanks before the value kept") << QByteArray("[COM]\n  Port = 3  \n") << "COM"
                                                  << "Port"
                                                  << "7" << QByteArray("[COM]\n  Port = 7\n");
    QTest::newRow("quoted value replaced whole")
        << QByteArray("[COM]\nSettings=\"9600,n,8,1\"\n") << "COM"
        << "Settings"
        << "4800,n,8,1" << QByteArray("[COM]\nSettings=4800,n,8,1\n");
    QTest::newRow("CRLF kept") << QByteArray("[COM]\r\nPort=3\r\nSettings=x\r\n") << "COM"
                               << "Port"
                               << "12" << QByteArray("[COM]\r\nPort=12\r\nSettings=x\r\n");
    QTest::newRow("new key in a CRLF file")
        << QByteArray("[COM]\r\nPort=3\r\n") << "COM"
        << "Settings"
        << "9600,n,8,1" << QByteArray("[COM]\r\nPort=3\r\nSettings=9600,n,8,1\r\n");
    QTest::newRow("new key at the end of its section")
        << QByteArray("[COM]\nPort=3\n\n[Other]\nX=1\n") << "COM"
        << "Settings"
        << "9600,n,8,1" << QByteArray("[COM]\nPort=3\nSettings=9600,n,8,1\n\n[Other]\nX=1\n");
    QTest::newRow("new key in an empty section") << QByteArray("[COM]\n[Other]\n") << "COM"
                                                 << "Port"
                                                 << "2" << QByteArray("[COM]\nPort=2\n[Other]\n");
    QTest::newRow("new key, no line break at the end")
        << QByteArray("[COM]\nPort=3") << "COM"
        << "Settings"
        << "9600,n,8,1" << QByteArray("[COM]\nPort=3\nSettings=9600,n,8,1\n");
    QTest::newRow("value replaced, no line break at the end")
        << QByteArray("[COM]\nPort=3") << "COM"
        << "Port"
        << "4" << QByteArray("[COM]\nPort=4");
    QTest::newRow("new section at the end") << QByteArray("[Other]\nX=1\n") << "COM"
                                            << "Port"
                                            << "3" << QByteArray("[Other]\nX=1\n[COM]\nPort=3\n");
    QTest::newRow("new section, no line break at the end")
        << QByteArray("[Other]\r\nX=1") << "COM"
        << "Port"
        << "3" << QByteArray("[Other]\r\nX=1\r\n[COM]\r\nPort=3\r\n");
    QTest::newRow("key without =") << QByteArray("[COM]\nPort \n") << "COM"
                                   << "Port"
                                   << "7" << QByteArray("[COM]\nPort=7\n");
    QTest::newRow("commented-out key left alone") << QByteArray("[COM]\n;Port=9\n") << "COM"
                                                  << "Port"
                                                  << "3" << QByteArray("[COM]\n;Port=9\nPort=3\n");
    QTest::newRow("same key in another section left alone")
        << QByteArray("[A]\nPort=1\n[COM]\nSettings=x\n") << "COM"
        << "Port"
        << "3" << QByteArray("[A]\nPort=1\n[COM]\nSettings=x\nPort=3\n");
    QTest::newRow("empty value") << QByteArray("[COM]\nPort=3\n") << "COM"
                                 << "Port"
                                 << "" << QByteArray("[COM]\nPort=\n");
    QTest::newRow("line break in the value stays on one line")
        << QByteArray("[COM]\nPort=3\n") << "COM"
        << "Port"
        << "4\n[Evil]\r\nX=1" << QByteArray("[COM]\nPort=4 [Evil]  X=1\n");
    QTest::newRow("other code page and mark kept")
        << QByteArray("\xEF\xBB\xBF; \xC4\xA3\xBF\xE9\n[COM]\nPort=3\n") << "COM"
        << "Port"
        << "5" << QByteArray("\xEF\xBB\xBF; \xC4\xA3\xBF\xE9\n[COM]\nPort=5\n");
    QTest::newRow("resolution as typed")
        << QByteArray("[COM]\nPort=3\n") << "COM"
        << "GYRO_Resolution"
        << "16.4" << QByteArray("[COM]\nPort=3\nGYRO_Resolution=16.4\n");
}

void ProfileFileTest::write() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    const QByteArray out = ProfileFile::writeValue(before, section, key, value);
    QCOMPARE(out, after);
    QCOMPARE(ProfileFile::readValue(out, section, key),
             QString(value).replace(u'\n', u' ').replace(u'\r', u' ').trimmed());
}

// Start-up reads a file that may not exist yet; the dialogs' OK creates it. A file that
// cannot be written is not reported and must not break anything.
void ProfileFileTest::fileMissingOrUnwritable() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("OSC.ini"));
    QCOMPARE(Read_ini(QStringLiteral("COM"), QStringLiteral("Port"), path), QString());
    Write_ini(QStringLiteral("COM"), QStringLiteral("Port"), QStringLiteral("3"), path);
    Write_ini(QStringLiteral("COM"), QStringLiteral("Settings"), QStringLiteral("9600,n,7,2"),
              path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("[COM]\nPort=3\nSettings=9600,n,7,2\n"));
    QCOMPARE(Read_ini(QStringLiteral("com"), QStringLiteral("settings"), path),
             QStringLiteral("9600,n,7,2"));

    const QString nowhere = dir.filePath(QStringLiteral("no/such/dir/OSC.ini"));
    Write_ini(QStringLiteral("COM"), QStringLiteral("Port"), QStringLiteral("3"), nowhere);
    QVERIFY(!QFile::exists(nowhere));
    QCOMPARE(Read_ini(QStringLiteral("COM"), QStringLiteral("Port"), dir.path()), QString());
}

QTEST_GUILESS_MAIN(ProfileFileTest)
#include "tst_profile_file.moc"
