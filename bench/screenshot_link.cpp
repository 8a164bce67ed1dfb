// Pictures of the port dialog, its device chooser, the communication log and the lost-module strip
// for the documentation. The serial ports listed are sample adapters (a fixed list, the same on
// every machine); the module is the in-process simulator. Nothing of the user's own settings is
// read or written.
//
//   QT_QPA_PLATFORM=offscreen build/bench/tarvik-screenshot-link DIR [en|ja]

#include "app/Forms.h"
#include "app/Resources.h"
#include "app/frmCommLog.h"
#include "app/frmCommPort.h"
#include "app/frmMain.h"
#include "app/frmPortDevice.h"
#include "bench/Unattended.h"
#include "connection/Readings.h"
#include "connection/ReconnectStrip.h"
#include "link/CommLog.h"
#include "link/PortNames.h"
#include "model/Globals.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

namespace {

QList<PortEntry> sampleAdapters()
{
    return {{"/dev/ttyS0", "", "", "", 0, 0},
            {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K7QZ3", 0x0403, 0x6001},
            {"/dev/ttyUSB1", "USB Serial", "QinHeng Electronics", "", 0x1a86, 0x7523},
            {"/dev/ttyACM0", "USB-RS485 Converter", "Tanvero", "TV240118", 0x2e8a, 0x000a}};
}

void settle()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 100)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget &widget, const QString &path)
{
    settle();
    const bool saved = widget.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [en|ja]\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const bool japanese = argc > 2 && QByteArray(argv[2]) == "ja";
    const QString suffix = japanese ? QStringLiteral("-ja.png") : QStringLiteral(".png");
    SetUiLanguage(japanese ? UiLanguage::Japanese : UiLanguage::English);

    QTemporaryDir settings;
    SetPortSettingsFile(settings.filePath(QStringLiteral("ports.ini")));
    SetPortLister(sampleAdapters);
    qunsetenv("TARVIK_COM1");
    qunsetenv("TARVIK_COM2");
    RememberAdapter(1, sampleAdapters().at(1));

    QStringList told;
    RunUnattended(told);
    bool ok = true;

    {
        frmCommPort &dialog = Forms::get<frmCommPort>();
        dialog.show();
        ok = save(dialog, dir.filePath(QStringLiteral("port-dialog") + suffix)) && ok;
        Forms::unload<frmCommPort>();

        frmPortDevice &chooser = Forms::get<frmPortDevice>();
        chooser.optTarget(1)->setChecked(true);
        chooser.cmdRefresh_Click();
        chooser.show();
        ok = save(chooser, dir.filePath(QStringLiteral("device-chooser") + suffix)) && ok;
        Forms::unload<frmPortDevice>();
    }

    // A connect whose first group select is answered late and which the module refuses one read,
    // then a few sweeps of monitoring.
    auto module = InstallSimModule(QStringLiteral("VQ7_UT5"));
    module->setDeterministic(true, 7);
    module->addFault(SimFault::delay(400).onCommand("G01").limit(1));
    module->addFault(SimFault::refuse().onItem(93).limit(1));
    frmMain &main = Forms::get<frmMain>();
    main.Timer1().setInterval(300);
    main.show();
    SetMsgBoxHook([&told, &main](const MsgRecord &box) {
        // The late reply comes in while the user reads the box.
        if (box.prompt == QLatin1String("Timeout")) {
            QElapsedTimer clock;
            clock.start();
            while (main.MSComm1().inBufferCount() == 0 && clock.elapsed() < 2000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            return;
        }
        told << box.prompt;
    });
    main.mnuConnConn->trigger();
    G.MonitorHold = false;
    G.MonitorOn = true;
    for (int i = 0; i < 2; ++i)
        MonitorSweep(G.curKind());
    G.MonitorOn = false;

    frmCommLog &log = frmCommLog::Open(main);
    log.resize(980, 520);
    log.Refresh();
    log.lstLog->scrollToTop();
    ok = save(log, dir.filePath(QStringLiteral("comm-log") + suffix)) && ok;
    log.hide();

    // A clean connect, then the cable pulled: one box, then the strip with Reconnect.
    main.mnuConnDisConn->trigger();
    module->clearFaults();
    main.mnuConnConn->trigger();
    G.MonitorHold = false;
    G.MonitorOn = true;
    MonitorSweep(G.curKind());
    G.MonitorOn = false;
    SetMsgBoxHook([](const MsgRecord &) {});
    module->dropConnection();
    settle();
    main.reconnectStrip->Refresh();
    ok = save(main, dir.filePath(QStringLiteral("module-lost") + suffix)) && ok;

    if (!told.isEmpty())
        std::fprintf(stderr, "the program said: %s\n",
                     qPrintable(told.join(QStringLiteral(" / "))));
    Forms::unloadAll();
    SetPortLister({});
    return ok && told.isEmpty() ? 0 : 1;
}
