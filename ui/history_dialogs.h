// The 履歴 menu's dialogs: 結果の追加 (one result) and 結果の取り込み (files or
// pasted text, with a preview). Both write through the history commands of
// commands/history_edit.h and show failures through the window services, in
// the command line's words.
#pragma once

#include <QDialog>
#include <string>

#include "commands/history_edit.h"
#include "ui/window_services.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
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
    [[nodiscard]] QCheckBox* allowGapBox() const noexcept { return m_allowGap; }
    [[nodiscard]] QCheckBox* replaceBox() const noexcept { return m_replace; }
    [[nodiscard]] QPushButton* addButton() const noexcept { return m_add; }

  private slots:
    void OnAdd();
    void OnDateChange();
    void OnReplaceToggle(bool replace);

  private:
    WindowServices& m_services;
    std::string m_path;
    QLineEdit* m_draw;
    QDateEdit* m_date;
    QLineEdit* m_result;
    QLabel* m_weekday;
    QCheckBox* m_allowGap;
    QCheckBox* m_replace;
    QLabel* m_status;
    QPushButton* m_add;
    bool m_dateChanged = false;  // by the user since the dialog opened or the last write
};

class ImportDialog : public QDialog {
    Q_OBJECT
  public:
    ImportDialog(WindowServices& services, std::string path, QWidget* parent);

    [[nodiscard]] QPlainTextEdit* pasteBox() const noexcept { return m_paste; }
    [[nodiscard]] QTableWidget* preview() const noexcept { return m_table; }
    [[nodiscard]] QPushButton* importButton() const noexcept { return m_import; }
    [[nodiscard]] QLabel* summary() const noexcept { return m_summary; }

  private slots:
    void OnPickFiles();
    void OnPreview();
    void OnImport();

  private:
    [[nodiscard]] ImportRequest Request(bool dryRun) const;

    WindowServices& m_services;
    std::string m_path;
    std::vector<ImportSource> m_files;
    QLabel* m_files_label;
    QPlainTextEdit* m_paste;
    QTableWidget* m_table;
    QLabel* m_summary;
    QPushButton* m_import;
};

}  // namespace corvalith
