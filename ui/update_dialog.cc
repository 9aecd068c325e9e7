// Each step (download and preview, preview again, write) runs on a thread
// of its own sharing a Link with the dialog: the cancel flag and, under a
// mutex, the dialog to post to. A new step or the dialog's end clears that
// pointer, so a stale worker's posts are dropped and nothing waits for it.
#include "ui/update_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>

#include "commands/draw_input.h"
#include "commands/messages.h"
#include "report/history_edit_report.h"
#include "ui/import_rows.h"
#include "ui/lock_wait_notice.h"
#include "ui/qt_text.h"

namespace corvalith {

struct UpdateDialog::Link {
    std::atomic<bool> cancel{false};
    std::mutex mutex;
    UpdateDialog* dialog = nullptr;  // under `mutex`; null once nobody listens

    template <typename Call>
    void Post(Call call) {
        const std::lock_guard<std::mutex> lock(mutex);
        if (dialog == nullptr) return;
        UpdateDialog* target = dialog;
        QMetaObject::invokeMethod(
            target, [target, call = std::move(call)] { call(*target); }, Qt::QueuedConnection);
    }
    void Drop() {
        const std::lock_guard<std::mutex> lock(mutex);
        dialog = nullptr;
        cancel = true;
    }
};

UpdateDialog::UpdateDialog(WindowServices& services, std::string path, QWidget* parent,
                           const FetchRequest& net)
    : QDialog(parent), m_services(services), m_path(std::move(path)), m_net(net) {
    setWindowTitle(QStringLiteral("最新の結果を取得"));
    m_source = new QLineEdit(QString::fromUtf8(kDefaultUpdateSource), this);
    m_fetch = new QPushButton(QStringLiteral("取得"), this);
    m_cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    m_cancel->setEnabled(false);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_keepMine = new QCheckBox(QStringLiteral("履歴の値を優先"), this);
    m_table = new QTableWidget(0, 4, this);
    m_table->setHorizontalHeaderLabels({QStringLiteral("回号"), QStringLiteral("抽せん日"),
                                        QStringLiteral("当せん番号"), QStringLiteral("状態")});
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    m_import = new QPushButton(QStringLiteral("取り込む"), this);
    m_import->setEnabled(false);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("取得元"), this));
    top->addWidget(m_source, 1);
    top->addWidget(m_fetch);
    auto* running = new QHBoxLayout;
    running->addWidget(m_progress, 1);
    running->addWidget(m_cancel);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_keepMine);
    buttons->addStretch();
    buttons->addWidget(m_import);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(running);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_summary);
    layout->addLayout(buttons);
    resize(640, 480);
    connect(m_fetch, &QPushButton::clicked, this, &UpdateDialog::OnFetch);
    connect(m_cancel, &QPushButton::clicked, this, &UpdateDialog::OnCancel);
    connect(m_import, &QPushButton::clicked, this, &UpdateDialog::OnImport);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    // Another choice changes what would be written: preview again.
    connect(m_keepMine, &QCheckBox::toggled, this, [this] {
        if (!m_bytes.empty() && !m_busy) Start(false);
    });
    connect(m_source, &QLineEdit::textChanged, this, [this] {
        m_bytes.clear();
        m_import->setEnabled(false);
    });
}

UpdateDialog::~UpdateDialog() {
    if (m_link) m_link->Drop();
}

void UpdateDialog::OnFetch() {
    m_bytes.clear();
    m_table->setRowCount(0);
    m_summary->clear();
    Start(false);
}

void UpdateDialog::OnCancel() {
    if (m_link) m_link->Drop();
    SetBusy(false);
    m_summary->setText(QStringLiteral("取り消しました。"));
    emit StepEnded();
}

void UpdateDialog::OnImport() { Start(true); }

void UpdateDialog::SetBusy(bool busy) {
    m_busy = busy;
    m_fetch->setEnabled(!busy);
    m_source->setEnabled(!busy);
    m_keepMine->setEnabled(!busy);
    m_cancel->setEnabled(busy);
    if (busy) m_import->setEnabled(false);
    if (busy) {
        m_progress->setRange(0, 0);  // busy until the size is known
    } else {
        m_progress->setRange(0, 1);
        m_progress->setValue(0);
    }
}

// write: import the kept bytes; otherwise download them (unless kept) and
// preview the import as a dry run.
void UpdateDialog::Start(bool write) {
    if (m_link) m_link->Drop();
    m_link = std::make_shared<Link>();
    m_link->dialog = this;
    UpdateRequest request;
    request.historyPath = m_path;
    request.source = m_source->text().toStdString();
    request.keepMine = m_keepMine->isChecked();
    request.dryRun = !write;
    request.wantRows = !write;
    request.net = m_net;
    request.wait = LockWaitShownOn(m_summary);
    const bool download = m_bytes.empty();
    std::string bytes = m_bytes;
    SetBusy(true);
    auto work = [link = m_link, request, bytes = std::move(bytes), download, write]() mutable {
        UpdateRequest fetch = std::move(request);
        fetch.net.cancel = &link->cancel;
        auto last = std::chrono::steady_clock::now();
        fetch.net.progress = [&link, &last](std::uint64_t received, std::uint64_t total) {
            const auto now = std::chrono::steady_clock::now();
            if (now - last >= std::chrono::milliseconds(50)) {
                last = now;
                link->Post(
                    [received, total](UpdateDialog& dialog) { dialog.Received(received, total); });
            }
            return true;
        };
        UpdateOutcome outcome;
        std::string kept;
        if (download) {
            SourceBytes source = FetchUpdateSource(fetch);
            if (source.status != UpdateStatus::Ok) {
                outcome.status = source.status;
                outcome.message = source.message;
                outcome.historyHighest = source.historyHighest;
                link->Post([outcome = std::move(outcome)](UpdateDialog& dialog) {
                    dialog.Fetched(outcome, false);
                });
                return;
            }
            bytes = std::move(source.bytes);
        }
        if (link->cancel) return;
        try {
            kept = bytes;
        } catch (...) {
        }
        outcome = ImportUpdateSource(fetch, std::move(bytes));
        link->Post(
            [outcome = std::move(outcome), kept = std::move(kept), write](UpdateDialog& dialog) {
                if (!write) dialog.m_bytes = kept;
                dialog.Fetched(outcome, write);
            });
    };
    try {
        std::thread(std::move(work)).detach();
    } catch (...) {  // no thread to run it on
        SetBusy(false);
        m_services.MessageBox(this, ToQString(kMsgOutOfMemory), ToQString(kErrorCaption),
                              BoxIcon::Error);
    }
}

void UpdateDialog::Received(std::uint64_t received, std::uint64_t total) {
    if (total == 0) return;  // the busy bar stays
    // In KiB, so that a 64 MiB body fits the bar's int.
    m_progress->setRange(0, static_cast<int>(total / 1024 + 1));
    m_progress->setValue(static_cast<int>(received / 1024));
}

void UpdateDialog::Fetched(const UpdateOutcome& outcome, bool write) {
    SetBusy(false);
    if (outcome.status == UpdateStatus::UpToDate) {
        m_summary->setText(ToQString(outcome.message));
        emit StepEnded();
        return;
    }
    if (outcome.status != UpdateStatus::Ok) {
        m_summary->setText(ToQString(outcome.message));
        m_services.MessageBox(this, ToQString(outcome.message), ToQString(kErrorCaption),
                              BoxIcon::Error);
        emit StepEnded();
        return;
    }
    const EditOutcome& edit = outcome.edit;
    if (!write) {
        m_table->setRowCount(static_cast<int>(edit.rows.size()));
        for (std::size_t i = 0; i < edit.rows.size(); ++i) {
            const ImportRow& row = edit.rows[i];
            const QString cells[4] = {
                QString::number(row.number), ToQString(DateShown(row.date)),
                QString::fromLatin1(row.result.data(), static_cast<qsizetype>(row.result.size())),
                ImportRowState(row)};
            for (int c = 0; c < 4; ++c) {
                m_table->setItem(static_cast<int>(i), c, new QTableWidgetItem(cells[c]));
            }
        }
    } else {
        m_bytes.clear();
    }
    m_summary->setText(ToQString(ImportSummary(edit)));
    if (write && !edit.dryRun && (edit.added > 0 || edit.payoutsAdded > 0)) emit Written();
    const bool changes = std::any_of(edit.rows.begin(), edit.rows.end(), ChangesHistory);
    m_import->setEnabled(!write && changes);
    emit StepEnded();
}

}  // namespace corvalith
