// Layout and drawing of the strip chart.
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "instruments/axis_ticks.h"
#include "instruments/strip_chart.h"

namespace {
constexpr int kEdge = 4;          // free border around everything
constexpr int kSwatch = 10;       // legend colour square
constexpr int kLegendGap = 14;    // between legend entries
constexpr int kValueRowPixels = 28;
constexpr int kTimeLabelPixels = 90;
constexpr double kAutoPadding = 0.05;  // share of the data span kept free above and below

QString timeLabel(StripChart::TimeLabels mode, double x, int decimals) {
    return mode == StripChart::TimeLabels::Clock ? clockText(x, decimals) : tickText(x, decimals);
}

int valueRows(int plotHeight) { return std::max(2, plotHeight / kValueRowPixels); }

double clampedY(double y, const QRect& plot) {
    // Values far outside a hand-set range must not reach the rasteriser as huge coordinates.
    return std::clamp(y, double(plot.top() - 4), double(plot.bottom() + 5));
}
}  // namespace

QColor StripChart::textColor() const {
    return qGray(m_background.rgb()) < 140 ? QColor(235, 235, 235) : QColor(20, 20, 20);
}

QColor StripChart::gridColor() const {
    return qGray(m_background.rgb()) < 140 ? m_background.lighter(135) : m_background.darker(115);
}

int StripChart::legendHeight(int width) const {
    if (!m_legendVisible || m_channels.empty()) return 0;
    const QFontMetrics fm = fontMetrics();
    int rows = 1;
    int x = kEdge;
    for (const Channel& c : m_channels) {
        const int w = kSwatch + 4 + fm.horizontalAdvance(c.title);
        if (x > kEdge && x + w > width - kEdge) {
            ++rows;
            x = kEdge;
        }
        x += w + kLegendGap;
    }
    return rows * (fm.height() + 2);
}

AxisRange StripChart::scaledValueRange(const AxisRange& time, int plotHeight) const {
    if (!m_view.isAutoScaling()) return m_view.valueRange();
    ValueSpan data;
    for (const Channel& c : m_channels) {
        if (!c.visible || c.series.isEmpty()) continue;
        data.add(c.series.span(c.series.lowerBound(time.from), c.series.upperBound(time.to)));
    }
    if (data.empty()) return m_view.valueRange();
    double lo = data.min;
    double hi = data.max;
    const double spread = hi - lo;
    // A flat line sits in the middle of a span around it.
    const double pad =
        spread > 1e-9 * std::max(1.0, std::abs(lo)) ? spread * kAutoPadding
                                                     : std::max(1.0, std::abs(lo) * 0.1);
    lo -= pad;
    hi += pad;
    // Whole ticks at both ends: the axis moves in tick steps instead of jittering with
    // every new sample.
    const AxisTicks ticks = niceTicks(lo, hi, valueRows(plotHeight));
    return {std::floor(lo / ticks.step + 1e-9) * ticks.step,
            std::ceil(hi / ticks.step - 1e-9) * ticks.step};
}

StripChart::Frame StripChart::frame() const {
    Frame f;
    const QFontMetrics fm = fontMetrics();
    int top = kEdge;
    if (m_titleVisible && !m_title.isEmpty()) {
        f.title = QRect(0, top, width(), fm.height());
        top += fm.height() + 2;
    }
    const int legend = legendHeight(width());
    if (legend > 0) {
        f.legend = QRect(kEdge, top, width() - 2 * kEdge, legend);
        top += legend + 2;
    }
    const int bottom = height() - kEdge - fm.height() - 4;
    const int plotHeight = std::max(1, bottom - top);

    f.time = dataTimeRange();
    f.value = scaledValueRange(f.time, plotHeight);

    const AxisTicks ticks = niceTicks(f.value.from, f.value.to, valueRows(plotHeight));
    int labelWidth = 0;
    for (int i = 0; i < ticks.count; ++i)
        labelWidth = std::max(labelWidth,
                              fm.horizontalAdvance(tickText(ticks.at(i), ticks.decimals)));
    const int left = kEdge + labelWidth + 6;
    // Room on the right for half of the newest time label.
    const int right = width() - kEdge - fm.horizontalAdvance(QStringLiteral("00:00:00")) / 2;
    f.plot = QRect(left, top, std::max(1, right - left), plotHeight);
    return f;
}

void StripChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), m_background);
    const Frame f = frame();
    drawGrid(p, f);
    p.save();
    p.setClipRect(f.plot.adjusted(0, 0, 1, 1));
    for (const Channel& c : m_channels)
        if (c.visible) drawChannel(p, f, c);
    p.restore();
    drawLegend(p, f);
    if (!f.title.isEmpty()) {
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(textColor());
        p.drawText(f.title, Qt::AlignCenter, m_title);
    }
}

void StripChart::drawGrid(QPainter& p, const Frame& f) const {
    const QFontMetrics fm = fontMetrics();
    const QColor grid = gridColor();
    const QColor text = textColor();
    const QRect& plot = f.plot;

    const AxisTicks vt = niceTicks(f.value.from, f.value.to, valueRows(plot.height()));
    for (int i = 0; i < vt.count; ++i) {
        const double v = vt.at(i);
        const int y = int(std::lround(plot.top() + (f.value.to - v) / f.value.length() * plot.height()));
        p.setPen(grid);
        p.drawLine(plot.left() + 1, y, plot.right(), y);
        p.setPen(text);
        p.drawText(QRect(kEdge, y - fm.height() / 2, plot.left() - kEdge - 5, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, tickText(v, vt.decimals));
    }

    const int columns = std::max(2, plot.width() / kTimeLabelPixels);
    const AxisTicks tt = m_timeLabels == TimeLabels::Clock
                             ? clockTicks(f.time.from, f.time.to, columns)
                             : niceTicks(f.time.from, f.time.to, columns);
    for (int i = 0; i < tt.count; ++i) {
        const double x = tt.at(i);
        const int px = int(std::lround(plot.left() + (x - f.time.from) / f.time.length() * plot.width()));
        p.setPen(grid);
        p.drawLine(px, plot.top() + 1, px, plot.bottom());
        p.drawLine(px, plot.bottom() + 1, px, plot.bottom() + 3);
        const QString label = timeLabel(m_timeLabels, x, tt.decimals);
        const int w = fm.horizontalAdvance(label);
        // Labels that would be cut by the widget's edge are left out, not squeezed.
        if (px - w / 2 < 0 || px + w - w / 2 > width()) continue;
        p.setPen(text);
        p.drawText(QRect(px - w / 2, plot.bottom() + 4, w, fm.height()), Qt::AlignCenter, label);
    }

    p.setPen(m_background.lighter(170));
    p.drawRect(plot);
}

void StripChart::drawChannel(QPainter& p, const Frame& f, const Channel& c) {
    const StripSeries& s = c.series;
    if (s.isEmpty()) return;
    const QRect& plot = f.plot;
    const double x0 = f.time.from;
    const double xScale = plot.width() / f.time.length();
    const double yScale = plot.height() / f.value.length();
    auto yOf = [&](double v) { return clampedY(plot.top() + (f.value.to - v) * yScale, plot); };

    const qint64 first = s.lowerBound(x0);
    const qint64 end = s.upperBound(f.time.to);
    const int columns = plot.width();

    if (end - first <= columns) {
        // Sparse: the points themselves, joined, one point beyond each edge so the line runs
        // off the plot instead of stopping short of it.
        const qint64 from = std::max<qint64>(0, first - 1);
        const qint64 to = std::min(s.size(), end + 1);
        QPolygonF line;
        line.reserve(int(to - from));
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(c.color, 1.3));
        auto flush = [&] {
            if (line.size() == 1) p.drawPoint(line.front());
            if (line.size() > 1) p.drawPolyline(line);
            line.clear();
        };
        for (qint64 i = from; i < to; ++i) {
            const float v = s.value(i);
            if (std::isnan(v)) {
                flush();
                continue;
            }
            line << QPointF(plot.left() + (s.x(i) - x0) * xScale, yOf(v));
        }
        flush();
        p.setRenderHint(QPainter::Antialiasing, false);
        return;
    }

    // Dense: per pixel column, a vertical stroke over the column's lowest to highest value,
    // stretched to the previous column's last value so the trace stays connected.
    std::vector<QLineF> strokes;
    strokes.reserve(std::size_t(columns));
    const double xStep = f.time.length() / columns;
    qint64 a = first;
    double previousLast = std::nan("");
    for (int col = 0; col < columns; ++col) {
        const qint64 b = col + 1 == columns ? end : s.lowerBound(x0 + (col + 1) * xStep);
        if (b <= a) continue;
        const ValueSpan span = s.span(a, b);
        const float lastValue = s.value(b - 1);
        a = b;
        if (span.empty()) {
            previousLast = std::nan("");
            continue;
        }
        double top = yOf(span.max);
        double bottom = yOf(span.min);
        if (!std::isnan(previousLast)) {
            top = std::min(top, previousLast);
            bottom = std::max(bottom, previousLast);
        }
        previousLast = std::isnan(lastValue) ? std::nan("") : yOf(lastValue);
        const double px = plot.left() + col + 0.5;
        strokes.emplace_back(px, top, px, bottom + 0.01);
    }
    p.setPen(QPen(c.color, 1));
    p.drawLines(strokes.data(), int(strokes.size()));
}

void StripChart::drawLegend(QPainter& p, const Frame& f) const {
    if (f.legend.isEmpty()) return;
    const QFontMetrics fm = fontMetrics();
    const QColor text = textColor();
    const QColor dim = m_background.lighter(180);
    int x = f.legend.left();
    int y = f.legend.top();
    for (const Channel& c : m_channels) {
        const int w = kSwatch + 4 + fm.horizontalAdvance(c.title);
        if (x > f.legend.left() && x + w > f.legend.right()) {
            x = f.legend.left();
            y += fm.height() + 2;
        }
        const QRect swatch(x, y + (fm.height() - kSwatch) / 2, kSwatch, kSwatch);
        // A hidden channel keeps its entry, hollow and dimmed.
        if (c.visible) {
            p.fillRect(swatch, c.color);
        } else {
            p.setPen(c.color);
            p.drawRect(swatch.adjusted(0, 0, -1, -1));
        }
        p.setPen(c.visible ? text : dim);
        p.drawText(QRect(x + kSwatch + 4, y, w, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   c.title);
        x += w + kLegendGap;
    }
}
