#pragma once
// Which part of the history a strip chart shows: a time window that follows the newest
// sample until the user zooms into or drags the past, and a value range that scales itself
// to the visible data until the user zooms or drags the value axis. followNewest() gives
// both back to the chart.
struct AxisRange {
    double from = 0;
    double to = 1;
    double length() const { return to - from; }
    bool operator==(const AxisRange&) const = default;
};

class StripChartViewport {
public:
    static constexpr double kMinSpan = 1e-3;
    static constexpr double kMaxSpan = 1e10;

    double timeSpan() const { return m_span; }
    void setTimeSpan(double span);
    bool isFollowing() const { return m_following; }
    bool isAutoScaling() const { return m_autoValue; }

    // The time window for a history from `origin` (first x) to `newest` (last x). While
    // following, the newest sample sits at the right edge once the history is longer than
    // the window; before that the window starts at the origin.
    AxisRange timeRange(double origin, double newest) const;

    // Zooming while following keeps the newest sample at the right edge; otherwise the x
    // under the pointer stays where it is. factor < 1 zooms in.
    void zoomTime(double factor, double anchor, const AxisRange& shown);
    void panTime(double delta, const AxisRange& shown);
    // Start a pan or zoom from the range now on screen, leaving following.
    void showTime(const AxisRange& range);

    // The manual value range (the initial one while there is no data to scale to).
    AxisRange valueRange() const { return m_value; }
    void setValueRange(const AxisRange& range);
    // The owner's choice; followNewest() returns to it after the user zoomed the values.
    void setAutoScaling(bool on) { m_autoValue = m_autoChosen = on; }
    void zoomValue(double factor, double anchor, const AxisRange& shown);
    void panValue(double delta, const AxisRange& shown);

    void followNewest();

private:
    double m_span = 500;
    bool m_following = true;
    double m_left = 0;
    bool m_autoValue = true;
    bool m_autoChosen = true;
    AxisRange m_value{0, 100};
};
