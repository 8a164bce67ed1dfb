#include "tests/support/TestSupport.h"

#include "app/Forms.h"
#include "app/Modal.h"
#include "app/Resources.h"
#include "link/CommLog.h"
#include "link/Communication.h"
#include "link/LinkRecovery.h"
#include "link/PortNames.h"
#include "model/Globals.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

namespace {
// The offscreen platform warns about every window it sizes or raises; the warning says nothing
// about the program, so it is kept out of the test output.
QtMessageHandler previousHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support propagateSizeHints")) ||
        message.contains(QLatin1String("does not support raise()")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}
// Installed on top of the test framework's own handler, which exists only once tests run.
void installQuietHandler()
{
    static const bool installed = [] {
        previousHandler = qInstallMessageHandler(quietHandler);
        return true;
    }();
    Q_UNUSED(installed);
}
// What a test that expects no box or window gets: nothing ever waits for a click. A box is echoed
// to the log; a modal window is closed at once and reported, so a forgotten answer fails loudly
// instead of hanging the test.
void fallbackMsgBox(const MsgRecord &record)
{
    qWarning("message box not expected by the test: [%s] %s", qPrintable(record.title),
             qPrintable(record.prompt));
}

void fallbackModal(QDialog &window)
{
    qCritical("modal window not expected by the test: %s", window.metaObject()->className());
    window.reject();
}
} // namespace

void InstallTestFallbacks()
{
    SetMsgBoxHook(fallbackMsgBox);
    SetModalHook(fallbackModal);
}

MsgRecorder::MsgRecorder()
{
    SetMsgBoxHook([this](const MsgRecord &record) {
        m_boxes.append(record);
        if (onBox)
            onBox(record);
    });
}

MsgRecorder::~MsgRecorder()
{
    SetMsgBoxHook(fallbackMsgBox);
}

QStringList MsgRecorder::prompts() const
{
    QStringList list;
    for (const MsgRecord &r : m_boxes)
        list << r.prompt;
    return list;
}

ModalAnswerer::ModalAnswerer()
{
    SetModalHook([this](QDialog &window) { onModal(window); });
}

ModalAnswerer::~ModalAnswerer()
{
    SetModalHook(fallbackModal);
}

void ModalAnswerer::queue(const char *type, Answer answer, std::function<bool(QDialog &)> matches)
{
    m_answers.append({QString::fromLatin1(type), std::move(answer), std::move(matches)});
}

void ModalAnswerer::onModal(QDialog &window)
{
    m_shown << QString::fromLatin1(window.metaObject()->className());
    if (m_answers.isEmpty()) {
        m_problems << QStringLiteral("unexpected modal window %1").arg(m_shown.last());
        window.reject();
        return;
    }
    Pending next = m_answers.takeFirst();
    if (!next.matches(window)) {
        m_problems << QStringLiteral("expected %1, got %2").arg(next.type, m_shown.last());
        window.reject();
        return;
    }
    // An answer may end with the window gone (unloaded by what it pressed).
    QPointer<QDialog> guard(&window);
    next.answer(window);
    if (!guard)
        return;
    // An answer may leave the window open on purpose for a while (its own timers go on); past a
    // generous deadline it is closed so that a test never hangs.
    QTimer::singleShot(20000, guard.data(), [this, guard] {
        if (guard && guard->isVisible()) {
            m_problems << QStringLiteral("%1 left open").arg(
                QString::fromLatin1(guard->metaObject()->className()));
            guard->reject();
        }
    });
}

QString TestPortSettingsFile()
{
    static QTemporaryDir folder;
    return folder.filePath(QStringLiteral("ports.ini"));
}

void ResetProgramState()
{
    installQuietHandler();
    InstallTestFallbacks();
    Forms::unloadAll();
    SetSerialPortFactory({});
    // Never the user's own remembered ports, and none from an earlier test.
    SetPortSettingsFile(TestPortSettingsFile());
    QFile::remove(TestPortSettingsFile());
    SetPortLister({});
    LinkRecovery::Instance().clear();
    CommLog::Instance().reset();
    SetUiLanguage(UiLanguage::English);
    InitData();
}
