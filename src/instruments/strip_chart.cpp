#include "instruments/strip_chart.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <array>
#include <cmath>

namespace {
// Colours for channels nobody has coloured yet; distinct on the dark grey background.
constexpr std::array<QRgb, 12> kDefaultColors = {0xff4040, 0xffd700, 0x4080ff, 0x40e040,
                                                 0xff00ff, 0x00e0e0, 0xffa040, 0xffffff,
                                                 0xa080ff, 0xf5ccb0, 0x99f032, 0xff8080};
// One wheel notch zooms by this factor.
constexpr double kWheelZoom = 0.8;
// Pixels a drag must travel along an axis before it pans that axis, so a sideways drag
// does not switch off the value axis' automatic scaling by a pixel of wobble.
constexpr int kDragDeadZone = 4;

const StripSeries& emptySeries() {
    static const StripSeries empty;
    return empty;
}
}  // namespace

StripChart::StripChart(QWidget* parent, int channelCount) : QWidget(parent) {
    installInstrumentAccessibility();
    setFocusPolicy(Qt::WheelFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setChannelCount(channelCount);
}

StripChart::~StripChart() = default;

void StripChart::setChannelCount(int count) {
    count = std::max(0, count);
    const int old = channelCount();
    m_channels.resize(std::size_t(count));
    for (int i = old; i < count; ++i) {
        Channel& c = m_channels[std::size_t(i)];
        c.title = QStringLiteral("Ch %1").arg(i);
        c.color = QColor(kDefaultColors[std::size_t(i) % kDefaultColors.size()]);
        c.series.setSampleInterval(m_sampleInterval);
    }
    update();
}

QString StripChart::channelTitle(int channel) const {
    return validChannel(channel) ? m_channels[std::size_t(channel)].title : QString();
}

void StripChart::setChannelTitle(int channel, const QString& title) {
    if (!validChannel(channel)) return;
    m_channels[std::size_t(channel)].title = title;
    update();
}

QColor StripChart::channelColor(int channel) const {
    return validChannel(channel) ? m_channels[std::size_t(channel)].color : QColor();
}

void StripChart::setChannelColor(int channel, const QColor& color) {
    if (!validChannel(channel)) return;
    m_channels[std::size_t(channel)].color = color;
    update();
}

bool StripChart::isChannelVisible(int channel) const {
    return validChannel(channel) && m_channels[std::size_t(channel)].visible;
}

void StripChart::setChannelVisible(int channel, bool visible) {
    if (!validChannel(channel)) return;
    m_channels[std::size_t(channel)].visible = visible;
    update();
}

void StripChart::addPoint(int channel, double value) {
    if (!validChannel(channel)) return;
    m_channels[std::size_t(channel)].series.append(value);
    markChanged();
}

void StripChart::addPoint(int channel, double x, double value) {
    if (!validChannel(channel)) return;
    m_channels[std::size_t(channel)].series.append(x, value);
    markChanged();
}

void StripChart::markChanged() {
    // Repaints are coalesced by Qt: twelve points added on one display tick cost one redraw.
    update();
    m_readingChanged = true;
}

qint64 StripChart::pointCount(int channel) const {
    return validChannel(channel) ? m_channels[std::size_t(channel)].series.size() : 0;
}

const StripSeries& StripChart::series(int channel) const {
    return validChannel(channel) ? m_channels[std::size_t(channel)].series : emptySeries();
}

void StripChart::clear() {
    for (Channel& c : m_channels) c.series.clear();
    m_view.followNewest();
    update();
    emit viewChanged();
}

void StripChart::setBackgroundColor(const QColor& color) {
    m_background = color;
    update();
}

void StripChart::setTitle(const QString& title) {
    m_title = title;
    update();
}

void StripChart::setTitleVisible(bool visible) {
    m_titleVisible = visible;
    update();
}

void StripChart::setLegendVisible(bool visible) {
    m_legendVisible = visible;
    update();
}

void StripChart::setTimeLabels(TimeLabels labels) {
    m_timeLabels = labels;
    update();
}

void StripChart::setSampleInterval(double interval) {
    if (!(interval > 0) || !std::isfinite(interval)) return;
    m_sampleInterval = interval;
    for (Channel& c : m_channels) c.series.setSampleInterval(interval);
    update();
}

void StripChart::setTimeSpan(double span) {
    m_view.setTimeSpan(span);
    update();
}

void StripChart::setValueRange(double minimum, double maximum) {
    m_view.setValueRange({minimum, maximum});
    update();
}

void StripChart::setAutoScaling(bool on) {
    m_view.setAutoScaling(on);
    update();
}

void StripChart::followNewest() {
    m_view.followNewest();
    update();
    emit viewChanged();
}

double StripChart::origin() const {
    bool any = false;
    double first = 0;
    for (const Channel& c : m_channels) {
        if (c.series.isEmpty()) continue;
        const double x = c.series.x(0);
        first = any ? std::min(first, x) : x;
        any = true;
    }
    return first;
}

double StripChart::newest() const {
    bool any = false;
    double last = 0;
    for (const Channel& c : m_channels) {
        if (c.series.isEmpty()) continue;
        const double x = c.series.x(c.series.size() - 1);
        last = any ? std::max(last, x) : x;
        any = true;
    }
    return last;
}

AxisRange StripChart::dataTimeRange() const {
    return m_view.timeRange(origin(), newest());
}

AxisRange StripChart::visibleTimeRange() const {
    return dataTimeRange();
}

AxisRange StripChart::visibleValueRange() const {
    return frame().value;
}

QRect StripChart::plotRect() const {
    return frame().plot;
}

QPointF StripChart::mapToPixel(double x, double value) const {
    const Frame f = frame();
    const double px = f.plot.left() + (x - f.time.from) / f.time.length() * f.plot.width();
    const double py = f.plot.top() + (f.value.to - value) / f.value.length() * f.plot.height();
    return {px, py};
}

std::size_t StripChart::memoryBytes() const {
    std::size_t bytes = 0;
    for (const Channel& c : m_channels) bytes += c.series.memoryBytes();
    return bytes;
}

QString StripChart::readingText() const {
    QStringList parts;
    for (const Channel& c : m_channels) {
        if (c.series.isEmpty()) continue;
        QString part = c.title + QLatin1Char(' ') +
                       QString::number(double(c.series.value(c.series.size() - 1)), 'g', 6);
        if (!c.visible) part += QStringLiteral(" (hidden)");
        parts << part;
    }
    return parts.join(QStringLiteral("; "));
}

StripChart::Zone StripChart::zoneAt(const QPoint& pos, const Frame& f) const {
    if (f.plot.contains(pos)) return Zone::Plot;
    if (pos.x() < f.plot.left() && pos.y() >= f.plot.top() && pos.y() <= f.plot.bottom())
        return Zone::ValueAxis;
    if (pos.y() > f.plot.bottom() && pos.x() >= f.plot.left() && pos.x() <= f.plot.right())
        return Zone::TimeAxis;
    return Zone::Other;
}

void StripChart::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) {
        event->ignore();
        return;
    }
    const Frame f = frame();
    const QPoint pos = event->position().toPoint();
    const Zone zone = zoneAt(pos, f);
    if (zone == Zone::Other) {
        event->ignore();
        return;
    }
    // Wheel forward zooms in.
    const double factor = std::pow(kWheelZoom, notches);
    const bool values =
        zone == Zone::ValueAxis ||
        (zone == Zone::Plot && (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)));
    if (values) {
        const double anchor =
            f.value.to - double(pos.y() - f.plot.top()) / f.plot.height() * f.value.length();
        m_view.zoomValue(factor, anchor, f.value);
    } else {
        const double anchor =
            f.time.from + double(pos.x() - f.plot.left()) / f.plot.width() * f.time.length();
        m_view.zoomTime(factor, anchor, f.time);
    }
    event->accept();
    update();
    emit viewChanged();
}

void StripChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_drag = Drag{};
    m_drag.frame = frame();
    m_drag.zone = zoneAt(event->position().toPoint(), m_drag.frame);
    m_drag.start = event->position().toPoint();
    m_drag.active = m_drag.zone != Zone::Other;
    if (m_drag.active) setCursor(Qt::ClosedHandCursor);
    event->accept();
}

void StripChart::mouseMoveEvent(QMouseEvent* event) {
    if (!m_drag.active) return;
    const QPoint d = event->position().toPoint() - m_drag.start;
    const Frame& f = m_drag.frame;
    bool changed = false;
    if (m_drag.zone == Zone::Plot || m_drag.zone == Zone::TimeAxis) {
        if (m_drag.timeEngaged || std::abs(d.x()) > kDragDeadZone) {
            m_drag.timeEngaged = true;
            // The data follows the pointer: dragging right brings older samples into view.
            m_view.panTime(-double(d.x()) / f.plot.width() * f.time.length(), f.time);
            changed = true;
        }
    }
    if (m_drag.zone == Zone::Plot || m_drag.zone == Zone::ValueAxis) {
        if (m_drag.valueEngaged || std::abs(d.y()) > kDragDeadZone) {
            m_drag.valueEngaged = true;
            m_view.panValue(double(d.y()) / f.plot.height() * f.value.length(), f.value);
            changed = true;
        }
    }
    if (changed) {
        update();
        emit viewChanged();
    }
}

void StripChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_drag.active) {
        m_drag.active = false;
        unsetCursor();
    }
}

void StripChart::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) followNewest();
}
