#include "FrmPoczatek.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QThread>

#include "common/AppIdentity.h"
#include "ui/common/Fonts.h"
#include "ui/common/Twips.h"
#include "ui/common/WindowLabel.h"
#include "ui/controls/ImageBox.h"

namespace kivora {

namespace {

constexpr int kBorder = 1;
constexpr int kClientWidth = 5970;
constexpr int kStartupHeight = 1500; // border included
constexpr int kTextRight = 5775;     // the three labels end here
// Showing never waits longer than this for the first paint, whatever the platform does.
constexpr int kPaintTimeoutMs = 1000;

const QColor kBackColor(255, 224, 192);
const QColor kBorderColor(64, 64, 64);
const QColor kTitleColor(128, 64, 0);
const QColor kTaglineColor(128, 128, 128);

} // namespace

FrmPoczatek::FrmPoczatek(std::function<void()> openMainWindow, int waitMs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      openMainWindow_(std::move(openMainWindow)), waitMs_(waitMs),
      background_(new QSvgRenderer(QStringLiteral(":/art/startup-background.svg"), this)) {
    setObjectName(QStringLiteral("frmPoczatek"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Nothing on it reacts to the mouse or the keyboard.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    // Until the load handler trims it to the band, the window spans the whole picture.
    resize(Px(kClientWidth) + 2 * kBorder, background_->defaultSize().height() + 2 * kBorder);

    imgLogo_ = new ImageBox(this);
    imgLogo_->setObjectName(QStringLiteral("imgLogo"));
    imgLogo_->setGeometry(TwipRect(120, 120, 960, 960, kBorder));
    imgLogo_->SetPicture(QStringLiteral(":/art/logo.svg"));

    lblWersja_ = MakeLabel("lblWersja", QStringLiteral("Title & version"), 9.75, kTitleColor);
    lblWersja_->setGeometry(TwipRect(1590, 240, 4185, 240, kBorder));
    lblPrzez_ = MakeLabel("lblPrzez", QStringLiteral("by Author"), 9.75, kTitleColor);
    lblPrzez_->setGeometry(TwipRect(3750, 480, 2025, 240, kBorder));

    // Sizes itself to its text; kept on the common right edge, since the substitute face need
    // not be as wide as the design's.
    lblPowerBall_ = MakeLabel("lblPowerBall", QStringLiteral("Supports all major lotteries"), 8.25,
                              kTaglineColor);
    lblPowerBall_->adjustSize();
    lblPowerBall_->move(Px(kTextRight) + kBorder - lblPowerBall_->width(), Px(840) + kBorder);
}

FrmPoczatek::~FrmPoczatek() = default;

QLabel* FrmPoczatek::MakeLabel(const char* name, const QString& text, qreal pointSize,
                               const QColor& color) {
    QLabel* label = MakeWindowLabel(this, name, text, color);
    label->setFont(ProgramFont(pointSize, true));
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    return label;
}

void FrmPoczatek::Form_Load() {
    SetStartupTexts();
    ShowStartupWindow();
    OpenMainWindow();
}

void FrmPoczatek::SetWaitWork(std::function<void()> work) {
    waitWork_ = std::move(work);
}

void FrmPoczatek::SetStartupTexts() {
    lblPrzez_->setText(QStringLiteral("by ") + AppMaker());
    resize(width(), Px(kStartupHeight));
    lblWersja_->setText(TitleVersion());
    setWindowTitle(TitleVersion());
}

void FrmPoczatek::CenterOnScreen() {
    if (const QScreen* shown = screen()) {
        move(shown->availableGeometry().center() - rect().center());
    }
}

void FrmPoczatek::ShowStartupWindow() {
    CenterOnScreen();
    show();
    // The wait below handles no events, so the window has to be on the screen, painted, first.
    QElapsedTimer elapsed;
    elapsed.start();
    while (!painted_ && elapsed.elapsed() < kPaintTimeoutMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        if (!painted_) {
            QThread::msleep(1);
        }
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    elapsed.restart();
    if (waitWork_) {
        waitWork_();
    }
    QThread::msleep(static_cast<unsigned long>(qMax(qint64{0}, waitMs_ - elapsed.elapsed())));
}

void FrmPoczatek::OpenMainWindow() {
    if (openMainWindow_) {
        openMainWindow_();
    }
    close(); // deletes the window once control is back in the event loop
}

void FrmPoczatek::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect client = contentsRect();
    p.fillRect(client, kBackColor);
    if (background_->isValid()) {
        // Drawn at its own size from the corner: the band shows only the top-left of it.
        p.save();
        p.setClipRect(client);
        p.setRenderHint(QPainter::Antialiasing);
        background_->render(&p, QRectF(client.topLeft(), background_->defaultSize()));
        p.restore();
    }
    p.setPen(kBorderColor);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    painted_ = true;
}

} // namespace kivora
