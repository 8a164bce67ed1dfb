#include "settings/CountPresets.h"

#include "app/Forms.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmDialog.h"
#include "app/frmMain.h"
#include "link/Communication.h"
#include "link/ItemMap.h"
#include "link/ModuleCommand.h"
#include "link/TxtBus.h"
#include "model/Globals.h"
#include "panels/PanelParts.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int RowsPerColumn = 8;

// Headings over each column: (upper, lower) for the channel, the count and the preset.
constexpr const char *Headings[6] = {"Ch.", "No.", "32bit ", "Count Data", "Count", "Preset Data"};

QPushButton *makeButton(QWidget *parent, const char *name, const char *caption)
{
    auto *b = new QPushButton(QLatin1String(caption), parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmCntPreset::frmCntPreset() : SettingsWindow(QStringLiteral("frmCntPreset"))
{
    setWindowTitle(QStringLiteral("Count Data"));
    auto *columns = new QHBoxLayout;
    for (int column = 0; column < 2; ++column) {
        auto *grid = new QGridLayout;
        grid->setVerticalSpacing(3);
        grid->setHorizontalSpacing(6);
        for (int h = 0; h < 6; ++h) {
            const int i = column * 6 + h;
            m_lblTitle[std::size_t(i)] = HeadingLabel(this, ArrayName("lblTitle", i),
                                                      QLatin1String(Headings[h]));
            grid->addWidget(m_lblTitle[std::size_t(i)], h % 2, h / 2 + 1);
        }
        for (int row = 0; row < RowsPerColumn; ++row) {
            const int ch = column * RowsPerColumn + row + 1;
            const auto c = std::size_t(ch);
            // The frame lies behind the row's cells, in the same grid, so that the cells line up
            // with the headings; made first, it is drawn first.
            m_frame[c] = new QFrame(this);
            m_frame[c]->setObjectName(ArrayName("frame", ch));
            m_frame[c]->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
            m_frame[c]->setMinimumHeight(30);
            m_lblNo[c] = CaptionLabel(this, ArrayName("lblNo", ch), QStringLiteral("%1:").arg(ch));
            m_lblNo[c]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_lblNo[c]->setMinimumWidth(
                m_lblNo[c]->fontMetrics().horizontalAdvance(QStringLiteral("16:")) + 12);
            m_lbl32bitCnt[c] =
                ValueLabel(this, ArrayName("lbl32bitCnt", ch), ValueStyle::Number, 10);
            m_txtPreset[c] = new QLineEdit(this);
            m_txtPreset[c]->setObjectName(ArrayName("txtPreset", ch));
            m_txtPreset[c]->setAlignment(Qt::AlignRight);
            m_txtPreset[c]->setMinimumWidth(
                m_txtPreset[c]->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
            m_lblNo[c]->setBuddy(m_txtPreset[c]);
            const int gridRow = row + 2;
            grid->addWidget(m_frame[c], gridRow, 0, 1, 5);
            grid->addWidget(m_lblNo[c], gridRow, 1);
            grid->addWidget(m_lbl32bitCnt[c], gridRow, 2);
            grid->addWidget(m_txtPreset[c], gridRow, 3);
            connect(m_txtPreset[c], &QLineEdit::textChanged, this,
                    [this, ch] { txtPreset_Change(ch); });
        }
        // Narrow columns at both ends keep the cells inside their frames.
        grid->setColumnMinimumWidth(0, 2);
        grid->setColumnMinimumWidth(4, 2);
        columns->addLayout(grid);
        if (column == 0) {
            Line1 = new QFrame(this);
            Line1->setObjectName(QStringLiteral("Line1"));
            Line1->setFrameStyle(QFrame::VLine | QFrame::Sunken);
            columns->addSpacing(6);
            columns->addWidget(Line1);
            columns->addSpacing(6);
        }
    }

    cmdUpload = makeButton(this, "cmdUpload", "Upload");
    cmdDownload = makeButton(this, "cmdDownload", "Download");
    cmdExit = makeButton(this, "cmdExit", "Exit");
    connect(cmdUpload, &QPushButton::clicked, this, &frmCntPreset::cmdUpload_Click);
    connect(cmdDownload, &QPushButton::clicked, this, &frmCntPreset::cmdDownload_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmCntPreset::cmdExit_Click);
    setExitButton(cmdExit);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdUpload);
    buttons->addWidget(cmdDownload);
    buttons->addWidget(cmdExit);

    auto *page = new QVBoxLayout(this);
    page->addLayout(columns);
    page->addSpacing(6);
    page->addLayout(buttons);

    // Load
    m_filling = true;
    for (int ch = 1; ch <= Channels; ++ch) {
        lbl32bitCnt(ch)->setText(QStringLiteral("0"));
        txtPreset(ch)->setText(QStringLiteral("0"));
        AcceptEntry(*txtPreset(ch));
    }
    m_filling = false;
}

void frmCntPreset::CntPreset()
{
    PlaceFromMain(*this, 3100, 1080);
    ShowAndUnload(*this, prepare());
}

bool frmCntPreset::prepare()
{
    ModuleCommand command;
    if (!command)
        return false;
    G.CommForm = &Forms::get<frmMain>();
    CommOpen();
    if (!G.LinkUp)
        return false;
    if (readRows())
        return true;
    MsgBox(LoadResString(3004), MsgIcon::Critical, QStringLiteral("Reading"));
    return false;
}

bool frmCntPreset::readRows()
{
    for (int16_t ch = 1; ch <= Channels; ++ch) {
        QString reply;
        if (!DataRead(Item::Count32, ch, reply))
            return false;
        lbl32bitCnt(ch)->setText(reply);
        if (!DataRead(Item::CountPreset, ch, reply))
            return false;
        // The module's own text: the entry check is for what the user types.
        m_filling = true;
        txtPreset(ch)->setText(reply);
        m_filling = false;
        AcceptEntry(*txtPreset(ch));
    }
    return true;
}

void frmCntPreset::txtPreset_Change(int ch)
{
    if (m_filling)
        return;
    QLineEdit &box = *txtPreset(ch);
    const QString text = box.text();
    if (text.size() > PresetDigits) {
        MsgBox(PresetRangeText, MsgIcon::Information, PresetCheckTitle);
        const int caret = std::min(int(box.cursorPosition()), PresetDigits);
        box.setText(text.left(PresetDigits)); // runs this handler again
        box.setCursorPosition(caret);
        return;
    }
    CheckPositiveEntry(box);
}

void frmCntPreset::cmdUpload_Click()
{
    ModuleCommand command;
    if (!command)
        return;
    bool read = false;
    {
        Talk talk(*this);
        cmdDownload->setEnabled(false);
        cmdExit->setEnabled(false);
        read = LinkReady() && readRows();
        cmdDownload->setEnabled(true);
        cmdExit->setEnabled(true);
    }
    if (!read)
        MsgBox(LoadResString(3004), MsgIcon::Critical, QStringLiteral("Uploading"));
}

void frmCntPreset::cmdDownload_Click()
{
    ModuleCommand command;
    if (!command)
        return;
    // An empty preset would make the data command a read; nothing is written while one is there.
    for (int ch = 1; ch <= Channels; ++ch) {
        if (!IsPresetText(txtPreset(ch)->text())) {
            MsgBox(PresetRangeText, MsgIcon::Information, PresetCheckTitle);
            txtPreset(ch)->setFocus();
            txtPreset(ch)->selectAll();
            return;
        }
    }
    frmDialog::Dialog(QStringLiteral("Starting download for Count Preset Data."));
    if (!G.DialogOk)
        return;

    bool written = false;
    {
        Talk talk(*this);
        G.CommForm = &Forms::get<frmMain>();
        CommOpen();
        written = G.LinkUp;
        if (written) {
            cmdUpload->setEnabled(false);
            cmdExit->setEnabled(false);
            for (int16_t ch = 1; ch <= Channels && written; ++ch) {
                const QString preset = txtPreset(ch)->text();
                written = WriteEchoed(Item::CountPreset, NN(ch) + preset, preset);
            }
            cmdUpload->setEnabled(true);
            cmdExit->setEnabled(true);
        }
    }
    if (!written)
        MsgBox(LoadResString(3003), MsgIcon::Critical, QStringLiteral("Downloading"));
}

void frmCntPreset::cmdExit_Click()
{
    closeWindow();
}
