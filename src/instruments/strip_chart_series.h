#pragma once
// The history of one strip-chart channel, kept for the whole session. Values are floats in
// fixed-size chunks (no reallocation of the history as it grows, no copy spikes); x is
// implicit (sample index times the sample interval) unless the channel is given explicit x
// values, which are then kept as a double base per 16 points plus a float offset per point
// (arrival times of the day to well under a microsecond, at 4.5 bytes per point).
//
// A min/max pyramid over the values (blocks of 16, 256, 4096, ... points) answers "lowest
// and highest value of points [from, to)" in O(16 * levels), so drawing a column of the
// chart costs the same for ten points as for ten million. At 24 hours of 25 samples per
// second (2.16 million points) a channel takes about 9.8 MB.
#include <QtGlobal>
#include <cstddef>
#include <limits>
#include <memory>
#include <vector>

// Lowest and highest value of a set of points; empty when the set holds no plottable value.
struct ValueSpan {
    float min = std::numeric_limits<float>::infinity();
    float max = -std::numeric_limits<float>::infinity();

    bool empty() const { return !(min <= max); }
    // Comparisons with NaN are false, so gaps never enter a span. Written as selects, these
    // become single min/max instructions: noisy data makes a branch here a coin toss.
    void add(float v) {
        min = v < min ? v : min;
        max = v > max ? v : max;
    }
    void add(const ValueSpan& s) {
        min = s.min < min ? s.min : min;
        max = s.max > max ? s.max : max;
    }
};

class StripSeries {
public:
    static constexpr int kChunkBits = 12;
    static constexpr qint64 kChunkSize = qint64(1) << kChunkBits;
    static constexpr int kFanBits = 4;  // each pyramid level summarises 16 of the level below

    StripSeries() = default;
    StripSeries(StripSeries&&) noexcept = default;
    StripSeries& operator=(StripSeries&&) noexcept = default;
    ~StripSeries();

    // Appends at x = the previous point's x plus the sample interval (the first point at 0).
    // Infinite or NaN values are kept as gaps: they take their place in the history but are
    // never drawn and never widen the value axis.
    void append(double value);
    // Appends at an explicit x. x never runs backwards: an x below the previous one (the
    // clock was set back) is taken as the previous one.
    void append(double x, double value);

    qint64 size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    // The value as stored (NaN for a gap).
    float value(qint64 i) const { return m_chunks[i >> kChunkBits]->v[i & (kChunkSize - 1)]; }
    double x(qint64 i) const;
    bool hasExplicitX() const { return !m_xChunks.empty(); }

    double sampleInterval() const { return m_interval; }
    // Scales the x of every implicit point; must be > 0.
    void setSampleInterval(double interval);

    // The first index whose x is at or above `x` (size() when there is none).
    [[nodiscard]] qint64 lowerBound(double x) const;
    // The first index whose x is above `x` (size() when there is none).
    [[nodiscard]] qint64 upperBound(double x) const;
    // Lowest and highest value of points [from, to), clamped to the history.
    [[nodiscard]] ValueSpan span(qint64 from, qint64 to) const;
    // The same with both ends rounded to the nearest multiple of 16^level points, so the
    // answer comes from the pyramid alone, at a cost that does not grow with the range.
    // Drawing uses it where a column holds at least 8 such blocks: the ends then move by
    // less than a sixteenth of a column.
    [[nodiscard]] ValueSpan coarseSpan(qint64 from, qint64 to, int level) const;
    // The coarsest level at which a range of `points` points still spans 8 blocks.
    [[nodiscard]] static int levelForRange(qint64 points);

    void clear();
    // Bytes held for the history, summaries and bookkeeping.
    std::size_t memoryBytes() const;

private:
    struct Chunk {
        float v[kChunkSize];
    };
    static constexpr int kBaseBits = 4;  // one x base per 16 points
    struct XChunk {
        double base[kChunkSize >> kBaseBits];
        float offset[kChunkSize];
    };

    template <typename Before>
    qint64 search(Before before) const;
    void store(float v);
    void storeX(double x);
    void addToLevels(qint64 index, float v);
    ValueSpan unit(int level, qint64 i) const;
    ValueSpan levelSpan(std::size_t level, qint64 lo, qint64 hi, ValueSpan s) const;

    std::vector<std::unique_ptr<Chunk>> m_chunks;
    std::vector<std::unique_ptr<XChunk>> m_xChunks;  // empty while x is implicit
    // m_levels[k] summarises blocks of 16^(k+1) points; level k+1 appears once the history
    // holds 16^(k+1) points, so the top level never has more than 16 blocks to scan.
    std::vector<std::vector<ValueSpan>> m_levels;
    qint64 m_size = 0;
    double m_interval = 1;
    double m_lastX = 0;
};
