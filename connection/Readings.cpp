#include "connection/Readings.h"

#include "app/Forms.h"
#include "app/frmMain.h"
#include "connection/DisplayRules.h"
#include "connection/frmLoading.h"
#include "link/ItemMap.h"
#include "link/TxtBus.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/DiscretePanel.h"
#include "panels/Lamp.h"
#include "panels/PanelOfKind.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

namespace {

enum class When { Connect, Upload, Sweep };

// Told each channel of a configuration read before it is read.
std::function<void(int, int)> g_progress;

void tellProgress(int channel, int channels)
{
    if (g_progress)
        g_progress(channel, channels);
}

// One read; false when the transaction fails.
bool read(int16_t item, int16_t channel, QString &payload)
{
    return DataRead(item, channel, payload);
}

// One read whose payload must be a whole number (a type code, a switch, a selection). A payload
// that is not one is a failed read: nothing is stored from it.
bool readWhole(int16_t item, int16_t channel, int16_t &value)
{
    QString payload;
    if (!read(item, channel, payload))
        return false;
    const auto number = WholeNumber(payload);
    if (!number)
        return false;
    value = *number;
    return true;
}

// A read of a state that is only shown: a payload that is not a whole number shows no state.
bool readState(int16_t item, int16_t channel, ColouredCaption &caption)
{
    QString payload;
    if (!read(item, channel, payload))
        return false;
    caption = DiscreteCaption(WholeNumber(payload));
    return true;
}

// The step before each channel of a sweep.
void channelStep()
{
    QCoreApplication::processEvents();
    frmLoading::MonitorPause();
}

// ---- analog kinds ----

bool readAnalogChannel(AnalogPanel &panel, int kind, int16_t ch, When when)
{
    int16_t code = 0;
    if (!readWhole(Item::InputType, ch, code))
        return false;
    if (kind == KindK6 && (code < 48 || code > 67))
        code = 48;
    G.ChTypeCode[std::size_t(ch)] = code;
    SplitTypeCode(ch, code);
    panel.lblType(ch)->setText(TypeCaption(kind, code));

    if (when == When::Sweep) {
        QString payload;
        if (!read(Item::RealValue, ch, payload))
            return false;
        const ValueWithUnit real = RealValue(kind, code, payload);
        panel.lblReal(ch)->setText(real.text);
        panel.lblUnit1(ch)->setText(real.unit);
        if (!read(Item::RawValue, ch, payload))
            return false;
        const ValueWithUnit raw = RawValue(kind, code, payload);
        panel.lblRaw(ch)->setText(raw.text);
        panel.lblUnit2(ch)->setText(raw.unit);
    }
    if (kind != KindK6) {
        int16_t cjc = 0;
        if (!readWhole(Item::CjcSwitch, ch, cjc))
            return false;
        G.ChCjcSw[std::size_t(ch)] = cjc;
        panel.lblCjmSw(ch)->setText(CjcCaption(G.ChTypeCode[std::size_t(ch)], cjc));
    }
    if (when == When::Sweep) {
        QString payload;
        if (!read(Item::ChannelStatus, ch, payload))
            return false;
        panel.shpOut(ch)->setFillColor(LampColour(payload));
    }
    return true;
}

bool readAnalogModule(AnalogPanel &panel, int kind)
{
    ColouredCaption state;
    if (!readState(Item::DiscreteInput, 1, state))
        return false;
    ShowCaption(panel.lblDiscInput, state);

    if (kind == KindUt8) {
        int16_t alarm = 0;
        if (!readWhole(Item::DiscreteOutput, 1, alarm))
            return false;
        G.AlarmOut = alarm;
        ShowCaption(panel.lblDiscOutput, DiscreteCaption(int(alarm)));
    }

    int16_t burnout = 0;
    if (!readWhole(Item::Burnout, kind == KindUt8 ? 0 : 1, burnout))
        return false;
    G.BurnoutType = burnout;
    panel.lblBurnout->setText(BurnoutCaption(burnout));

    if (kind == KindUt8) {
        int16_t lineNoise = 0;
        if (!readWhole(Item::LineNoise, 0, lineNoise))
            return false;
        G.LineNoiseSel = lineNoise;
        panel.lblLineNoise->setText(LineNoiseCaption(lineNoise));
    }

    QString filter;
    if (!read(Item::FilterConst, 0, filter))
        return false;
    G.FilterConst = filter;
    panel.lblFilter->setText(filter);
    return true;
}

bool readAnalog(int kind, When when)
{
    AnalogPanel &panel = *AnalogPanelOfKind(kind);
    for (int16_t ch = 1; ch <= panel.channels(); ++ch) {
        if (when == When::Sweep) {
            channelStep();
            if (!G.MonitorOn)
                break; // stopped: the module-level reads of this pass are still made
        } else {
            tellProgress(ch, panel.channels());
        }
        if (!readAnalogChannel(panel, kind, ch, when))
            return false;
    }
    return readAnalogModule(panel, kind);
}

// ---- counter kind ----

bool readCounter(When when)
{
    frmL7 &panel = Forms::get<frmL7>();
    for (int16_t ch = 1; ch <= frmL7::Channels; ++ch) {
        if (when == When::Sweep) {
            channelStep();
            if (!G.MonitorOn)
                break;
        } else {
            tellProgress(ch, frmL7::Channels);
        }
        ColouredCaption input;
        if (!readState(Item::DiscreteInput, ch, input))
            return false;
        panel.lblDI(ch)->setText(input.text); // the input column takes no colour

        int16_t mode = 0;
        if (!readWhole(Item::DiscreteOutput, ch, mode))
            return false;
        G.ChDoMode[std::size_t(ch)] = mode;
        panel.lblDO(ch)->setText(OutputModeCaption(mode));

        QString payload;
        if (!read(Item::Count32, ch, payload))
            return false;
        panel.lbl32bit(ch)->setText(payload);
        if (!read(Item::CountPreset, ch, payload))
            return false;
        G.ChPreset[std::size_t(ch)] = payload;
        panel.lblPreset(ch)->setText(payload);
        if (!read(Item::CountRate, ch, payload))
            return false;
        panel.lblRate(ch)->setText(payload);
    }
    return true;
}

// ---- 32-point kinds: a started pass always covers every point ----

bool readPoints(DiscretePanel &panel, int16_t item, When when, frmE4 *outputs)
{
    for (int16_t p = 1; p <= DiscretePanel::Points; ++p) {
        if (when == When::Sweep)
            channelStep();
        else
            tellProgress(p, DiscretePanel::Points);
        ColouredCaption state;
        if (!readState(item, p, state))
            return false;
        ShowCaption(panel.Label1(p), state);
        if (outputs && when == When::Connect)
            outputs->cmdOut(p)->setEnabled(false);
    }
    return true;
}

void emptyCalibrationRow()
{
    frmMain &main = Forms::get<frmMain>();
    main.lblTitle(6)->clear();
    main.lblData(6)->clear();
}

bool readKind(int kind, When when, int modelIndex)
{
    switch (kind) {
    case KindUt5:
    case KindK6:
    case KindUt8:
        return readAnalog(kind, when);
    case KindL7:
        return readCounter(when);
    case KindE4: {
        if (when != When::Sweep)
            emptyCalibrationRow();
        frmE4 &panel = Forms::get<frmE4>();
        return readPoints(panel, Item::DiscreteOutput, when, &panel);
    }
    case KindF9: {
        frmF9 &panel = Forms::get<frmF9>();
        if (when != When::Sweep)
            emptyCalibrationRow();
        if (when == When::Connect) {
            const double version = frmLoading::VersionNumber(Forms::get<frmMain>().lblData(3)->text());
            const bool w2 = modelIndex >= 1 && modelIndex <= ModelCount &&
                            G.ModelName[std::size_t(modelIndex)] == QLatin1String("VQ7_F9W2");
            panel.cmdCntPre->setVisible(w2 || version >= 3.0);
        }
        return readPoints(panel, Item::DiscreteInput, when, nullptr);
    }
    default:
        return true;
    }
}

} // namespace

bool ReadConfiguration(int kind, int modelIndex, bool forUpload,
                       const std::function<void(int, int)> &progress)
{
    g_progress = progress;
    const bool ok = readKind(kind, forUpload ? When::Upload : When::Connect, modelIndex);
    g_progress = nullptr;
    return ok;
}

bool MonitorSweep(int kind)
{
    return readKind(kind, When::Sweep, 0);
}
