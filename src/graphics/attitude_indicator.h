#pragma once
// Piczitai, the artificial horizon of the main window: a 157 x 117 picture whose drawing
// goes to an off-screen surface and becomes visible at the refresh ending each redraw.
#include <QImage>
#include <QString>
#include <QWidget>

class AttitudeIndicator : public QWidget {
    Q_OBJECT
public:
    explicit AttitudeIndicator(QWidget* parent = nullptr);

    // Redraws the whole instrument. bank: degrees to turn the horizon (callers pass the
    // negated roll); pitch: degrees. Both are number texts read by their leading number.
    void Draw_attitude(const QString& bank, const QString& pitch);

    // The off-screen surface, as the last refresh showed it.
    [[nodiscard]] const QImage& surface() const { return m_surface; }
    // The horizon image in the surface's pixel format: never shown, only read from.
    [[nodiscard]] const QImage& picCol() const { return m_picCol; }
    // What assistive tools read, e.g. "bank -30, pitch 10".
    [[nodiscard]] QString valueText() const { return m_valueText; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void redraw();

    QImage m_picCol;
    QImage m_surface;
    QString m_bank = QStringLiteral("0");
    QString m_pitch = QStringLiteral("0");
    QString m_valueText;
};
