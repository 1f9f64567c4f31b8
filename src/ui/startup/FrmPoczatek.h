// The start-up window: shows the title and version for a moment, then opens the main window and
// goes away for good.
#pragma once

#include <functional>

#include <QWidget>

class QLabel;
class QSvgRenderer;

namespace kivora {

class ImageBox;

class FrmPoczatek : public QWidget {
    Q_OBJECT
public:
    // openMainWindow creates the main window, runs its load handler and shows it.
    explicit FrmPoczatek(std::function<void()> openMainWindow, int waitMs = 2000,
                         QWidget* parent = nullptr);
    ~FrmPoczatek() override;

    // The whole start-up sequence: SetStartupTexts, ShowStartupWindow, OpenMainWindow. The
    // window deletes itself at the end; do not touch it after this returns.
    void Form_Load();

    // Work for the wait, such as drawing ahead what the main window shows first. The wait
    // still ends when it would have without it, unless the work takes longer.
    void SetWaitWork(std::function<void()> work);

    void SetStartupTexts();
    // Shows the window fully painted, then blocks the user-interface thread for the wait.
    void ShowStartupWindow();
    // Shows the main window first, so the program is never without a window, then closes and
    // deletes this one.
    void OpenMainWindow();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* MakeLabel(const char* name, const QString& text, qreal pointSize, const QColor& color);
    void CenterOnScreen();

    std::function<void()> openMainWindow_;
    std::function<void()> waitWork_;
    int waitMs_;
    bool painted_ = false;
    QSvgRenderer* background_;
    ImageBox* imgLogo_;
    QLabel* lblWersja_;
    QLabel* lblPrzez_;
    QLabel* lblPowerBall_;
};

} // namespace kivora
