#include "app/Resources.h"

#include "app/Forms.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

#include <array>

namespace {

constexpr const char *TagProperty = "tag";

QHash<int, QString> loadTable(const QString &path)
{
    QHash<int, QString> table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QString all = QString::fromUtf8(file.readAll());
    for (const QStringView line : QStringView(all).split(QLatin1Char('\n'))) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab <= 0)
            continue;
        bool ok = false;
        const int number = line.left(tab).toInt(&ok);
        QStringView text = line.mid(tab + 1);
        if (text.endsWith(QLatin1Char('\r')))
            text.chop(1);
        if (ok)
            table.insert(number, text.toString());
    }
    return table;
}

const QHash<int, QString> &table(UiLanguage language)
{
    static const std::array<QHash<int, QString>, 2> tables{
        loadTable(QStringLiteral(":/strings/strings_en.txt")),
        loadTable(QStringLiteral(":/strings/strings_ja.txt")),
    };
    return tables[language == UiLanguage::Japanese ? 1 : 0];
}

std::optional<UiLanguage> &chosenLanguage()
{
    static std::optional<UiLanguage> language;
    return language;
}

// A whole number held in a text or a variant, as a design-time number is.
std::optional<int> wholeNumber(const QVariant &value)
{
    if (!value.isValid())
        return std::nullopt;
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

void applyToAction(QAction *action)
{
    if (action->isSeparator())
        return;
    if (const auto number = wholeNumber(action->text())) {
        if (const auto text = FindResString(*number))
            action->setText(*text);
    }
}

void applyToToolBar(QToolBar *toolBar)
{
    for (QAction *action : toolBar->actions()) {
        if (action->isSeparator())
            continue;
        if (const auto number = wholeNumber(action->toolTip())) {
            if (const auto text = FindResString(*number))
                action->setToolTip(*text);
        }
    }
}

void setCaption(QWidget *control, const QString &text)
{
    if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(text);
    else if (auto *frame = qobject_cast<QGroupBox *>(control))
        frame->setTitle(text);
    // Other controls (list boxes, text boxes) have no caption.
}

void applyToControl(QWidget *control)
{
    if (qobject_cast<QLabel *>(control)) {
        if (const auto number = wholeNumber(Tag(control))) {
            if (const auto text = FindResString(*number))
                setCaption(control, *text);
        }
        return;
    }
    if (const auto number = wholeNumber(Tag(control)); number && *number > 0) {
        if (const auto text = FindResString(*number))
            setCaption(control, *text);
    }
    if (const auto number = wholeNumber(control->toolTip()); number && *number >= 1) {
        if (const auto text = FindResString(*number))
            control->setToolTip(*text);
    }
}

// True when a window other than `window` lies between the control and `window` (a panel shown
// inside the main window, a dialog owned by it).
bool belongsToOtherWindow(const QWidget *control, const QWidget *window)
{
    for (const QWidget *w = control; w && w != window; w = w->parentWidget()) {
        if (w->isWindow() || Forms::isForm(w))
            return true;
    }
    return false;
}

} // namespace

UiLanguage DesktopUiLanguage()
{
    const QStringList languages = QLocale::system().uiLanguages();
    if (!languages.isEmpty() && languages.first().startsWith(QLatin1String("ja")))
        return UiLanguage::Japanese;
    return UiLanguage::English;
}

UiLanguage CurrentUiLanguage()
{
    if (!chosenLanguage())
        chosenLanguage() = DesktopUiLanguage();
    return *chosenLanguage();
}

void SetUiLanguage(UiLanguage language)
{
    chosenLanguage() = language;
}

std::optional<QString> FindResString(int number)
{
    const auto &texts = table(CurrentUiLanguage());
    const auto it = texts.constFind(number);
    if (it == texts.constEnd())
        return std::nullopt;
    return *it;
}

QString LoadResString(int number)
{
    return FindResString(number).value_or(QString());
}

void SetTag(QObject *object, const QVariant &tag)
{
    object->setProperty(TagProperty, tag);
}

QVariant Tag(const QObject *object)
{
    return object->property(TagProperty);
}

void ApplyResCaptions(QWidget *window)
{
    if (!window)
        return;
    if (const auto number = wholeNumber(Tag(window))) {
        if (const auto text = FindResString(*number))
            window->setWindowTitle(*text);
    }
    // Menu items carry their number as their caption; toolbar buttons in their tooltip.
    for (QAction *action : window->findChildren<QAction *>()) {
        bool onToolBarOnly = false;
        for (QObject *user : action->associatedObjects()) {
            if (qobject_cast<QToolBar *>(user))
                onToolBarOnly = true;
            if (qobject_cast<QMenu *>(user)) {
                onToolBarOnly = false;
                break;
            }
        }
        if (!onToolBarOnly)
            applyToAction(action);
    }
    for (QToolBar *toolBar : window->findChildren<QToolBar *>())
        applyToToolBar(toolBar);
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (qobject_cast<QToolBar *>(control) || qobject_cast<QMenu *>(control))
            continue;
        if (belongsToOtherWindow(control, window))
            continue; // another window's controls are its own business
        applyToControl(control);
    }
}
