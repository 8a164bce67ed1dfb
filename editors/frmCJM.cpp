#include "editors/frmCJM.h"

#include "app/Forms.h"
#include "app/Modal.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmDialog.h"
#include "app/frmMain.h"
#include "connection/DisplayRules.h"
#include "link/ItemMap.h"
#include "link/TxtBus.h"
#include "model/Globals.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString CjmTitle = QStringLiteral("CJM Reference Temperature");

struct Limits
{
    const char *min;
    const char *max;
    const char *unit;
};
constexpr Limits TempLimits{"0.000", "100.000", "degC"};
constexpr Limits VoltLimits{"0.400", "0.700", "V"};

// The value as it goes to the module: "#0.000", "." as decimal point.
QString writtenText(const QString &typed)
{
    return ValueText(TextValue(typed));
}

// Both limits are excluded. The value checked is the one that will be written, so that a typed
// value rounding onto or past a limit (0.0001 is written 0.000) is refused like the limit itself.
bool withinLimits(const QString &typed, const Limits &limits)
{
    const double v = MeasuredValue(writtenText(typed));
    return v > QByteArray(limits.min).toDouble() && v < QByteArray(limits.max).toDouble();
}

QString limitMessage(const Limits &limits)
{
    const QString unit = QLatin1String(limits.unit);
    return QStringLiteral("Output set point must be ") + QLatin1String(limits.min) + unit +
           QStringLiteral(" to ") + QLatin1String(limits.max) + unit + QStringLiteral(".");
}

// The echo counts as a number: 25.5 answers 25.500.
bool echoes(const QString &reply, const QString &written)
{
    return MeasuredValue(reply) == MeasuredValue(written);
}

} // namespace

frmCJM::frmCJM() : EditorWindow(QStringLiteral("frmCJM"), 1040)
{
    Label1 = AddLabel("Label1", "CJC Sensor(CJM) Settings");
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label2 = AddLabel("Label2", "CJM Temp.");
    Label3 = AddLabel("Label3", "CJM Voltage");
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    for (QLineEdit *box : {Text1, Text2}) {
        box->setAlignment(Qt::AlignRight);
        box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) +
                             12);
    }
    Text1->setAccessibleName(Label2->text());
    Text2->setAccessibleName(Label3->text());
    Label2->setBuddy(Text1);
    Label3->setBuddy(Text2);
    lblUnit1 = AddLabel("lblUnit1", "degC");
    lblUnit2 = AddLabel("lblUnit2", "V");
    lblTempMin = AddLabel("lblTempMin", "");
    lblTempMax = AddLabel("lblTempMax", "");
    lblVolMin = AddLabel("lblVolMin", "");
    lblVolMax = AddLabel("lblVolMax", "");
    for (QLabel *limit : {lblTempMin, lblVolMin})
        limit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label5 = AddLabel("Label5", "<");
    Label6 = AddLabel("Label6", "<");
    Label4 = AddLabel("Label4", "<");
    Label7 = AddLabel("Label7", "<");
    cmdUp = AddButton("cmdUp", "Upload");
    SetTag(cmdUp, 2027);
    cmdDown = AddButton("cmdDown", "Download");
    SetTag(cmdDown, 2028);
    cmdExit = AddButton("cmdExit", "Exit");

    // min < value unit < max, one row per value.
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    const struct
    {
        QLabel *caption, *min, *less1;
        QLineEdit *box;
        QLabel *unit, *less2, *max;
    } rows[] = {{Label2, lblTempMin, Label5, Text1, lblUnit1, Label6, lblTempMax},
                {Label3, lblVolMin, Label4, Text2, lblUnit2, Label7, lblVolMax}};
    int r = 0;
    for (const auto &row : rows) {
        grid->addWidget(row.caption, r, 0);
        grid->addWidget(row.min, r, 1);
        grid->addWidget(row.less1, r, 2);
        grid->addWidget(row.box, r, 3);
        grid->addWidget(row.unit, r, 4);
        grid->addWidget(row.less2, r, 5);
        grid->addWidget(row.max, r, 6);
        ++r;
    }
    grid->setColumnMinimumWidth(0, 100);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdUp);
    buttons->addWidget(cmdDown);
    buttons->addWidget(cmdExit);
    auto *page = new QVBoxLayout(this);
    page->addWidget(Label1);
    page->addSpacing(6);
    page->addLayout(grid);
    page->addSpacing(6);
    page->addLayout(buttons);
    page->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdUp, &QPushButton::clicked, this, &frmCJM::cmdUp_Click);
    connect(cmdDown, &QPushButton::clicked, this, &frmCJM::cmdDown_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmCJM::cmdExit_Click);

    // Load
    ApplyResCaptions(this);
}

void frmCJM::CJM()
{
    if (!ModuleFree())
        return;
    frmCJM &window = Forms::get<frmCJM>();
    window.PlaceOnMain();
    window.lblTempMin->setText(QLatin1String(TempLimits.min));
    window.lblTempMax->setText(QLatin1String(TempLimits.max));
    window.lblVolMin->setText(QLatin1String(VoltLimits.min));
    window.lblVolMax->setText(QLatin1String(VoltLimits.max));
    bool read = false;
    {
        // The present link: the command is enabled only while it is up.
        EditorCommand command(window);
        if (command) {
            G.CommForm = &Forms::get<frmMain>();
            read = window.readValues();
            if (!read)
                MsgBox(LoadResString(3004), MsgIcon::Critical, CjmTitle);
        }
    }
    if (read)
        ShowModal(window);
    Forms::unload<frmCJM>();
}

bool frmCJM::readValues()
{
    QString reply;
    if (!DataRead(Item::CjmTemp, 0, reply))
        return false;
    Text1->setText(ValueText(MeasuredValue(reply)));
    if (!DataRead(Item::CjmVolt, 0, reply))
        return false;
    Text2->setText(ValueText(MeasuredValue(reply)));
    return true;
}

void frmCJM::cmdUp_Click()
{
    EditorCommand command(*this);
    if (!command)
        return;
    if (!OpenLink()) {
        close(); // CommOpen has told why
        return;
    }
    if (!readValues()) {
        MsgBox(LoadResString(3004), MsgIcon::Critical, CjmTitle);
        close();
    }
}

bool frmCJM::checkValues()
{
    const std::pair<QLineEdit *, QLabel *> fields[] = {{Text1, Label2}, {Text2, Label3}};
    for (const auto &[box, caption] : fields) {
        if (!IsModuleText(box->text())) {
            RefuseFieldText(caption->text(), box->text());
            return false;
        }
    }
    if (!withinLimits(Text1->text(), TempLimits)) {
        MsgBox(limitMessage(TempLimits), MsgIcon::Exclamation, QStringLiteral("CJM Temp Check"));
        return false;
    }
    if (!withinLimits(Text2->text(), VoltLimits)) {
        MsgBox(limitMessage(VoltLimits), MsgIcon::Exclamation,
               QStringLiteral("CJM Voltage Check"));
        return false;
    }
    return true;
}

void frmCJM::cmdDown_Click()
{
    if (!checkValues())
        return;
    frmDialog::Dialog(QStringLiteral("Starting download for CJM Setting."));
    if (!G.DialogOk)
        return;
    EditorCommand command(*this);
    if (!command)
        return;
    if (!OpenLink()) {
        close(); // CommOpen has told why
        return;
    }
    if (!download()) {
        MsgBox(LoadResString(3003), MsgIcon::Critical, CjmTitle);
        close();
    }
}

bool frmCJM::download()
{
    QString reply;
    // CjmTemp keeps what was sent even when the module refuses it; CjmVolt only follows a
    // temperature the module took.
    G.CjmTemp = writtenText(Text1->text());
    if (!ParameterWrite(Item::CjmTemp, G.CjmTemp, reply) || !echoes(reply, G.CjmTemp))
        return false;
    G.CjmVolt = writtenText(Text2->text());
    return ParameterWrite(Item::CjmVolt, G.CjmVolt, reply) && echoes(reply, G.CjmVolt);
}

void frmCJM::cmdExit_Click()
{
    close();
}
