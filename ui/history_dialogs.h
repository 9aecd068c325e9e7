// The 履歴 menu's dialogs: 結果の追加 (one result) and 結果の取り込み (files or
// pasted text, with a preview). Both write through the history commands of
// commands/history_edit.h on a worker thread (the history may be locked by
// another program, and a write waits for fsync): meanwhile the dialog shows
// that it is writing and cannot be closed, and the window's thread goes on.
// Failures are shown through the window services in the window's words.
#pragma once

#include <QDialog>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "commands/history_edit.h"
#include "history/draw_payouts.h"
#include "ui/window_services.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace corvalith {

class AddResultDialog : public QDialog {
    Q_OBJECT
  public:
    // `path` in file-system bytes.
    AddResultDialog(WindowServices& services, std::string path, QWidget* parent);

    // Proposes the next draw of the history (empty when it has none).
    void ProposeDraw();
    [[nodiscard]] QLineEdit* drawEdit() const noexcept { return m_draw; }
    [[nodiscard]] QDateEdit* dateEdit() const noexcept { return m_date; }
    [[nodiscard]] QLineEdit* resultEdit() const noexcept { return m_result; }
    [[nodiscard]] QLabel* weekdayLabel() const noexcept { return m_weekday; }
    // ストレート, ボックス, セット（ストレート）, セット（ボックス）.
    [[nodiscard]] QLineEdit* payoutEdit(PayoutKind kind) const noexcept {
        return m_payouts[static_cast<std::size_t>(kind)];
    }
    [[nodiscard]] QCheckBox* allowGapBox() const noexcept { return m_allowGap; }
    [[nodiscard]] QCheckBox* replaceBox() const noexcept { return m_replace; }
    [[nodiscard]] QPushButton* addButton() const noexcept { return m_add; }
    [[nodiscard]] QLabel* statusLabel() const noexcept { return m_status; }
    // True while a read or write runs on the worker.
    [[nodiscard]] bool IsBusy() const noexcept { return m_busy; }

  signals:
    // After each write that changed the history.
    void Written();

  public slots:
    // Not while a write runs: the dialog shows its outcome first.
    void reject() override;

  private slots:
    void OnAdd();
    void OnDateChange();
    void OnReplaceToggle(bool replace);

  private:
    void SetBusy(bool busy);
    // The write itself, after the questions.
    void Write(AddRequest request);
    void Finish(const EditOutcome& outcome, const AddRequest& request);

    WindowServices& m_services;
    std::string m_path;
    QLineEdit* m_draw;
    QDateEdit* m_date;
    QLineEdit* m_result;
    QLabel* m_weekday;
    std::array<QLineEdit*, kPayoutKindCount> m_payouts{};
    QCheckBox* m_allowGap;
    QCheckBox* m_replace;
    QLabel* m_status;
    QPushButton* m_add;
    QPushButton* m_close;
    bool m_dateChanged = false;  // by the user since the dialog opened or the last write
    bool m_busy = false;
};

class ImportDialog : public QDialog {
    Q_OBJECT
  public:
    ImportDialog(WindowServices& services, std::string path, QWidget* parent);

    [[nodiscard]] QPlainTextEdit* pasteBox() const noexcept { return m_paste; }
    [[nodiscard]] QTableWidget* preview() const noexcept { return m_table; }
    [[nodiscard]] QPushButton* importButton() const noexcept { return m_import; }
    [[nodiscard]] QLabel* summary() const noexcept { return m_summary; }
    [[nodiscard]] QCheckBox* allowGapBox() const noexcept { return m_allowGap; }
    [[nodiscard]] QCheckBox* keepMineBox() const noexcept { return m_keepMine; }
    [[nodiscard]] QListWidget* fileList() const noexcept { return m_fileList; }
    [[nodiscard]] QPushButton* previewButton() const noexcept { return m_preview; }
    [[nodiscard]] bool IsBusy() const noexcept { return m_busy; }

  signals:
    void Written();

  public slots:
    void reject() override;

  private slots:
    void OnPickFiles();
    void OnRemoveFiles();
    void OnPreview();
    void OnImport();

  private:
    [[nodiscard]] ImportRequest Request(bool dryRun) const;
    void SetBusy(bool busy);
    void ShowRows(const EditOutcome& outcome);
    // Any change of what would be imported asks for a new 確認 first.
    void Invalidate();

    WindowServices& m_services;
    std::string m_path;
    std::vector<ImportSource> m_files;  // in the order of m_fileList's rows
    QListWidget* m_fileList;
    QPushButton* m_remove;
    QPlainTextEdit* m_paste;
    QCheckBox* m_allowGap;
    QCheckBox* m_keepMine;
    QTableWidget* m_table;
    QLabel* m_summary;
    QPushButton* m_preview;
    QPushButton* m_import;
    QPushButton* m_close;
    bool m_busy = false;
};

// A refusal in the window's words: a missing range names the 抜けを許す
// check box instead of the command line's option. Other messages as they are.
[[nodiscard]] QString WindowMessage(const EditOutcome& outcome, std::int32_t highestBefore,
                                    std::optional<std::int32_t> draw);

}  // namespace corvalith
