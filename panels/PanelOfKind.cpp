#include "panels/PanelOfKind.h"

#include "app/Forms.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/DiscretePanel.h"

AnalogPanel *AnalogPanelOfKind(int kind)
{
    switch (kind) {
    case KindUt5:
        return &Forms::get<frmUt5>();
    case KindK6:
        return &Forms::get<frmK6>();
    case KindUt8:
        return &Forms::get<frmUt8>();
    default:
        return nullptr;
    }
}

void ShowPanelOfKind(int kind)
{
    switch (kind) {
    case KindUt5:
        Forms::get<frmUt5>().Ut5();
        break;
    case KindK6:
        Forms::get<frmK6>().K6();
        break;
    case KindE4:
        Forms::get<frmE4>().E4();
        break;
    case KindF9:
        Forms::get<frmF9>().F9();
        break;
    case KindL7:
        Forms::get<frmL7>().L7();
        break;
    case KindUt8:
        Forms::get<frmUt8>().Ut8();
        break;
    default:
        break;
    }
}
