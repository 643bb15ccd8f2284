// ModuleFrameReceiver on any byte stream, in the chunking, reset and exception pattern the
// first input byte chooses (chunk_plan.h; its extra bit sets or clears the upgrade hook for a
// chunk). Every event, RxFrame and hooked bytes included, must match the rules written out
// literally (literal_receivers.h); every good ReportIMU / ReportMotion frame goes through its
// decoder.
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "chunk_plan.h"
#include "literal_receivers.h"
#include "protocol/module_frame_receiver.h"
#include "telemetry/telemetry_decoder.h"
#include "telemetry_sink_stub.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ChunkPlan plan(data, size);
    ModuleFrameReceiver rx;
    LiteralModuleFrameReceiver literal;
    ReceiverEvents events;
    TelemetryState state;
    SinkStub sink;
    bool throws = false;
    const auto maybeThrow = [&] {
        if (throws) throw std::runtime_error("callback failed");
    };
    const auto hook = [&](quint8 b) {
        events.push_back({'B', {}, b});
        maybeThrow();
    };
    rx.onGoodFrame = [&] {
        const QByteArray& f = rx.RxFrame();
        events.push_back({'G', f});
        if (f.size() >= 2 && quint8(f[1]) == 0xA1) Decode_IMU(f, state, &sink);
        if (f.size() >= 2 && quint8(f[1]) == 0xA2) Decode_Motion(f, state, nullptr);
        maybeThrow();
    };
    rx.onChecksumError = [&] {
        events.push_back({'C', {}});
        maybeThrow();
    };
    rx.onOverlong = [&] {
        events.push_back({'O', {}});
        maybeThrow();
    };

    ChunkPlan::Step step;
    while (plan.next(step)) {
        if (step.reset) {
            rx.Reset();
            literal.Reset();
        }
        rx.onByte = step.extra ? std::function<void(quint8)>(hook) : nullptr;
        literal.hook = step.extra;
        const size_t before = events.size();
        throws = step.throws;
        bool threw = false;
        try {
            rx.Feed(step.chunk);
        } catch (const std::runtime_error&) {
            threw = true;
        }
        for (char b : step.chunk) literal.Byte(quint8(b));
        if (threw != (step.throws && events.size() > before)) {
            std::fprintf(stderr, "exception pattern differs\n");
            std::abort();
        }
    }
    if (events != literal.events) {
        std::fprintf(stderr, "events differ: %zu real, %zu literal\n", events.size(),
                     literal.events.size());
        for (size_t i = 0; i < events.size() && i < literal.events.size(); ++i) {
            if (events[i] == literal.events[i]) continue;
            std::fprintf(stderr, "first difference at %zu: %c %s / %c %s\n", i, events[i].kind,
                         events[i].bytes.toHex(' ').constData(), literal.events[i].kind,
                         literal.events[i].bytes.toHex(' ').constData());
            break;
        }
        std::abort();
    }
    return 0;
}
