#pragma once
// A strip chart with numbered channels (12 for the attitude and sensor values, 3 for the PID
// trace). Each channel has a title and a colour and keeps its whole history for the session
// (StripSeries). The time axis follows the newest sample and scrolls with it; the value
// axis scales itself to the data in view. The mouse wheel zooms (over the plot: time; over
// the value axis or with Ctrl/Shift: values), dragging pans both axes, a double click or
// followNewest() returns to following the newest data with automatic scaling.
//
// Drawing works per pixel column: each column shows the lowest and highest value of the
// points under it, found in the series' min/max pyramid, so a redraw costs the same for an
// hour of history as for a day. Sparse views (fewer points than pixels) draw the points as
// a line. A hidden channel keeps collecting points and shows them when shown again.
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QWidget>
#include <vector>

#include "instruments/axis_ticks.h"
#include "instruments/instrument_reading.h"
#include "instruments/strip_chart_series.h"
#include "instruments/strip_chart_viewport.h"

class StripChart : public QWidget, public InstrumentReading {
    Q_OBJECT
public:
    // Number: x as a number (sample index, or seconds with a sample interval);
    // Clock: x in seconds since a local midnight, labelled hh:mm:ss.
    enum class TimeLabels { Number, Clock };

    explicit StripChart(QWidget* parent = nullptr, int channelCount = 1);
    ~StripChart() override;

    int channelCount() const { return int(m_channels.size()); }
    // Adding channels keeps the existing ones and their history.
    void setChannelCount(int count);

    QString channelTitle(int channel) const;
    void setChannelTitle(int channel, const QString& title);
    QColor channelColor(int channel) const;
    void setChannelColor(int channel, const QColor& color);
    bool isChannelVisible(int channel) const;
    void setChannelVisible(int channel, bool visible);

    // x = the channel's own next sample position (its point count times the sample interval).
    void addPoint(int channel, double value);
    // x given, e.g. the arrival time in seconds; x never runs backwards within a channel.
    void addPoint(int channel, double x, double value);
    qint64 pointCount(int channel) const;
    // The channel's history (an empty one for a channel number out of range).
    const StripSeries& series(int channel) const;
    void clear();

    QColor backgroundColor() const { return m_background; }
    void setBackgroundColor(const QColor& color);
    QString title() const { return m_title; }
    void setTitle(const QString& title);
    bool isTitleVisible() const { return m_titleVisible; }
    void setTitleVisible(bool visible);
    bool isLegendVisible() const { return m_legendVisible; }
    void setLegendVisible(bool visible);

    TimeLabels timeLabels() const { return m_timeLabels; }
    void setTimeLabels(TimeLabels labels);
    double sampleInterval() const { return m_sampleInterval; }
    void setSampleInterval(double interval);
    double timeSpan() const { return m_view.timeSpan(); }
    void setTimeSpan(double span);

    // The value range shown while no data is in view, and whenever automatic scaling is off.
    void setValueRange(double minimum, double maximum);
    void setAutoScaling(bool on);
    bool isAutoScaling() const { return m_view.isAutoScaling(); }
    bool isFollowing() const { return m_view.isFollowing(); }

    AxisRange visibleTimeRange() const;
    AxisRange visibleValueRange() const;
    // The data area inside the axes and the legend.
    QRect plotRect() const;
    // Where a point at (x, value) is drawn, in widget pixels.
    QPointF mapToPixel(double x, double value) const;

    std::size_t memoryBytes() const;

    QSize sizeHint() const override { return {793, 337}; }
    QSize minimumSizeHint() const override { return {160, 100}; }

    QString readingText() const override;
    QAccessible::Role readingRole() const override { return QAccessible::Chart; }
    QString readingDefaultName() const override { return m_title; }

public slots:
    void followNewest();

signals:
    // Following, automatic scaling or the visible ranges were changed by the user.
    void viewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    struct Channel {
        QString title;
        QColor color;
        bool visible = true;
        StripSeries series;
    };
    // Where everything goes at the current size, and what is in view.
    struct Frame {
        QRect title;
        QRect legend;
        QRect plot;
        AxisRange time;
        AxisRange value;
        AxisTicks timeTicks;
        AxisTicks valueTicks;
    };
    enum class Zone { Plot, ValueAxis, TimeAxis, Other };

    bool validChannel(int channel) const { return channel >= 0 && channel < channelCount(); }
    double origin() const;
    double newest() const;
    AxisRange dataTimeRange() const;
    // The value range in view and the step of its labels.
    std::pair<AxisRange, double> scaledValueRange(const AxisRange& time, int plotHeight) const;
    int legendHeight(int width) const;
    Frame frame() const;
    Zone zoneAt(const QPoint& pos, const Frame& f) const;
    void markChanged();

    void renderPlot(const Frame& f);
    void drawDense(const Frame& f, const Channel& c, qint64 first, qint64 end);
    void drawSparse(const Frame& f, const Channel& c, qint64 first, qint64 end);
    void drawAxes(QPainter& p, const Frame& f) const;
    void drawLegend(QPainter& p, const Frame& f);
    void paintLegend(QPainter& p, const QRect& legend) const;
    QColor textColor() const;
    QColor gridColor() const;

    std::vector<Channel> m_channels;
    StripChartViewport m_view;
    QColor m_background{84, 84, 84};
    QString m_title;
    bool m_titleVisible = false;
    bool m_legendVisible = true;
    // The legend as last drawn, and what it was drawn from: shaping twelve titles on every
    // redraw cost a tenth of it.
    QPixmap m_legendCache;
    QString m_legendKey;
    TimeLabels m_timeLabels = TimeLabels::Number;
    double m_sampleInterval = 1;

    struct Drag {
        bool active = false;
        Zone zone = Zone::Other;
        QPoint start;
        Frame frame;
        bool timeEngaged = false;
        bool valueEngaged = false;
    } m_drag;

    // The data area is drawn into this image with direct pixel writes where a trace is a
    // vertical stroke per column (a rasteriser works in horizontal spans and pays per call
    // for one-pixel-wide ones), then copied to the screen in one go.
    QImage m_plotImage;
    // New points since the last redraw: assistive technology hears of them once per redraw,
    // not once per point.
    bool m_readingChanged = false;
};
