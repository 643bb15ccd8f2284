#pragma once
// The main window's message log, the program's only log: one line per Show_msg in the text
// box Text_msg. In an empty log a line is the message counter, ":  " and the text; after that
// every line is a CR LF, ">  " and the text. The log is never trimmed.
//
// The text is kept here, CR LF and all, and the text box only gets the new line appended:
// rewriting the whole text on every message would make logging slower the longer the program
// runs. The text box shows the same lines (a QPlainTextEdit holds lines, not CR LF).
#include <QObject>
#include <QString>

class ActivityLamp;
class QPlainTextEdit;

class MessageLog : public QObject {
    Q_OBJECT
public:
    // Text_msg may be nullptr (the log is then only kept); Msg_Led is the message lamp, or
    // nullptr for a window without one (Vantor).
    explicit MessageLog(QPlainTextEdit* Text_msg, ActivityLamp* Msg_Led = nullptr,
                        QObject* parent = nullptr);

    // Append one line, put the caret at the end so the newest line is in view, light the
    // message lamp.
    void Show_msg(const QString& text);
    // The "Clear" button: the log becomes "Clear....". The counter goes on, and because the
    // log is not empty no counter is shown again until start-up empties it.
    void clear();
    // Start-up: empty log, counter 0.
    void reset();

    const QString& text() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }
    // Counts every Show_msg; after 32767 it starts again at 0.
    qint16 counter() const { return m_counter; }

    static constexpr const char* ClearedText = "Clear....";

private:
    QPlainTextEdit* m_textMsg;
    ActivityLamp* m_msgLed;
    QString m_text;
    qint16 m_counter = 0;
};
