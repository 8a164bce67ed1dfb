// Fuzzes what the program does with bytes from the module: the reply assembly of an exchange over
// arbitrary chunks, the reply check, and the conversions of a payload into whole numbers, measured
// values, value texts and version numbers.
// Input: chunks, each one length byte followed by that many bytes (the last chunk takes what is
// left). The chunks arrive one after another through the event loop, as a serial line delivers them.

#include "app/MsgBox.h"
#include "connection/DisplayRules.h"
#include "connection/frmLoading.h"
#include "link/Communication.h"
#include "link/MemorySerialPort.h"
#include "link/TxtBus.h"
#include "model/Globals.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

MemorySerialPort *g_port = nullptr;

QList<QByteArray> Chunks(const uint8_t *data, std::size_t size)
{
    QList<QByteArray> chunks;
    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t length = data[pos++];
        const std::size_t take = std::min(length, size - pos);
        chunks << QByteArray(reinterpret_cast<const char *>(data + pos), qsizetype(take));
        pos += take;
    }
    return chunks;
}

void CheckValueText(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral(R"(^-?\d+\.\d{3}$)"));
    Check(shape.match(text).hasMatch());
}

void CheckPayload(const QString &payload)
{
    Check(IsPlainText(payload));
    Check(!payload.startsWith(QLatin1Char(' ')) && !payload.endsWith(QLatin1Char(' ')));

    if (const auto number = WholeNumber(payload)) {
        bool ok = false;
        Check(payload.trimmed().toInt(&ok) == *number && ok);
    }
    const double v = MeasuredValue(payload);
    Check(std::isfinite(v));
    for (const int kind : {KindUt5, KindK6, KindUt8}) {
        for (const int code : {0, 5, 17, 48, 64}) {
            CheckValueText(RealValue(kind, code, payload).text);
            CheckValueText(RawValue(kind, code, payload).text);
        }
    }
    (void)frmLoading::VersionNumber(payload);
    (void)LampColour(payload);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    InitData();
    SetMsgBoxHook([](const MsgRecord &) {});
    SetSerialPortFactory([] {
        auto port = std::make_unique<MemorySerialPort>();
        g_port = port.get();
        return port;
    });
    static CommHost host;
    G.CommForm = &host;
    host.Timer1().setInterval(1); // a reply without its CR ends quickly
    g_port->setSettings(LineSettingsText);
    g_port->setCommPort(1);
    g_port->open();
    g_port->setReplyDelay(0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const QList<QByteArray> chunks = Chunks(data, size);
    g_port->setResponder([&chunks](const QByteArray &) { return chunks; });
    G.TimeoutFlag = false;

    const QString reply = SendReceive(QStringLiteral("D01\r"));
    // What an exchange returns is what arrived, in order, and no more than up to a chunk that
    // ends with CR.
    const QByteArray all = chunks.join();
    Check(reply.size() <= all.size());
    Check(reply.toLatin1() == all.left(reply.size()));
    if (!G.TimeoutFlag) {
        Check(reply.endsWith(QLatin1Char('\r')));
        QByteArray upToFirstEnd;
        for (const QByteArray &chunk : chunks) {
            upToFirstEnd += chunk;
            if (chunk.endsWith('\r'))
                break;
        }
        Check(reply.size() >= upToFirstEnd.size() || upToFirstEnd.isEmpty());
    }

    QString checked = reply;
    if (ReplyCheck(checked))
        CheckPayload(checked);
    else
        Check(checked == reply);
    G.TimeoutFlag = false;

    // The same bytes as one reply, as the check meets them after any assembly.
    QString whole = QString::fromLatin1(all);
    if (ReplyCheck(whole))
        CheckPayload(whole);
    return 0;
}
