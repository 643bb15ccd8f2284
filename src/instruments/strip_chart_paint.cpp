// Layout and drawing of the strip chart.
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <cmath>

#include "instruments/axis_ticks.h"
#include "instruments/strip_chart.h"

namespace {
constexpr int kEdge = 4;        // free border around everything
constexpr int kSwatch = 10;     // legend colour square
constexpr int kLegendGap = 14;  // between legend entries
constexpr int kValueRowPixels = 28;
constexpr int kTimeLabelPixels = 75;   // "14:00:15" plus room between labels
constexpr double kAutoPadding = 0.05;  // share of the data span kept free above and below

QString timeLabel(StripChart::TimeLabels mode, double x, int decimals) {
    return mode == StripChart::TimeLabels::Clock ? clockText(x, decimals) : tickText(x, decimals);
}

int timeLabelGap(const QFontMetrics& fm) {
    return fm.height() / 2 + 1;
}

int valueRows(int plotHeight) {
    return std::max(2, plotHeight / kValueRowPixels);
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

std::pair<AxisRange, double> StripChart::scaledValueRange(const AxisRange& time,
                                                          int plotHeight) const {
    const int rows = valueRows(plotHeight);
    auto manual = [&] {
        const AxisRange r = m_view.valueRange();
        return std::pair{r, niceTicks(r.from, r.to, rows).step};
    };
    if (!m_view.isAutoScaling()) return manual();
    ValueSpan data;
    for (const Channel& c : m_channels) {
        if (!c.visible || c.series.isEmpty()) continue;
        data.add(c.series.span(c.series.lowerBound(time.from), c.series.upperBound(time.to)));
    }
    if (data.empty()) return manual();
    double lo = data.min;
    double hi = data.max;
    const double spread = hi - lo;
    // A flat line sits in the middle of a span around it.
    const double pad = spread > 1e-9 * std::max(1.0, std::abs(lo))
                           ? spread * kAutoPadding
                           : std::max(1.0, std::abs(lo) * 0.1);
    lo -= pad;
    hi += pad;
    // Whole ticks at both ends: the axis moves in tick steps instead of jittering with
    // every new sample, and both edges carry a label.
    const double step = niceTicks(lo, hi, rows).step;
    return {{std::floor(lo / step + 1e-9) * step, std::ceil(hi / step - 1e-9) * step}, step};
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
        top += legend;
    }
    // Room for the upper half of the top value label, which sits on the plot's edge.
    top += fm.height() / 2;
    // Time labels sit below the lower half of the bottom value label.
    const int bottom = height() - kEdge - fm.height() - timeLabelGap(fm);
    const int plotHeight = std::max(1, bottom - top);

    f.time = dataTimeRange();
    const auto [value, step] = scaledValueRange(f.time, plotHeight);
    f.value = value;
    f.valueTicks = ticksWithStep(value.from, value.to, step);

    // A floor under the label width keeps the plot from shifting sideways each time the
    // automatic scale changes between, say, "50" and "-100".
    int labelWidth = fm.horizontalAdvance(QStringLiteral("-000"));
    for (int i = 0; i < f.valueTicks.count; ++i)
        labelWidth = std::max(
            labelWidth, fm.horizontalAdvance(tickText(f.valueTicks.at(i), f.valueTicks.decimals)));
    const int left = kEdge + labelWidth + 6;
    // Room on the right for half of the newest time label.
    const int right = width() - kEdge - fm.horizontalAdvance(QStringLiteral("00:00:00")) / 2;
    f.plot = QRect(left, top, std::max(1, right - left), plotHeight);

    const int columns = std::max(2, f.plot.width() / kTimeLabelPixels);
    f.timeTicks = m_timeLabels == TimeLabels::Clock ? clockTicks(f.time.from, f.time.to, columns)
                                                    : niceTicks(f.time.from, f.time.to, columns);
    return f;
}

namespace {
int tickX(const AxisRange& time, const QRect& plot, double x) {
    return int(std::lround((x - time.from) / time.length() * plot.width()));
}
}  // namespace

void StripChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const Frame f = frame();
    renderPlot(f);
    // The plot image covers its own rectangle; only the margins around it need the fill.
    p.setClipRegion(QRegion(rect()).subtracted(QRegion(f.plot)));
    p.fillRect(rect(), m_background);
    p.setClipping(false);
    p.drawImage(f.plot.topLeft(), m_plotImage);
    drawAxes(p, f);
    drawLegend(p, f);
    if (m_readingChanged) {
        m_readingChanged = false;
        notifyReadingChanged(this, false);
    }
    if (!f.title.isEmpty()) {
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(textColor());
        p.drawText(f.title, Qt::AlignCenter, m_title);
    }
}

void StripChart::renderPlot(const Frame& f) {
    // Device pixels: on a scaled screen the strokes stay one device pixel wide and sharp.
    const qreal dpr = devicePixelRatioF();
    const QSize size = (QSizeF(f.plot.size()) * dpr).toSize();
    if (m_plotImage.size() != size) m_plotImage = QImage(size, QImage::Format_RGB32);
    m_plotImage.setDevicePixelRatio(dpr);
    m_plotImage.fill(m_background);

    // Grid, in image coordinates.
    const QRgb grid = gridColor().rgb();
    const int w = m_plotImage.width();
    const int h = m_plotImage.height();
    // bits() once: scanLine() on a non-const image checks for sharing on every call.
    QRgb* pixels = reinterpret_cast<QRgb*>(m_plotImage.bits());
    const qsizetype stride = m_plotImage.bytesPerLine() / qsizetype(sizeof(QRgb));
    for (int i = 0; i < f.valueTicks.count; ++i) {
        const int y = int(std::lround((f.value.to - f.valueTicks.at(i)) / f.value.length() * h));
        if (y >= 0 && y < h) std::fill(pixels + y * stride, pixels + y * stride + w, grid);
    }
    for (int i = 0; i < f.timeTicks.count; ++i) {
        const int x = int(std::lround((f.timeTicks.at(i) - f.time.from) / f.time.length() * w));
        if (x < 0 || x >= w) continue;
        for (int y = 0; y < h; ++y) pixels[y * stride + x] = grid;
    }

    // Every channel is drawn straight into the image: dense ones as per-column strokes,
    // sparse ones as one-pixel lines between their points. Through QPainter the twelve
    // polylines were a fifth of the program's time at 25 redraws a second.
    for (const Channel& c : m_channels) {
        if (!c.visible || c.series.isEmpty()) continue;
        const qint64 first = c.series.lowerBound(f.time.from);
        const qint64 end = c.series.upperBound(f.time.to);
        if (end - first > w)
            drawDense(f, c, first, end);
        else
            drawSparse(f, c, first, end);
    }
}

void StripChart::drawSparse(const Frame& f, const Channel& c, qint64 first, qint64 end) {
    const StripSeries& s = c.series;
    const int w = m_plotImage.width();
    const int h = m_plotImage.height();
    const double xScale = w / f.time.length();
    const double yScale = h / f.value.length();
    const QRgb color = c.color.rgb();
    QRgb* pixels = reinterpret_cast<QRgb*>(m_plotImage.bits());
    const qsizetype stride = m_plotImage.bytesPerLine() / qsizetype(sizeof(QRgb));
    auto plot = [&](int x, int y) {
        if (x >= 0 && x < w && y >= 0 && y < h) pixels[y * stride + x] = color;
    };
    // Bresenham between neighbouring points. Rows are clamped to just outside the plot, so a
    // value off the scale still draws its way to the edge.
    auto line = [&](int x0, int y0, int x1, int y1) {
        const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
        const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            plot(x0, y0);
            if (x0 == x1 && y0 == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) err += dy, x0 += sx;
            if (e2 <= dx) err += dx, y0 += sy;
        }
    };
    // One point beyond each edge, so the line runs off the plot instead of stopping short.
    const qint64 from = std::max<qint64>(0, first - 1);
    const qint64 to = std::min(s.size(), end + 1);
    bool havePrevious = false;
    int px = 0, py = 0;
    for (qint64 i = from; i < to; ++i) {
        const float v = s.value(i);
        if (std::isnan(v)) {
            havePrevious = false;  // a gap: the line stops and starts again after it
            continue;
        }
        const double xd = std::clamp((s.x(i) - f.time.from) * xScale, -2.0 * w, 3.0 * w);
        const int x = int(std::floor(xd));
        const int y = int(std::floor(std::clamp((f.value.to - v) * yScale, -1.0, double(h))));
        if (havePrevious)
            line(px, py, x, y);
        else
            plot(x, y);
        px = x;
        py = y;
        havePrevious = true;
    }
}

void StripChart::drawDense(const Frame& f, const Channel& c, qint64 first, qint64 end) {
    // Per pixel column, a vertical stroke over the column's lowest to highest value. Where
    // two neighbouring strokes do not overlap, the new one is stretched to meet the old, so
    // the trace stays connected without looking at single points.
    const StripSeries& s = c.series;
    const int w = m_plotImage.width();
    const int h = m_plotImage.height();
    const double yScale = h / f.value.length();
    auto rowOf = [&](float v) {
        return int(std::floor(std::clamp((f.value.to - v) * yScale, -1.0, double(h))));
    };
    const int level = StripSeries::levelForRange((end - first) / w);
    const double xStep = f.time.length() / w;
    const QRgb color = c.color.rgb();
    QRgb* pixels = reinterpret_cast<QRgb*>(m_plotImage.bits());
    const qsizetype stride = m_plotImage.bytesPerLine() / qsizetype(sizeof(QRgb));
    qint64 a = first;
    int previousTop = 0;
    int previousBottom = 0;
    bool connected = false;
    for (int col = 0; col < w; ++col) {
        const qint64 b = col + 1 == w ? end : s.lowerBound(f.time.from + (col + 1) * xStep);
        if (b <= a) continue;
        const ValueSpan span = s.coarseSpan(a, b, level);
        a = b;
        if (span.empty()) {
            connected = false;
            continue;
        }
        int top = rowOf(span.max);
        int bottom = rowOf(span.min);
        if (connected) {
            if (top > previousBottom) top = previousBottom;
            if (bottom < previousTop) bottom = previousTop;
        }
        previousTop = top;
        previousBottom = bottom;
        connected = true;
        top = std::max(top, 0);
        bottom = std::min(bottom, h - 1);
        for (QRgb* px = pixels + top * stride + col; top <= bottom; ++top, px += stride)
            *px = color;
    }
}

void StripChart::drawAxes(QPainter& p, const Frame& f) const {
    const QFontMetrics fm = fontMetrics();
    const QColor text = textColor();
    const QRect& plot = f.plot;

    p.setPen(text);
    for (int i = 0; i < f.valueTicks.count; ++i) {
        const double v = f.valueTicks.at(i);
        const int y =
            plot.top() + int(std::lround((f.value.to - v) / f.value.length() * plot.height()));
        p.drawText(QRect(kEdge, y - fm.height() / 2, plot.left() - kEdge - 5, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, tickText(v, f.valueTicks.decimals));
    }

    const QColor grid = gridColor();
    for (int i = 0; i < f.timeTicks.count; ++i) {
        const double x = f.timeTicks.at(i);
        const int px = plot.left() + tickX(f.time, plot, x);
        p.setPen(grid);
        p.drawLine(px, plot.bottom() + 1, px, plot.bottom() + 3);
        const QString label = timeLabel(m_timeLabels, x, f.timeTicks.decimals);
        const int w = fm.horizontalAdvance(label);
        // Labels that would be cut by the widget's edge are left out, not squeezed.
        if (px - w / 2 < 0 || px + w - w / 2 > width()) continue;
        p.setPen(text);
        p.drawText(QRect(px - w / 2, plot.bottom() + timeLabelGap(fm), w, fm.height()),
                   Qt::AlignCenter, label);
    }

    p.setPen(m_background.lighter(170));
    p.drawRect(plot.adjusted(-1, -1, 0, 0));
}

void StripChart::drawLegend(QPainter& p, const Frame& f) {
    if (f.legend.isEmpty()) return;
    QString key = QStringLiteral("%1x%2 %3 %4 %5 ")
                      .arg(f.legend.width())
                      .arg(f.legend.height())
                      .arg(font().key())
                      .arg(devicePixelRatioF())
                      .arg(m_background.rgba());
    for (const Channel& c : m_channels)
        key += c.title + QChar(c.visible ? u'+' : u'-') + QString::number(c.color.rgba()) + u'|';
    if (key != m_legendKey) {
        const qreal dpr = devicePixelRatioF();
        m_legendCache = QPixmap(f.legend.size() * dpr);
        m_legendCache.setDevicePixelRatio(dpr);
        m_legendCache.fill(Qt::transparent);
        QPainter lp(&m_legendCache);
        lp.setFont(font());
        paintLegend(lp, QRect(QPoint(0, 0), f.legend.size()));
        m_legendKey = key;
    }
    p.drawPixmap(f.legend.topLeft(), m_legendCache);
}

void StripChart::paintLegend(QPainter& p, const QRect& legend) const {
    const QFontMetrics fm = fontMetrics();
    const QColor text = textColor();
    const QColor dim = m_background.lighter(180);
    int x = legend.left();
    int y = legend.top();
    for (const Channel& c : m_channels) {
        const int w = kSwatch + 4 + fm.horizontalAdvance(c.title);
        if (x > legend.left() && x + w > legend.right()) {
            x = legend.left();
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
