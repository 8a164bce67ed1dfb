// Pictures of the calibration windows for the documentation: connects to a simulated module
// in-process, makes one monitoring sweep, opens the windows as the engineer does and saves each
// as a PNG in the folder given:
//   zero-span-channel.png, zero-span-setting.png (UT5 channel 3), compensation.png (K6 channel 7,
//   a resistance range), compensation-line-res.png (K6 channel 1, a resistance thermometer);
//   with "-ja" before ".png" for the Japanese tables.
//
//   QT_QPA_PLATFORM=offscreen build/bench/tarvik-screenshot-adjust DIR [en|ja]

#include "adjust/frmSetComp.h"
#include "adjust/frmSetZeroSpan.h"
#include "adjust/frmZeroSpan.h"
#include "app/Forms.h"
#include "app/Modal.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmCommPort.h"
#include "app/frmMain.h"
#include "connection/Readings.h"
#include "model/Globals.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

QString folder;
QString suffix;
QStringList saved, failed;

void save(QWidget &window, const QString &name)
{
    const QString path = QDir(folder).filePath(name + suffix + QStringLiteral(".png"));
    (window.grab().save(path) ? saved : failed) << path;
}

// Connects the main window to a simulated module of the model and runs one sweep, so that the
// panel shows live values and units.
void connectTo(const QString &model)
{
    Forms::unloadAll();
    auto module = InstallSimModule(model);
    module->setDeterministic(true, 7);
    if (module->kind() == KindUt5) {
        module->setTypeCode(3, 1); // -5 to 5 V
        module->setInput(3, 1.234);
    }
    frmMain &main = Forms::get<frmMain>();
    main.show();
    main.mnuConnConn->trigger();
    G.MonitorHold = false;
    G.MonitorOn = true;
    MonitorSweep(G.curKind());
    G.MonitorOn = false;
    QApplication::processEvents();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [en|ja]\n", argv[0]);
        return 2;
    }
    folder = QString::fromLocal8Bit(argv[1]);
    const bool japanese = argc > 2 && QByteArray(argv[2]) == "ja";
    suffix = japanese ? QStringLiteral("-ja") : QString();
    SetUiLanguage(japanese ? UiLanguage::Japanese : UiLanguage::English);

    QStringList told;
    SetMsgBoxHook([&told](const MsgRecord &box) { told << box.prompt; });
    SetModalHook([](QDialog &dialog) {
        QPointer<QDialog> window(&dialog);
        if (auto *port = qobject_cast<frmCommPort *>(&dialog)) {
            port->cmdOK->click();
        } else if (auto *channels = qobject_cast<frmZeroSpan *>(&dialog)) {
            channels->cboChannel->setCurrentIndex(2);
            save(*channels, QStringLiteral("zero-span-channel"));
            channels->cmdZero->click();
            if (window)
                channels->cmdExit->click();
        } else if (auto *setting = qobject_cast<frmSetZeroSpan *>(&dialog)) {
            // After a few live readings, with the true value typed in.
            QTimer::singleShot(1200, setting, [setting] {
                setting->txtReal->setText(QStringLiteral("1.25"));
                save(*setting, QStringLiteral("zero-span-setting"));
                setting->cmdExit->click();
            });
        } else if (auto *compensation = qobject_cast<frmSetComp *>(&dialog)) {
            compensation->cboChannel->setCurrentIndex(6);
            compensation->cboChannel_Click();
            QTimer::singleShot(1200, compensation, [compensation] {
                save(*compensation, QStringLiteral("compensation"));
                compensation->cboChannel->setCurrentIndex(0);
                compensation->cboChannel_Click();
                QTimer::singleShot(1200, compensation, [compensation] {
                    save(*compensation, QStringLiteral("compensation-line-res"));
                    compensation->cmdExit->click();
                });
            });
        } else {
            dialog.reject();
        }
    });

    connectTo(QStringLiteral("VQ7_UT5"));
    Forms::get<frmMain>().mnuAdjZeroSpan->trigger();
    connectTo(QStringLiteral("VQ7_K6"));
    Forms::get<frmMain>().mnuAdjComp->trigger();
    Forms::unloadAll();

    for (const QString &path : saved)
        std::printf("%s\n", qPrintable(path));
    if (!told.isEmpty())
        std::fprintf(stderr, "the program said: %s\n",
                     qPrintable(told.join(QStringLiteral(" / "))));
    if (!failed.isEmpty())
        std::fprintf(stderr, "not saved: %s\n", qPrintable(failed.join(QStringLiteral(", "))));
    return failed.isEmpty() && told.isEmpty() && saved.size() == 4 ? 0 : 1;
}
