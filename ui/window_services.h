// What the window code asks of the window system: modal message boxes, a
// yes-or-no question, the
// open-file and save-file dialogs, the modal run of a dialog and the per-user
// single-instance lock. The window calls nothing of QMessageBox or
// QFileDialog itself, so tests replace the whole platform side with a double
// that records every box and answers the file dialog.
#pragma once

#include <QString>
#include <optional>
#include <string_view>

class QDialog;
class QWidget;

namespace corvalith {

// The application's name: the caption of its application message boxes.
inline constexpr char16_t kApplicationName[] = u"Corvix";

enum class BoxIcon { None, Error, Warning };

// One entry of the open-file dialog's filter list: the text shown to the user
// and the pattern in Windows notation ("*.*" matches every name, also names
// without a dot).
struct FileFilter {
    QString description;
    QString pattern;
};

// Result of asking for the single-instance lock.
enum class LockState {
    Held,           // this process holds the lock now
    HeldElsewhere,  // another process of this user holds it
    Unavailable,    // no lock could be made (no writable place); run unguarded
};

class WindowServices {
  public:
    virtual ~WindowServices() = default;

    // Shows a modal box with an OK button and returns when it is closed.
    // `owner` may be null (a box without owner window).
    virtual void MessageBox(QWidget* owner, const QString& text, const QString& caption,
                            BoxIcon icon) = 0;

    // The same box with `detail` as its detailed text, which the user opens
    // with the box's 詳細 button. Without an override the detail is not shown.
    virtual void DetailedMessageBox(QWidget* owner, const QString& text, const QString& caption,
                                    BoxIcon icon, const QString& /*detail*/) {
        MessageBox(owner, text, caption, icon);
    }

    // The application message box: OK only, captioned with the application's
    // name, with the warning icon that the application box carries when its
    // caller names none.
    void AppMessageBox(QWidget* owner, const QString& text) {
        MessageBox(owner, text, QString::fromUtf16(kApplicationName), BoxIcon::Warning);
    }

    // A modal question with はい and いいえ (いいえ the default, as Escape and
    // the close box answer). True when the user answered はい.
    virtual bool AskYesNo(QWidget* owner, const QString& text, const QString& caption) = 0;

    // The modal open-file dialog. Returns the full path of the chosen file, or
    // nothing when the user cancelled.
    virtual std::optional<QString> GetOpenFileName(QWidget* owner, const FileFilter& filter) = 0;

    // The modal save-file dialog, for the exports: `caption` as its title,
    // the one entry `filter` (pattern "*.png" and the like), `suggestedName`
    // as the first name. Returns the full path chosen, or nothing when the
    // user cancelled. The caller writes the file.
    virtual std::optional<QString> GetSaveFileName(QWidget* owner, const QString& caption,
                                                   const FileFilter& filter,
                                                   const QString& suggestedName) = 0;

    // The save-file dialog for a file that is still to be made: as
    // GetSaveFileName, but it never offers to replace an existing file (the
    // caller says that the name is taken).
    virtual std::optional<QString> GetNewFileName(QWidget* owner, const QString& caption,
                                                  const FileFilter& filter,
                                                  const QString& suggestedName) = 0;

    // Runs `dialog` modally and returns its result when it ends.
    virtual int RunModal(QDialog& dialog) = 0;

    // Takes the per-user lock `name`, kept until ReleaseInstanceLock or the
    // end of the process (however it ends).
    virtual LockState AcquireInstanceLock(std::string_view name) = 0;
    virtual void ReleaseInstanceLock() noexcept = 0;
};

}  // namespace corvalith
