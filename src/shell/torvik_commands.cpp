#include "shell/torvik_commands.h"

#include "platform/serial_port.h"
#include "protocol/frame.h"
#include "shell/activity_lamp.h"
#include "shell/message_log.h"

// The log lines are fixed texts, as the users know them, not generated from the bytes.
void TorvikCommands::Send_gyro() {
    send(0xE0, "陀螺标零偏 命令已经发送！", "命令格式(HEX): A5 5A 04 E0 E4 AA");
}
void TorvikCommands::Send_hmc() {
    send(0xE1, "保存磁力标定数据 命令已经发送！", "命令格式(HEX): A5 5A 04 E1 E5 AA");
}
void TorvikCommands::Send_high() {
    send(0xE2, "气压高度标零 命令已经发送！", "命令格式(HEX): A5 5A 04 E2 E6 AA");
}
void TorvikCommands::Send_hmc_begin() {
    send(0xE3, "开始磁标定 命令已经发送！", "命令格式(HEX): A5 5A 04 E3 E7 AA");
}

void TorvikCommands::send(quint8 code, const char* sentLine, const char* hexLine) {
    if (!m_port.isOpen()) return;
    // A failed write stops nothing: the two lines and the TXD lamp follow all the same. So
    // that "sent" is not the last word on a command that never left, a third line says so.
    const QByteArray frame = CommandFrame(code);
    const bool written = m_port.write(frame) == frame.size();
    m_log.Show_msg(QString::fromUtf8(sentLine));
    m_log.Show_msg(QString::fromUtf8(hexLine));
    if (!written) m_log.Show_msg(QString::fromUtf8(WriteFailedLine));
    m_txd.light();
}
