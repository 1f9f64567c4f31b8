// The main window's costs on the offscreen platform: the Start action for 50 tickets of 7 numbers
// with a bonus, grid writes included, and the window's construction, load and first show.
// Medians, since the machines are noisy.
//
//   kivora_ui_bench [repetitions]
#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "engine/Generator.h"
#include "engine/SeedLocale.h"
#include "engine/SystemClock.h"
#include "ui/common/Fonts.h"
#include "ui/controls/FlexGrid.h"
#include "ui/controls/OptionList.h"
#include "ui/main/FrmMain.h"

namespace {

using namespace kivora;

double Median(std::vector<double> times) {
    const auto middle = times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2);
    std::nth_element(times.begin(), middle, times.end());
    return *middle;
}

double MedianMicroseconds(int repetitions, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
    }
    return Median(std::move(times));
}

void Report(const char* what, double microseconds) {
    if (microseconds >= 1000.0) {
        std::printf("%-58s %10.2f ms\n", what, microseconds / 1000.0);
    } else {
        std::printf("%-58s %10.1f us\n", what, microseconds);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallFontSubstitutes();
    // The window loads and stores its settings: keep them away from the user's own.
    QTemporaryDir store;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, store.path());
    const int repetitions = argc > 1 ? std::max(20, std::atoi(argv[1])) : 41;

    Generator generator;
    SystemClock clock;
    PlainSeedLocale locale;
    const MainWindowServices services{generator, clock, locale, {}, nullptr};

    std::unique_ptr<FrmMain> window;
    std::vector<double> loads;
    std::vector<double> shows;
    const double open = MedianMicroseconds(repetitions, [&] {
        window.reset();
        QElapsedTimer timer;
        timer.start();
        window = std::make_unique<FrmMain>(services);
        window->Form_Load();
        loads.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
        window->show();
        QApplication::processEvents(); // expose and first paint
        shows.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0 - loads.back());
    });
    Report("main window: construct + Form_Load + first show", open);
    Report("  construct + Form_Load", Median(loads));
    Report("  show + first paint", Median(shows));

    // 50 tickets of 7 numbers out of 49 with a bonus up to 42.
    window->List(QStringLiteral("cboTickets"))->SetListIndex(49);
    window->List(QStringLiteral("cboN"))->SetListIndex(4);
    window->List(QStringLiteral("cboTotal"))->SetListIndex(39);
    window->List(QStringLiteral("cboBonus"))->SetListIndex(1);
    window->List(QStringLiteral("cboBonusMax"))->SetListIndex(40);
    const double start = MedianMicroseconds(repetitions, [&] { window->cmdStart_Click(); });
    if (window->Grid()->Rows() != 51 || window->Grid()->Cols() != 9) {
        std::fprintf(stderr, "unexpected grid %d x %d\n", window->Grid()->Rows(),
                     window->Grid()->Cols());
        return 1;
    }
    Report("cmdStart_Click, 50 tickets of 7/49 + bonus", start);
    const double repaint = MedianMicroseconds(repetitions, [&] {
        window->cmdStart_Click();
        window->Grid()->viewport()->repaint();
    });
    Report("cmdStart_Click + grid repaint", repaint);
    std::printf("(%d repetitions each)\n", repetitions);
    return 0;
}
