// 履歴 > 最新の結果を取得: the source (an editable field holding the data
// set's download), 取得 downloads it and previews the import on a worker
// thread with a progress bar and キャンセル, then 取り込む writes through
// the same core (commands/update_core.h), also off the window's thread. A
// failure shows the command line's words through the window services.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <thread>

#include "commands/update_core.h"
#include "ui/window_services.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace corvalith {

class UpdateDialog : public QDialog {
    Q_OBJECT
  public:
    // `path` in file-system bytes. `net` gives the network settings (tests
    // trust their own certificate authority or shorten the timeouts).
    UpdateDialog(WindowServices& services, std::string path, QWidget* parent,
                 const FetchRequest& net = {});
    // Cancels a running step without waiting for it: the worker posts
    // nothing more and ends on its own.
    ~UpdateDialog() override;
    UpdateDialog(const UpdateDialog&) = delete;
    UpdateDialog& operator=(const UpdateDialog&) = delete;

    [[nodiscard]] QLineEdit* sourceEdit() const noexcept { return m_source; }
    [[nodiscard]] QPushButton* fetchButton() const noexcept { return m_fetch; }
    [[nodiscard]] QPushButton* cancelButton() const noexcept { return m_cancel; }
    [[nodiscard]] QProgressBar* progressBar() const noexcept { return m_progress; }
    [[nodiscard]] QCheckBox* keepMineBox() const noexcept { return m_keepMine; }
    [[nodiscard]] QTableWidget* preview() const noexcept { return m_table; }
    [[nodiscard]] QPushButton* importButton() const noexcept { return m_import; }
    [[nodiscard]] QLabel* summary() const noexcept { return m_summary; }
    // Whether a step runs on the worker.
    [[nodiscard]] bool busy() const noexcept { return m_busy; }

  signals:
    // After each step ended (shown), on the window's thread.
    void StepEnded();
    // After 取り込む changed the history.
    void Written();

  private slots:
    void OnFetch();
    void OnCancel();
    void OnImport();

  private:
    struct Link;
    void Start(bool write);
    void Received(std::uint64_t received, std::uint64_t total);
    void Fetched(const UpdateOutcome& outcome, bool write);
    void SetBusy(bool busy);

    WindowServices& m_services;
    std::string m_path;
    FetchRequest m_net;
    std::shared_ptr<Link> m_link;
    std::string m_bytes;  // the downloaded source, kept for 取り込む
    std::string m_fetchedFrom;
    bool m_busy = false;
    QLineEdit* m_source;
    QPushButton* m_fetch;
    QPushButton* m_cancel;
    QProgressBar* m_progress;
    QCheckBox* m_keepMine;
    QTableWidget* m_table;
    QLabel* m_summary;
    QPushButton* m_import;
};

}  // namespace corvalith
