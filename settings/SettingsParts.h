#pragma once

// What the settings windows share: their placement, the entry boxes for positive whole numbers,
// count presets as numbers, and a dialog that cannot be closed while it talks to the module.

#include <QDialog>
#include <QString>

#include <cstdint>
#include <optional>

class QLineEdit;
class QPushButton;

// Moves a window so that its top-left corner sits the given twips right of and below the main
// window's top-left corner.
void PlaceFromMain(QWidget &window, int rightTwips, int downTwips);

// Counts and presets run to nine digits, beyond the 16-bit whole numbers of the item protocol.
inline constexpr qint64 PresetMax = 999999999;
inline constexpr int PresetDigits = 9;

// A text of decimal digits only (no sign, no space) as a number; nullopt for anything else,
// including a number too long for 64 bits. Never wraps or clamps.
std::optional<qint64> CountValue(const QString &text);

// True when the module takes the text as a count preset: 1 to 9 digits.
bool IsPresetText(const QString &text);

// The message and title for a preset beyond nine digits (and a preset that cannot be sent).
inline const QString PresetRangeText = QStringLiteral("Output set point must be 0 to 999999999.");
inline const QString PresetCheckTitle = QStringLiteral("Preset Data Check");

// The check run on each change of an entry box that holds a positive whole number: CheckPositive,
// and when it refuses, the character before the caret is taken out again and the caret steps back
// by one. When that still leaves a text CheckPositive refuses (a pasted run of characters), the
// box goes back to the last text it accepted. Returns true when the text as it stands is accepted.
// Taking the character out changes the text, so the box's change handler runs again with it.
bool CheckPositiveEntry(QLineEdit &box);

// For text put into the box by the program: remembers it as the text to go back to, when it is one
// CheckPositive accepts, else an empty text.
void AcceptEntry(QLineEdit &box);

// The link for a command of a settings window that is already open: when the link went down since
// the window opened (a lost port), it is opened again as every command opens it (asking for the
// port); while it is up nothing is sent. True when the module answers.
bool LinkReady();

// Writes a value text to an item; true when the write succeeds and the reply is exactly `echo`.
bool WriteEchoed(int16_t item, const QString &value, const QString &echo);

// A settings window: a modal dialog that holds off its own closing (Escape, the frame's close
// button) while one of its commands talks to the module. The window's Exit button, when given, is
// disabled for that time.
class SettingsWindow : public QDialog
{
    Q_OBJECT
public:
    // True while a command of this window talks to the module.
    bool talking() const { return m_talking > 0; }

    // Marks a command of the window as talking for its lifetime.
    class Talk
    {
    public:
        explicit Talk(SettingsWindow &window);
        ~Talk();
        Talk(const Talk &) = delete;
        Talk &operator=(const Talk &) = delete;

    private:
        SettingsWindow &m_window;
        bool m_exitWasEnabled = false;
    };

    // Escape and the frame's close button: ignored while talking, else Exit().
    void reject() override;

protected:
    explicit SettingsWindow(const QString &objectName);
    // What closing by the frame or by Escape does; by default closes the window.
    virtual void Exit();
    // Closes the window now, whatever runs (the failure paths close it in the middle of a command).
    void closeWindow();
    // The window's Exit button, disabled while talking.
    void setExitButton(QPushButton *button) { m_exit = button; }

private:
    int m_talking = 0;
    QPushButton *m_exit = nullptr;
};

// Shows a settings window modally (when `ready`) and unloads it afterwards, also when the window
// was already destroyed while it was shown.
void ShowAndUnload(SettingsWindow &window, bool ready);
