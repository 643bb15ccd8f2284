#include "shell/start.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QScreen>

#include "platform/maker.h"
#include "ui_start.h"

namespace {

// Timer1 intervals of the animation, in milliseconds.
constexpr int FadeInTick = 20;
constexpr int HoldTime = 800;
constexpr int FadeOutTick = 15;
constexpr int LastFadeOutTick = 13;
// Ten big steps of 25, then single steps: 25 .. 250, 251 going in; 230 .. 5, 4 going out.
constexpr int BigSteps = 10;
constexpr int BigStep = 25;

// The splash picture, drawn rather than shipped: a night-to-teal gradient, a small turned
// horizon on the right and the product name. The version labels sit over its lower part.
QPixmap splashPicture(QSize size) {
    QPixmap pix(size);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(QPointF(0, 0), size);

    QLinearGradient sky(all.topLeft(), all.bottomRight());
    sky.setColorAt(0.0, QColor(8, 24, 52));
    sky.setColorAt(0.55, QColor(14, 70, 110));
    sky.setColorAt(1.0, QColor(18, 132, 138));
    p.fillRect(all, sky);

    // A soft glow behind the instrument.
    const QPointF centre(size.width() * 0.80, size.height() * 0.40);
    const double r = size.height() * 0.30;
    QRadialGradient glow(centre, r * 2.2);
    glow.setColorAt(0.0, QColor(120, 200, 230, 90));
    glow.setColorAt(1.0, QColor(120, 200, 230, 0));
    p.fillRect(all, glow);

    // The horizon, banked a little, inside a ring.
    p.save();
    QPainterPath disc;
    disc.addEllipse(centre, r, r);
    p.setClipPath(disc);
    p.translate(centre);
    p.rotate(-14);
    p.fillRect(QRectF(-2 * r, -2 * r, 4 * r, 2 * r), QColor(9, 160, 200));
    p.fillRect(QRectF(-2 * r, 0, 4 * r, 2 * r), QColor(129, 87, 32));
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(-2 * r, 0), QPointF(2 * r, 0));
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.2));
    for (int k : {-2, -1, 1, 2}) {
        const double w = (k % 2 ? 0.25 : 0.45) * r;
        p.drawLine(QPointF(-w, k * r * 0.22), QPointF(w, k * r * 0.22));
    }
    p.restore();
    p.setPen(QPen(QColor(230, 240, 250), 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, r, r);
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(centre + QPointF(-r * 0.6, 0), centre + QPointF(-r * 0.2, 0));
    p.drawLine(centre + QPointF(r * 0.2, 0), centre + QPointF(r * 0.6, 0));
    p.drawPoint(centre);

    // The product name.
    QFont title(QStringLiteral("WenQuanYi Micro Hei"));
    title.setPixelSize(54);
    title.setBold(true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QPointF(118 + 2, 112 + 2), QStringLiteral("Torvik"));
    p.setPen(Qt::white);
    p.drawText(QPointF(118, 112), QStringLiteral("Torvik"));

    QFont sub(QStringLiteral("WenQuanYi Micro Hei"));
    sub.setPixelSize(16);
    p.setFont(sub);
    p.setPen(QColor(200, 225, 240));
    p.drawText(QPointF(121, 140), QStringLiteral("飞控与姿态模块地面站"));

    // A thin rule above the version texts.
    p.setPen(QPen(QColor(255, 255, 255, 110), 1));
    p.drawLine(QPointF(120, 164), QPointF(size.width() - 40, 164));
    return pix;
}

}  // namespace

Start::Start(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::Start>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setFixedSize(size());
    ui->SplashPic->setPixmap(splashPicture(ui->SplashPic->size()));
    ui->SplashPic->installEventFilter(this);
    ui->Label2->setText(QStringLiteral("Powered By ") + Maker::WebAddress);
    // The labels lie over the picture.
    ui->Label1->raise();
    ui->Label2->raise();
    connect(&Timer1, &Timer::tick, this, &Start::Timer1_Tick);
}

Start::~Start() = default;

void Start::Form_Activate() {
    if (m_activated) return;
    m_activated = true;
    m_step = 0;
    m_alpha = 0;
    m_phase = FadeIn;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // Transparent before the first show, so no opaque frame flashes up before the fade.
    setWindowOpacity(0.0);
    hide();
    Timer1.setInterval(FadeInTick);
    Timer1.setEnabled(true);
}

bool Start::TranslucentForm(QWidget* window, quint8 alpha) {
    if (!window) return false;
    window->setWindowOpacity(alpha / 255.0);
    if (window == this) m_applied.append(alpha);
    return true;
}

void Start::Timer1_Tick() {
    if (m_done) return;
    if (isHidden()) show();
    if (m_phase == FadeIn) {
        m_alpha += m_step < BigSteps ? BigStep : 1;
        ++m_step;
        TranslucentForm(this, m_alpha);
        if (m_step > 9) Timer1.setInterval(HoldTime);
        if (m_step > 10) {
            // 255 is set here but never shown: the first fade-out tick takes 25 off it.
            m_phase = FadeOut;
            m_alpha = 255;
            m_step = 0;
            Timer1.setInterval(FadeOutTick);
        }
    } else {
        m_alpha -= m_step < BigSteps ? BigStep : 1;
        ++m_step;
        TranslucentForm(this, m_alpha);
        if (m_step > 9) Timer1.setInterval(LastFadeOutTick);
        if (m_step > 10) handOver();
    }
}

void Start::SplashPic_Click() {
    handOver();
}

bool Start::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->SplashPic && event->type() == QEvent::MouseButtonRelease) {
        const auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton &&
            ui->SplashPic->rect().contains(e->position().toPoint()))
            SplashPic_Click();
    }
    return QWidget::eventFilter(watched, event);
}

void Start::handOver() {
    if (m_done) return;
    m_done = true;
    Timer1.setEnabled(false);
    emit finished();  // OSC is shown before this window goes
    close();
}
