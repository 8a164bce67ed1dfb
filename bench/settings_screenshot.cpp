// Pictures of the settings windows for the documentation: connects to a simulated module
// in-process, opens the window as the user opens it and saves it as a PNG.
//
//   QT_QPA_PLATFORM=offscreen build/bench/tarvik-settings-screenshot WINDOW FILE.png [en|ja]
//
// WINDOW: modbus (frmModSet, UT5 module), modbus-ut8 (frmModSetUt8), count (frmCount, channel 3
// of an L7 module), count-set (frmCountSet), count-preset (frmCntPreset, F9W2 module).

#include "app/Forms.h"
#include "app/Modal.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmCommPort.h"
#include "app/frmMain.h"
#include "model/Globals.h"
#include "panels/DiscretePanel.h"
#include "settings/CountPresets.h"
#include "settings/CounterSettings.h"
#include "settings/ModbusSettings.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>

#include <cstdio>
#include <functional>

namespace {

struct Shot
{
    const char *window;
    const char *model;
    std::function<void()> open;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const Shot shots[] = {
        {"modbus", "VQ7_UT5", [] { Forms::get<frmMain>().mnuConfigModBus->trigger(); }},
        {"modbus-ut8", "VQ7S_UT8", [] { Forms::get<frmMain>().mnuConfigModBus->trigger(); }},
        {"count", "VQ7_L7", [] { Forms::get<frmL7>().cmdCh(3)->click(); }},
        {"count-set", "VQ7_L7", [] { Forms::get<frmMain>().mnuConfigCount->trigger(); }},
        {"count-preset", "VQ7_F9W2", [] { Forms::get<frmF9>().cmdCntPre->click(); }},
    };
    const Shot *shot = nullptr;
    for (const Shot &s : shots) {
        if (argc >= 3 && QByteArray(argv[1]) == s.window)
            shot = &s;
    }
    if (!shot) {
        std::fprintf(stderr, "usage: %s modbus|modbus-ut8|count|count-set|count-preset FILE.png "
                             "[en|ja]\n",
                     argv[0]);
        return 2;
    }
    SetUiLanguage(argc > 3 && QByteArray(argv[3]) == "ja" ? UiLanguage::Japanese
                                                          : UiLanguage::English);
    auto module = InstallSimModule(QString::fromLatin1(shot->model));
    module->setDeterministic(true, 7);
    for (int ch = 1; ch <= 16; ++ch) {
        module->setCount(ch, quint32(1000 * ch + 37));
        module->setPreset(ch, quint32(5000 + 250 * ch));
    }

    QStringList told;
    bool saved = false;
    const QString file = QString::fromLocal8Bit(argv[2]);
    SetMsgBoxHook([&told](const MsgRecord &box) { told << box.prompt; });
    SetModalHook([&](QDialog &dialog) {
        if (auto *port = qobject_cast<frmCommPort *>(&dialog)) {
            port->cmdOK->click();
            return;
        }
        if (qobject_cast<SettingsWindow *>(&dialog)) {
            QApplication::processEvents();
            saved = dialog.grab().save(file);
        }
        dialog.reject();
    });

    frmMain &main = Forms::get<frmMain>();
    main.show();
    main.mnuConnConn->trigger();
    G.MonitorHold = false;
    shot->open();

    if (!told.isEmpty())
        std::fprintf(stderr, "the program said: %s\n", qPrintable(told.join(QStringLiteral(" / "))));
    Forms::unloadAll();
    return saved && told.isEmpty() ? 0 : 1;
}
