#include "WinMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QThread>
#include <memory>

#include "MainData.h"
#include "dm_TsiLang.h"
#include "f_Main.h"
#include "f_Splash.h"
#include "kv_ReportSystem.h"
#include "platform/core/Exception.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/ui/Form.h"
#include "u_TolvGlobal.h"

namespace TolvMain {

qint64 splashRemainder(qint64 elapsedMs, qint64 minimumMs) {
    return elapsedMs < minimumMs ? minimumMs - elapsedMs : 0;
}

namespace {

// The request to end the program: it may come before the message loop runs (a refused login at the
// first show), when quitting the loop alone would be lost.
class TerminateGuard {
public:
    TerminateGuard() {
        previous_ = ui::setTerminateHook([this] {
            terminated = true;
            QCoreApplication::quit();
        });
    }
    ~TerminateGuard() { ui::setTerminateHook(std::move(previous_)); }
    bool terminated = false;

private:
    ui::TerminateHook previous_;
};

int run(const StartOptions& options) {
    QElapsedTimer steady;
    steady.start();
    const std::function<qint64()> clock =
        options.clock ? options.clock : [&steady] { return steady.elapsed(); };
    const std::function<void(qint64)> sleep =
        options.sleep ? options.sleep : [](qint64 ms) { QThread::msleep(static_cast<unsigned long>(ms)); };

    const qint64 startMoment = clock();
    auto splash = std::make_unique<TFSplash>();
    splash->show();
    splash->repaint();
    QCoreApplication::processEvents();

    TolvGlobal::initStartupGlobals();

    QCoreApplication::setApplicationName(QStringLiteral("Ломбард"));
    TerminateGuard terminate;
    // The document system and its events last until the program's end, after the windows.
    const auto endDocuments = qScopeGuard([] { ReportSys::ReportSystem::releaseInstance(); });
    // Made in this order, destroyed in the reverse one when the loop has ended.
    auto dataModule = std::make_unique<TMainDataMod>();
    auto languageModule = std::make_unique<TDMTsiLang>();
    auto mainWindow = std::make_unique<TFMain>();

    const qint64 remainder = splashRemainder(clock() - startMoment, options.splashMinimumMs);
    if (remainder > 0) sleep(remainder);
    splash->hide();
    splash.reset();

    mainWindow->show();
    if (!terminate.terminated && mainWindow->started()) QApplication::exec();
    return 0;
}

}  // namespace

int WinMain(const StartOptions& options) {
    try {
        return run(options);
    } catch (const core::Exception& e) {
        ui::showError(e.message());
    } catch (...) {
        // Not one of the program's own errors: the box has no text to show.
        ui::showError(QString());
    }
    return 0;
}

}  // namespace TolvMain
