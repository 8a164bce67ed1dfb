// Pictures of the editor windows for the documentation: connects to a simulated module in-process,
// opens one editor as its command does and saves the window as a PNG.
//
//   QT_QPA_PLATFORM=offscreen build/bench/tarvik-editor-screenshot EDITOR MODEL FILE.png [en|ja]
//
// EDITOR: type, burnout, filter, noise, alarm or cjm.

#include "app/Forms.h"
#include "app/Modal.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmCommPort.h"
#include "app/frmMain.h"
#include "editors/frmAlarm.h"
#include "editors/frmBurnout.h"
#include "editors/frmCJM.h"
#include "editors/frmLineNoise.h"
#include "editors/frmTimeCon.h"
#include "editors/frmType.h"
#include "model/Globals.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QPushButton>

#include <cstdio>
#include <functional>
#include <map>

namespace {

// The window's contents under a plain title strip with its title: the offscreen platform draws no
// window frame, and the title is part of what the picture shows.
QImage withTitle(QDialog &dialog)
{
    const QPixmap contents = dialog.grab();
    const int strip = dialog.fontMetrics().height() + 10;
    QImage picture(contents.width() + 2, contents.height() + strip + 1, QImage::Format_RGB32);
    picture.fill(QColor(120, 140, 170));
    QPainter painter(&picture);
    painter.drawPixmap(1, strip, contents);
    QFont bold = dialog.font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, picture.width(), strip), Qt::AlignCenter, dialog.windowTitle());
    return picture;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const std::map<QString, std::function<void()>> openers{
        {QStringLiteral("type"), [] { G.SelChannel = 1; frmType::TypeSet(); }},
        {QStringLiteral("burnout"), [] { frmBurnout::BurnoutSet(); }},
        {QStringLiteral("filter"), [] { frmTimeCon::FilterSet(); }},
        {QStringLiteral("noise"), [] { frmLineNoise::LineNoiseSet(); }},
        {QStringLiteral("alarm"), [] { frmAlarm::AlarmSet(); }},
        {QStringLiteral("cjm"), [] { frmCJM::CJM(); }},
    };
    if (argc < 4 || !openers.count(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: %s type|burnout|filter|noise|alarm|cjm MODEL FILE.png [en|ja]\n",
                     argv[0]);
        return 2;
    }
    const QString model = QString::fromLocal8Bit(argv[2]);
    if (!SimModule::IsCatalogueModel(model)) {
        std::fprintf(stderr, "%s: not a catalogue model\n", argv[2]);
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[3]);
    SetUiLanguage(argc > 4 && QByteArray(argv[4]) == "ja" ? UiLanguage::Japanese
                                                          : UiLanguage::English);
    auto module = InstallSimModule(model);
    module->setDeterministic(true, 7);

    QStringList told;
    bool saved = false;
    SetMsgBoxHook([&told](const MsgRecord &box) { told << box.prompt; });
    SetModalHook([&](QDialog &dialog) {
        if (auto *port = qobject_cast<frmCommPort *>(&dialog)) {
            port->cmdOK->click();
            return;
        }
        if (qobject_cast<EditorWindow *>(&dialog))
            saved = withTitle(dialog).save(file);
        dialog.reject();
    });

    frmMain &main = Forms::get<frmMain>();
    main.show();
    main.mnuConnConn->trigger();
    openers.at(QString::fromLocal8Bit(argv[1]))();
    QApplication::processEvents();

    if (!told.isEmpty())
        std::fprintf(stderr, "the program said: %s\n", qPrintable(told.join(QStringLiteral(" / "))));
    Forms::unloadAll();
    return saved && told.isEmpty() ? 0 : 1;
}
