#include "shell/message_log.h"

#include <QPlainTextEdit>

#include "shell/activity_lamp.h"

MessageLog::MessageLog(QPlainTextEdit* Text_msg, ActivityLamp* Msg_Led, QObject* parent)
    : QObject(parent), m_textMsg(Text_msg), m_msgLed(Msg_Led) {
    if (m_textMsg) {
        // Only Show_msg writes the log; typing into it would make the box differ from the
        // log. The undo stack would keep a copy of every line for the life of the program.
        m_textMsg->setReadOnly(true);
        m_textMsg->setUndoRedoEnabled(false);
        m_textMsg->setPlainText(m_text);
    }
}

void MessageLog::Show_msg(const QString& text) {
    // 16-bit like the counter users know from the log; wrapping keeps logging going.
    m_counter = m_counter == 32767 ? 0 : qint16(m_counter + 1);

    QString line;
    if (m_text.isEmpty())
        line = QString::number(m_counter) + QStringLiteral(":  ") + text;
    else
        line = QStringLiteral(">  ") + text;
    if (!m_text.isEmpty()) m_text += QStringLiteral("\r\n");
    m_text += line;

    if (m_textMsg) {
        // appendPlainText adds one block at the end (into the empty first block of an empty
        // box): its cost does not grow with the length of the log.
        m_textMsg->appendPlainText(line);
        m_textMsg->moveCursor(QTextCursor::End);
        m_textMsg->ensureCursorVisible();
    }
    if (m_msgLed) m_msgLed->light();
}

void MessageLog::clear() {
    m_text = QLatin1String(ClearedText);
    if (m_textMsg) {
        m_textMsg->setPlainText(m_text);
        m_textMsg->moveCursor(QTextCursor::End);
    }
}

void MessageLog::reset() {
    m_text.clear();
    m_counter = 0;
    if (m_textMsg) m_textMsg->clear();
}
