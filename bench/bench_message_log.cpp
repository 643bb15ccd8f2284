// Cost of one Show_msg as the log grows: 10 lines against 100,000 lines already in the box.
// The log only appends to its text box, so both should cost the same; the rewrite variant
// shows what setting the whole text on every message (the old way) would cost.
//   build/bin/bench_message_log
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <QApplication>
#include <QPlainTextEdit>

#include "shell/message_log.h"

namespace {

const QString Line = QStringLiteral("校验失败,数据包中存在误码字节,请检查连接线或更换转接器.");

struct Window {
    QPlainTextEdit Text_msg;
    MessageLog log{&Text_msg};
    explicit Window(qint64 lines) {
        Text_msg.resize(1017, 90);  // the main window's message panel
        Text_msg.show();
        for (qint64 i = 0; i < lines; ++i) log.Show_msg(Line);
        QCoreApplication::processEvents();
    }
};

void BM_ShowMsg(benchmark::State& state) {
    Window w(state.range(0));
    for (auto _ : state) w.log.Show_msg(Line);
    state.counters["lines"] = double(w.Text_msg.blockCount());
}

// With the event loop run after each line, so layout and painting are counted too.
void BM_ShowMsgAndPaint(benchmark::State& state) {
    Window w(state.range(0));
    for (auto _ : state) {
        w.log.Show_msg(Line);
        QCoreApplication::processEvents();
    }
}

// Setting the whole log text on every message, for comparison.
void BM_RewriteWholeText(benchmark::State& state) {
    Window w(state.range(0));
    QString text = w.log.text();
    for (auto _ : state) {
        text += QStringLiteral("\r\n>  ") + Line;
        w.Text_msg.setPlainText(text);
        w.Text_msg.moveCursor(QTextCursor::End);
        QCoreApplication::processEvents();
    }
}

}  // namespace

BENCHMARK(BM_ShowMsg)->Arg(10)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShowMsgAndPaint)->Arg(10)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RewriteWholeText)->Arg(10)->Arg(100000)->Iterations(5)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return BenchSupport::runWithWidgets(argc, argv); }
