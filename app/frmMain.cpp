#include "app/frmMain.h"

#include "app/Forms.h"
#include "app/Resources.h"
#include "app/Twips.h"
#include "model/Globals.h"

frmMain::frmMain()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(AppTitleText);
    ApplyResCaptions(this);
    resize(TwipsToPixels(12000, this), TwipsToPixels(8600, this));
    InitData();
    Timer1().stop();
    Timer1().setInterval(ReplyTimeoutMs);
}

frmMain::~frmMain() = default;
