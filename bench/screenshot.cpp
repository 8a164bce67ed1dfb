// Pictures of the main window for the documentation: connects to a simulated module in-process,
// makes one monitoring sweep and saves the window as a PNG.
//
//   QT_QPA_PLATFORM=offscreen build/bench/tarvik-screenshot MODEL FILE.png [en|ja]

#include "app/Forms.h"
#include "app/Resources.h"
#include "app/frmMain.h"
#include "bench/Unattended.h"
#include "connection/Readings.h"
#include "model/Globals.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s MODEL FILE.png [en|ja]\n", argv[0]);
        return 2;
    }
    const QString model = QString::fromLocal8Bit(argv[1]);
    if (!SimModule::IsCatalogueModel(model)) {
        std::fprintf(stderr, "%s: not a catalogue model\n", argv[1]);
        return 2;
    }
    SetUiLanguage(argc > 3 && QByteArray(argv[3]) == "ja" ? UiLanguage::Japanese
                                                          : UiLanguage::English);
    auto module = InstallSimModule(model);
    module->setDeterministic(true, 7);

    QStringList told;
    RunUnattended(told);

    frmMain &main = Forms::get<frmMain>();
    main.show();
    main.mnuConnConn->trigger();
    // Connect leaves the loop held until Start; the sweep here stands for one pass of it.
    G.MonitorHold = false;
    G.MonitorOn = true;
    MonitorSweep(G.curKind());
    G.MonitorOn = false;
    QApplication::processEvents();

    if (!told.isEmpty())
        std::fprintf(stderr, "the program said: %s\n", qPrintable(told.join(QStringLiteral(" / "))));
    const bool saved = main.grab().save(QString::fromLocal8Bit(argv[2]));
    Forms::unloadAll();
    return saved && told.isEmpty() ? 0 : 1;
}
