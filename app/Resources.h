#pragma once

// The string tables: texts by number, English or Japanese, and the replacement of the numbers
// that windows carry in place of their language-dependent captions.

#include <QString>
#include <QVariant>

#include <optional>

class QObject;
class QWidget;

enum class UiLanguage { English, Japanese };

// The language of the desktop: Japanese when its user interface language is Japanese.
UiLanguage DesktopUiLanguage();

// The table in use; the desktop's language until a test chooses another.
UiLanguage CurrentUiLanguage();
void SetUiLanguage(UiLanguage language);

// The text of a number in the table in use; nullopt when the table has no such number.
std::optional<QString> FindResString(int number);
// As FindResString, with an empty text for a missing number.
QString LoadResString(int number);

// The design-time tag that any control or window can carry (a whole number, usually a string
// resource number).
void SetTag(QObject *object, const QVariant &tag);
QVariant Tag(const QObject *object);

// Replaces the resource numbers of a window and its controls by their texts. Every single step
// that fails leaves its control as designed.
void ApplyResCaptions(QWidget *window);
