// The About window: title, version, author, build date and the support links. Modal, owned by
// the main window, and built afresh for every opening.
#pragma once

#include <memory>

#include <QDialog>
#include <QString>

class QLabel;

namespace kivora {

class ImageBox;
class LinkLabel;
class Shell;
class WindowDrag;
class XPButton;

class FrmAbout : public QDialog {
    Q_OBJECT
public:
    // closeUp and closeDown are the main window's released and pressed close pictures, so both
    // windows show the same close image.
    FrmAbout(QWidget* owner, Shell& shell, const QString& closeUp, const QString& closeDown);
    ~FrmAbout() override;

    // Loads a new About window, shows it modally and destroys it once closed; returns then.
    static void ShowModal(QWidget* owner, Shell& shell, const QString& closeUp,
                          const QString& closeDown);

    // Fills the window and centres it on the screen; run once, before it is shown.
    void Form_Load();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* MakeLabel(const char* name, int left, int top);
    LinkLabel* MakeLink(const char* name, int left, int top);
    void CenterOnScreen();

    void imgClose_MouseDown(Qt::MouseButton button);
    void imgClose_MouseUp(Qt::MouseButton button);
    void lblEmail_Click();
    void lblWebsite_Click();

    Shell& shell_;
    QString closeUp_;
    QString closeDown_;
    std::unique_ptr<WindowDrag> drag_;

    QLabel* lblCaption_;
    ImageBox* imgClose_;
    ImageBox* imgLogo_;
    QLabel* lblTitle_;
    QLabel* lblBy_;
    QLabel* lblDate_;
    QLabel* lblEmaillbl_;
    LinkLabel* lblEmail_;
    QLabel* lblWebsitelbl_;
    LinkLabel* lblWebsite_;
    XPButton* cmdClose_;
};

} // namespace kivora
