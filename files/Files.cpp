#include "files/Files.h"

#include "app/Forms.h"
#include "app/Modal.h"
#include "app/MsgBox.h"
#include "app/frmMain.h"
#include "files/ConfigFile.h"
#include "model/Globals.h"
#include "panels/PanelOfKind.h"

#include <QFile>
#include <QFileDialog>
#include <QSaveFile>

namespace {

const QString FileReadTitle = QStringLiteral("File Read");
const QString OpenErrorTitle = QStringLiteral("Open Error");

// "Description|pattern|..." as the dialog's name filters. "*.*" means every file, also one
// without a dot in its name.
QStringList nameFilters(const QString &filterText)
{
    const QStringList parts = filterText.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
#ifndef Q_OS_WIN
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
#endif
        QString description = parts[i];
        const qsizetype paren = description.indexOf(QLatin1Char('('));
        if (paren > 0)
            description = description.left(paren).trimmed();
        filters << QStringLiteral("%1 (%2)").arg(description, pattern);
    }
    return filters;
}

// Shows the file dialog; the chosen name, or empty when the user cancelled.
QString askFile(const QString &title, QFileDialog::AcceptMode mode)
{
    QFileDialog &dialog = dlgFile();
    dialog.setWindowTitle(title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = nameFilters(FileFilterText);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first()); // filter index 1
    if (ShowModal(dialog) != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

} // namespace

QFileDialog &dlgFile()
{
    frmMain &main = Forms::get<frmMain>();
    if (auto *dialog = main.findChild<QFileDialog *>(QStringLiteral("dlgFile")))
        return *dialog;
    auto *dialog = new QFileDialog(&main);
    dialog->setObjectName(QStringLiteral("dlgFile"));
    // The toolkit's own dialog, the same on every desktop (and answerable in tests).
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    return *dialog;
}

void FileOpen()
{
    G.PanelReload = true;
    const int remembered = G.curKind();
    const QString name = askFile(QStringLiteral("Open"), QFileDialog::AcceptOpen);
    if (name.isEmpty())
        return;

    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        MsgBox(file.errorString(), MsgIcon::Critical, FileReadTitle);
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        MsgBox(file.errorString(), MsgIcon::Critical, FileReadTitle);
        return;
    }
    file.close();

    QString error;
    const std::optional<ConfigSnapshot> config = ParseConfigFile(bytes, &error);
    if (!config) {
        MsgBox(error, MsgIcon::Critical, FileReadTitle);
        return;
    }
    if (G.LinkUp && config->kind.value_or(KindNone) != remembered) {
        MsgBox(QStringLiteral("Model of Open file is different from Connected Model."),
               MsgIcon::Critical, FileReadTitle);
        return;
    }
    G.FilePath = name;
    // A panel loaded for the first time puts its kind's start values into the configuration: it
    // is loaded before the file's values go in, so that they are what it shows.
    AnalogPanelOfKind(config->kind.value_or(KindNone));
    ApplyConfig(*config);
    // A counter configuration has no stored values to show.
    if (G.curKind() != KindL7)
        ShowPanelOfKind(G.curKind());
}

void FileSaveAs()
{
    const QString name = askFile(QStringLiteral("SaveAs"), QFileDialog::AcceptSave);
    if (name.isEmpty())
        return;
    G.FilePath = name;
    FileWrite();
}

void FileSave()
{
    if (G.FilePath.isEmpty())
        return;
    FileWrite();
}

bool FileWrite()
{
    const QString name = G.FilePath;
    QString error;
    const std::optional<QByteArray> bytes = FormatConfigFile(CaptureConfig(), &error);
    if (!bytes) {
        MsgBox(error, MsgIcon::None, OpenErrorTitle);
        return false;
    }
    // Written beside the old file and put in its place only when complete: a failure half way
    // leaves the old file as it was.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit()) {
        const QString description = file.errorString();
        file.cancelWriting();
        MsgBox(description, MsgIcon::None, OpenErrorTitle);
        return false;
    }
    return true;
}
