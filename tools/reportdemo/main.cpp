// Shows the document system's menus as a user sees them: a window whose "Документы" menu holds one
// submenu per event (built with addToMenu), and a "Печать" button that offers the templates of two
// events in a popup under itself (showReportsMenu). The events and their templates are the demo's own,
// in a program folder of its own; produced documents are written there and their paths printed.
//   tolvanix-reportdemo [--lang 1|2] [--show menu|popup] [--hold MS]
// --show opens the menu (with its first submenu) or the popup at start; with --hold the window closes by
// itself after that many milliseconds (for pictures of the screen).

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>

#include "kv_ReportMenus.h"
#include "kv_ReportSystem.h"
#include "kv_Translator.h"
#include "platform/core/Formats.h"
#include "platform/os/Program.h"
#include "platform/os/Shell.h"
#include "platform/ui/QtDialogs.h"

namespace {

// An event of the demo with one group, COMMON.
class DemoEvent : public ReportSys::ReportEvnt {
public:
    DemoEvent(const QString& code, const QString& name) : ReportSys::ReportEvnt(code, name) {
        load();
        initParameters();
    }
    void initParameters() override { addParameter(std::make_unique<ReportSys::ReportParameters>("COMMON")); }
};

void putTemplate(const QString& folder, const QString& file) {
    QDir().mkpath(folder);
    QFile f(folder + u'/' + file);
    if (f.open(QIODevice::WriteOnly)) f.write("{\\rtf1\\ansi [[COMMON@NUM]]\\par}");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setProcessFormats();
    ui::installQtDialogs();
    const QStringList args = app.arguments();
    const auto option = [&](const char* name) {
        const qsizetype at = args.indexOf(QString::fromLatin1(name));
        return at > 0 && at + 1 < args.size() ? args[at + 1] : QString();
    };
    const int language = option("--lang").isEmpty() ? 1 : option("--lang").toInt();
    for (const auto& [key, text] : ReportSys::reportSystemTexts(language))
        KVLibTranslator::instance().set(key, text);

    QTemporaryDir folder;
    os::setProgramFile(folder.filePath(QStringLiteral("tolvanix-reportdemo")));
    os::setOpenHandler([](const QString& path) {
        QTextStream(stdout) << "opened: " << path << Qt::endl;
        return true;
    });
    const QString root = folder.filePath(QStringLiteral("reportSystem/"));
    for (const char* f : {"[ru]Договор займа.rtf", "[ua]Договір позики.rtf", "Залоговый билет.rtf"})
        putTemplate(root + QStringLiteral("CNTR_OPEN"), QString::fromUtf8(f));
    putTemplate(root + QStringLiteral("PAYMENT"), QStringLiteral("Квитанция.rtf"));
    putTemplate(root + QStringLiteral("PKO"), QStringLiteral("Приходный ордер.rtf"));

    ReportSys::ReportSystem& sys = ReportSys::ReportSystem::instance();
    sys.clearLanguages();
    sys.addLanguage(QStringLiteral("no"), QStringLiteral(" "));
    sys.addLanguage(QStringLiteral("ru"), QStringLiteral("Россия"));
    sys.addLanguage(QStringLiteral("ua"), QStringLiteral("Україна"));
    sys.setCurrentLanguage(language == 2 ? QStringLiteral("ua") : QStringLiteral("ru"));
    const std::pair<const char*, const char16_t*> events[] = {
        {"CNTR_OPEN", u"Открытие договора"}, {"PAYMENT", u"Погашение"}, {"PKO", u"Приходный кассовый ордер"}};
    for (const auto& [code, name] : events)
        sys.addReportEvent(std::make_unique<DemoEvent>(QString::fromLatin1(code), QString::fromUtf16(name)));
    // Found templates start inactive; the demo offers those of the current country and of every country.
    for (int e = 0; e < sys.getEventsCount(); ++e)
        for (int i = 0; i < sys.getEvent(e)->getTemplatesCount(); ++i) {
            ReportSys::ReportTemplate* t = sys.getEvent(e)->getTemplate(i);
            t->setActive(t->getLanguage() == QLatin1String("no") ||
                         t->getLanguage() == sys.getCurrentLanguage());
        }
    sys.save();

    const ReportSys::InitParamsCallback fill = [](ReportSys::ReportTemplate* t) {
        t->getEvent()->getParams().clear();
        t->getEvent()
            ->getParamGroup(QStringLiteral("COMMON"))
            ->addParam(QStringLiteral("NUM"), QStringLiteral("Л-15"));
    };

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Документы"));
    QMenu* documents = window.menuBar()->addMenu(QStringLiteral("Документы"));
    documents->addSeparator();
    documents->addAction(QStringLiteral("Настройка документов"));
    // Each submenu goes on top: built in reverse, the events read in registration order.
    for (int e = sys.getEventsCount() - 1; e >= 0; --e) sys.getEvent(e)->addToMenu(documents, fill, 0);

    auto* central = new QWidget(&window);
    auto* layout = new QVBoxLayout(central);
    auto* print = new QPushButton(QStringLiteral("Печать"), central);
    print->setFixedWidth(120);
    layout->addWidget(print, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addStretch();
    window.setCentralWidget(central);
    QMenu popup(&window);
    const auto offer = [&] {
        sys.showReportsMenu({QStringLiteral("CNTR_OPEN"), QStringLiteral("PAYMENT")}, fill, &popup, print);
    };
    QObject::connect(print, &QPushButton::clicked, &window, offer);
    window.resize(520, 320);
    window.move(40, 40);
    window.show();

    const QString show = option("--show");
    if (show == QLatin1String("menu")) {
        QTimer::singleShot(300, &window, [&] {
            window.menuBar()->setActiveAction(documents->menuAction());
            QTimer::singleShot(300, &window,
                               [&] { documents->setActiveAction(documents->actions().value(0)); });
        });
    } else if (show == QLatin1String("popup")) {
        QTimer::singleShot(300, &window, offer);
    }
    const QString hold = option("--hold");
    if (!hold.isEmpty()) QTimer::singleShot(hold.toInt(), &app, &QApplication::quit);
    const int result = app.exec();
    ReportSys::ReportSystem::releaseInstance();
    return result;
}
