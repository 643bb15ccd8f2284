#include "instruments/strip_chart_series.h"

#include <cmath>

namespace {
constexpr qint64 kFanMask = (qint64(1) << StripSeries::kFanBits) - 1;
constexpr float kGap = std::numeric_limits<float>::quiet_NaN();

float toStored(double value) {
    const auto f = float(value);  // a double beyond the float range becomes infinite here
    return std::isfinite(f) ? f : kGap;
}
}  // namespace

StripSeries::~StripSeries() = default;

void StripSeries::append(double value) {
    if (hasExplicitX()) storeX(m_size == 0 ? 0.0 : m_lastX + m_interval);
    store(toStored(value));
}

void StripSeries::append(double x, double value) {
    if (!hasExplicitX()) {
        // The first explicit x: give the implicit points their x once, then keep x for all.
        const qint64 n = m_size;
        m_size = 0;
        for (qint64 i = 0; i < n; ++i, ++m_size) storeX(double(i) * m_interval);
        if (n == 0) m_xChunks.push_back(std::make_unique<XChunk>());
    }
    double at = std::isfinite(x) ? x : m_lastX;
    if (m_size > 0 && at < m_lastX) at = m_lastX;
    storeX(at);
    store(toStored(value));
}

void StripSeries::storeX(double x) {
    const qint64 i = m_size;
    const auto chunk = std::size_t(i >> kChunkBits);
    if (chunk == m_xChunks.size()) m_xChunks.push_back(std::make_unique<XChunk>());
    XChunk& c = *m_xChunks[chunk];
    const qint64 slot = i & (kChunkSize - 1);
    if ((slot & ((1 << kBaseBits) - 1)) == 0) c.base[slot >> kBaseBits] = x;
    c.offset[slot] = float(x - c.base[slot >> kBaseBits]);
    m_lastX = x;
}

void StripSeries::store(float v) {
    const qint64 i = m_size;
    if ((i & (kChunkSize - 1)) == 0) m_chunks.push_back(std::unique_ptr<Chunk>(new Chunk));
    m_chunks.back()->v[i & (kChunkSize - 1)] = v;
    addToLevels(i, v);
    ++m_size;
    if (!hasExplicitX()) m_lastX = double(i) * m_interval;
}

void StripSeries::addToLevels(qint64 index, float v) {
    for (std::size_t k = 0;; ++k) {
        const int shift = kFanBits * int(k + 1);
        if (k == m_levels.size()) {
            if (index < (qint64(1) << shift)) break;
            // The level is needed from now on: summarise what lies below it.
            std::vector<ValueSpan> level(1);
            for (qint64 j = 0; j <= kFanMask; ++j) level[0].add(unit(int(k), j));
            m_levels.push_back(std::move(level));
        }
        std::vector<ValueSpan>& level = m_levels[k];
        const auto block = std::size_t(index >> shift);
        if (block == level.size()) level.emplace_back();
        level[block].add(v);
    }
}

ValueSpan StripSeries::unit(int level, qint64 i) const {
    if (level == 0) {
        ValueSpan s;
        s.add(value(i));
        return s;
    }
    return m_levels[std::size_t(level - 1)][std::size_t(i)];
}

double StripSeries::x(qint64 i) const {
    if (!hasExplicitX()) return double(i) * m_interval;
    const XChunk& c = *m_xChunks[std::size_t(i >> kChunkBits)];
    const qint64 slot = i & (kChunkSize - 1);
    return c.base[slot >> kBaseBits] + double(c.offset[slot]);
}

void StripSeries::setSampleInterval(double interval) {
    if (interval > 0 && std::isfinite(interval)) m_interval = interval;
    if (!hasExplicitX() && m_size > 0) m_lastX = double(m_size - 1) * m_interval;
}

template <typename Before>
qint64 StripSeries::search(Before before) const {
    qint64 lo = 0;
    qint64 hi = m_size;
    while (lo < hi) {
        const qint64 mid = lo + (hi - lo) / 2;
        if (before(x(mid)))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

qint64 StripSeries::lowerBound(double x) const {
    if (m_size == 0 || std::isnan(x)) return m_size;
    if (!hasExplicitX()) {
        if (x <= 0) return 0;
        // The tolerance keeps x = i * interval on point i despite rounding in the division.
        const double i = std::ceil(x / m_interval - 1e-9);
        return i >= double(m_size) ? m_size : qint64(i);
    }
    return search([x](double xi) { return xi < x; });
}

qint64 StripSeries::upperBound(double x) const {
    if (m_size == 0 || std::isnan(x)) return m_size;
    if (!hasExplicitX()) {
        if (x < 0) return 0;
        const double i = std::floor(x / m_interval + 1e-9) + 1;
        return i >= double(m_size) ? m_size : qint64(i);
    }
    return search([x](double xi) { return xi <= x; });
}

ValueSpan StripSeries::span(qint64 from, qint64 to) const {
    ValueSpan s;
    qint64 lo = std::max<qint64>(0, from);
    qint64 hi = std::min(to, m_size);
    if (lo >= hi) return s;
    // Level 0: the raw values at the ragged ends. A run of up to 15 values never crosses a
    // chunk border, because 16 divides the chunk size.
    auto addRaw = [&](qint64 a, qint64 b) {
        const float* v = m_chunks[std::size_t(a >> kChunkBits)]->v + (a & (kChunkSize - 1));
        for (qint64 i = a; i < b; ++i) s.add(*v++);
    };
    if (m_levels.empty()) {
        addRaw(lo, hi);
        return s;
    }
    const qint64 loUp = std::min(hi, (lo + kFanMask) & ~kFanMask);
    addRaw(lo, loUp);
    lo = loUp;
    const qint64 hiDown = std::max(lo, hi & ~kFanMask);
    if (hiDown < hi) addRaw(hiDown, hi);
    hi = hiDown;
    return levelSpan(0, lo >> kFanBits, hi >> kFanBits, s);
}

// Adds the units [lo, hi) of pyramid level `level` (blocks of 16^(level+1) points) to s.
ValueSpan StripSeries::levelSpan(std::size_t level, qint64 lo, qint64 hi, ValueSpan s) const {
    // Peel the ragged ends off each level, then go up with what is left.
    for (; lo < hi && level < m_levels.size(); ++level) {
        const ValueSpan* units = m_levels[level].data();
        if (level + 1 == m_levels.size()) {
            for (qint64 i = lo; i < hi; ++i) s.add(units[i]);
            break;
        }
        while (lo < hi && (lo & kFanMask) != 0) s.add(units[lo++]);
        while (lo < hi && (hi & kFanMask) != 0) s.add(units[--hi]);
        lo >>= kFanBits;
        hi >>= kFanBits;
    }
    return s;
}

ValueSpan StripSeries::coarseSpan(qint64 from, qint64 to, int level) const {
    if (level <= 0 || std::size_t(level) > m_levels.size()) return span(from, to);
    const int shift = kFanBits * level;
    const qint64 half = (qint64(1) << shift) / 2;
    const qint64 lo = (std::max<qint64>(0, from) + half) >> shift;
    // The partial block at the end of the history is complete for the points it holds.
    const qint64 hi = std::min(to, m_size) >= m_size
                          ? qint64(m_levels[std::size_t(level - 1)].size())
                          : (std::min(to, m_size) + half) >> shift;
    return levelSpan(std::size_t(level - 1), lo, hi, ValueSpan{});
}

int StripSeries::levelForRange(qint64 points) {
    int level = 0;
    while ((points >> (kFanBits * (level + 1))) >= 8) ++level;
    return level;
}

void StripSeries::clear() {
    m_chunks.clear();
    m_chunks.shrink_to_fit();
    m_xChunks.clear();
    m_xChunks.shrink_to_fit();
    m_levels.clear();
    m_levels.shrink_to_fit();
    m_size = 0;
    m_lastX = 0;
}

std::size_t StripSeries::memoryBytes() const {
    std::size_t bytes = sizeof(*this);
    bytes += m_chunks.capacity() * sizeof(m_chunks[0]) + m_chunks.size() * sizeof(Chunk);
    bytes += m_xChunks.capacity() * sizeof(m_xChunks[0]) + m_xChunks.size() * sizeof(XChunk);
    bytes += m_levels.capacity() * sizeof(m_levels[0]);
    for (const auto& level : m_levels) bytes += level.capacity() * sizeof(ValueSpan);
    return bytes;
}
