#include "FrmAbout.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>

#include "common/AppIdentity.h"
#include "common/Links.h"
#include "ui/common/Fonts.h"
#include "ui/common/Twips.h"
#include "ui/common/WindowDrag.h"
#include "ui/common/WindowLabel.h"
#include "ui/controls/FocusRing.h"
#include "ui/controls/ImageBox.h"
#include "ui/controls/LinkLabel.h"
#include "ui/controls/SvgPixmap.h"
#include "ui/controls/XPButton.h"

namespace kivora {

namespace {

constexpr int kBorder = 1;
constexpr int kClientWidth = 4575;
constexpr int kClientHeight = 3465;
// The field names end here, left of the light box that holds the link values: the substitute
// face is wider than the design's, and names starting at the design's left edge would run into
// the links.
constexpr int kFieldNameRight = 64;

const QColor kTextColor(255, 255, 128);
const QColor kLinkColor(0, 0, 255);
const QColor kBorderColor(22, 26, 31);
const QColor kCloseBack(255, 192, 128);
const QColor kCloseHoverCaption(192, 64, 0);

void SetText(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

} // namespace

FrmAbout::FrmAbout(QWidget* owner, Shell& shell, const QString& closeUp, const QString& closeDown)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), shell_(shell), closeUp_(closeUp),
      closeDown_(closeDown), drag_(std::make_unique<WindowDrag>(this)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowModality(Qt::ApplicationModal);
    setFont(ProgramFont(8.25));
    setFocusPolicy(Qt::NoFocus);
    setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    setFixedSize(Px(kClientWidth) + 2 * kBorder, Px(kClientHeight) + 2 * kBorder);

    lblCaption_ = MakeLabel("lblCaption", 120, 75);
    lblCaption_->setFont(ProgramFont(8.25, true));

    imgClose_ = new ImageBox(this);
    imgClose_->setObjectName(QStringLiteral("imgClose"));
    imgClose_->setGeometry(TwipRect(4220, 60, 315, 315, kBorder));
    imgClose_->setToolTip(QStringLiteral("Close"));
    imgClose_->setAccessibleName(QStringLiteral("Close"));
    connect(imgClose_, &ImageBox::MouseDown, this, &FrmAbout::imgClose_MouseDown);
    connect(imgClose_, &ImageBox::MouseUp, this, &FrmAbout::imgClose_MouseUp);
    connect(imgClose_, &ImageBox::Click, this, &FrmAbout::close);

    imgLogo_ = new ImageBox(this);
    imgLogo_->setObjectName(QStringLiteral("imgLogo"));
    imgLogo_->setGeometry(TwipRect(360, 720, 960, 960, kBorder));
    imgLogo_->SetPicture(QStringLiteral(":/art/logo.svg"));

    lblTitle_ = MakeLabel("lblTitle", 1680, 680);
    lblTitle_->setFont(ProgramFont(12, true));
    lblBy_ = MakeLabel("lblBy", 1680, 1350);
    lblDate_ = MakeLabel("lblDate", 1680, 1590);

    lblEmaillbl_ = MakeLabel("lblEmaillbl", 360, 2760);
    lblWebsitelbl_ = MakeLabel("lblWebsitelbl", 360, 3000);
    SetText(lblEmaillbl_, QStringLiteral("E-mail:"));
    SetText(lblWebsitelbl_, QStringLiteral("Website:"));
    for (QLabel* name : {lblEmaillbl_, lblWebsitelbl_}) {
        name->move(kFieldNameRight + kBorder - name->width(), name->y());
    }
    lblEmail_ = MakeLink("lblEmail", 1080, 2760);
    lblWebsite_ = MakeLink("lblWebsite", 1080, 3000);
    connect(lblEmail_, &LinkLabel::Click, this, &FrmAbout::lblEmail_Click);
    connect(lblWebsite_, &LinkLabel::Click, this, &FrmAbout::lblWebsite_Click);

    cmdClose_ = new XPButton(this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    cmdClose_->SetCaption(QStringLiteral("&Close"));
    cmdClose_->setFont(ProgramFont(8.25));
    cmdClose_->SetShape(0);
    // The caption colour and the hover background stay the control's own.
    cmdClose_->SetColors(cmdClose_->ForeColor(), kCloseHoverCaption, kCloseBack,
                         cmdClose_->HoverBackColor());
    cmdClose_->setGeometry(TwipRect(3240, 2880, 1095, 375, kBorder));
    connect(cmdClose_, &XPButton::clicked, this, &FrmAbout::close);
    // The links are reached by Tab after Close, and wear a ring in their own blue on the light
    // box that holds them.
    QWidget::setTabOrder(cmdClose_, lblEmail_);
    QWidget::setTabOrder(lblEmail_, lblWebsite_);
    auto* ring = new FocusRing(this, kLinkColor);
    ring->Add(lblEmail_);
    ring->Add(lblWebsite_);
    cmdClose_->setFocus(Qt::OtherFocusReason);
}

FrmAbout::~FrmAbout() = default;

void FrmAbout::ShowModal(QWidget* owner, Shell& shell, const QString& closeUp,
                         const QString& closeDown) {
    // A new window for every opening, so nothing carries over from the last one. The guard
    // covers an owner that goes (and takes the window with it) while the window is open.
    QPointer<FrmAbout> about = new FrmAbout(owner, shell, closeUp, closeDown);
    about->Form_Load();
    about->exec();
    delete about.data();
}

QLabel* FrmAbout::MakeLabel(const char* name, int left, int top) {
    QLabel* label = MakeWindowLabel(this, name, QString(), kTextColor);
    label->installEventFilter(this);
    label->move(TwipPoint(left, top, kBorder));
    return label;
}

LinkLabel* FrmAbout::MakeLink(const char* name, int left, int top) {
    auto* link = new LinkLabel(this);
    link->setObjectName(QLatin1String(name));
    link->setTextFormat(Qt::PlainText);
    link->setAttribute(Qt::WA_TranslucentBackground);
    link->move(TwipPoint(left, top, kBorder));
    QFont font = ProgramFont(8.25, true);
    font.setUnderline(true);
    link->setFont(font);
    SetTextColor(link, kLinkColor);
    return link;
}

void FrmAbout::Form_Load() {
    imgClose_->SetPicture(closeUp_);
    SetText(lblTitle_, TitleVersion());
    SetText(lblCaption_, QStringLiteral("About ") + AppTitle());
    SetText(lblBy_, QStringLiteral("Author: ") + AppMaker());
    SetText(lblDate_, QStringLiteral("Date: Apr 29, 2009"));
    SetText(lblEmail_, kSupportEmail);
    SetText(lblWebsite_, kWebPage);
    CenterOnScreen();
}

void FrmAbout::CenterOnScreen() {
    const QScreen* shown = parentWidget() ? parentWidget()->screen() : screen();
    if (shown) {
        move(shown->availableGeometry().center() - rect().center());
    }
}

void FrmAbout::imgClose_MouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton) {
        imgClose_->SetPicture(closeDown_);
    }
}

void FrmAbout::imgClose_MouseUp(Qt::MouseButton button) {
    if (button == Qt::LeftButton) {
        imgClose_->SetPicture(closeUp_);
    }
}

void FrmAbout::lblEmail_Click() {
    SendSupportMail(shell_);
}

void FrmAbout::lblWebsite_Click() {
    OpenWebPage(shell_, kWebPage);
}

bool FrmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (!qobject_cast<QLabel*>(watched)) {
        return QDialog::eventFilter(watched, event);
    }
    // Labels keep every mouse event to themselves: none starts a drag of the window.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void FrmAbout::mousePressEvent(QMouseEvent* event) {
    if (childAt(event->position().toPoint()) == nullptr) {
        drag_->Press(event);
    }
    event->accept();
}

void FrmAbout::mouseMoveEvent(QMouseEvent* event) {
    if (childAt(event->position().toPoint()) != nullptr && !drag_->Dragging()) {
        return;
    }
    if (event->buttons() == Qt::LeftButton) {
        drag_->Move(event);
    }
}

void FrmAbout::mouseReleaseEvent(QMouseEvent* event) {
    drag_->Release();
    event->accept();
}

void FrmAbout::keyPressEvent(QKeyEvent* event) {
    // Only Close and the close image unload the window; Escape does not.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FrmAbout::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The picture carries its own frame line, so it spans the border and the frame falls on it.
    p.drawPixmap(
        0, 0, SvgPixmap(QStringLiteral(":/art/about-background.svg"), size(), devicePixelRatioF()));
    p.setPen(kBorderColor);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace kivora
