// The Qt open-file dialog set-up, and the application shell's start-up with
// the lock taken, refused or unavailable.
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <algorithm>
#include <memory>

#include "app/about_dlg.h"
#include "app/cpendula_app.h"
#include "app/qt_translation.h"
#include "app/qt_window_services.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/dialog_fixture.h"
#include "tests/ui/recording_services.h"
#include "ui/qt_text.h"
#include "ui/resource.h"

namespace corvalith::testing {
namespace {

TEST(OpenFileDialog, ShowsTheEntryAsItIsAndMatchesNamesWithoutADot) {
    const QString settings = qEnvironmentVariable("XDG_CONFIG_HOME") + "/QtProject.conf";
    ASSERT_FALSE(QFile::exists(settings));
    auto dialog = std::make_unique<QFileDialog>();
    ConfigureOpenFileDialog(*dialog,
                            FileFilter{ToQString(kAllFilesFilter), ToQString(kAllFilesPattern)});
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_TRUE(dialog->defaultSuffix().isEmpty());
    EXPECT_TRUE(dialog->testOption(QFileDialog::HideNameFilterDetails));
    ASSERT_EQ(dialog->nameFilters().size(), 1);
    // What the user sees in the filter list is the entry's text exactly.
    auto* shown = dialog->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(shown->count(), 1);
    EXPECT_EQ(shown->itemText(0), ToQString(u"すべてのファイル(*.*)"));
    // The patterns Qt applies (from the full filter) match any name.
    const QString filter = dialog->nameFilters().front();
    const QStringList patterns =
        QDir::nameFiltersFromString(filter.mid(filter.lastIndexOf(u'(') + 1).chopped(1));
    EXPECT_TRUE(QDir::match(patterns, "history"));
    EXPECT_TRUE(QDir::match(patterns, "history.csv"));
    EXPECT_TRUE(QDir::match(patterns, ToQString(u"抽せん結果")));
    // Destroyed, Qt's dialog saves its state unless the settings are redirected.
    dialog.reset();
    EXPECT_FALSE(QFile::exists(settings));
}

// Calls `answer` with the modal widget of type T once it is shown.
template <typename T, typename Answer>
void WhenShown(Answer answer) {
    auto* timer = new QTimer(QApplication::instance());
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(widget);
        }
    });
    timer->start(10);
}

TEST(QtServices, MessageBoxIsModalWithTextCaptionIconAndOwner) {
    QWidget owner;
    owner.show();
    QtWindowServices services;
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* parent = nullptr;
    int buttons = 0;
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        parent = box->parentWidget();
        buttons = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    services.MessageBox(&owner, "text", "caption", BoxIcon::Error);
    EXPECT_EQ(caption, "caption");
    EXPECT_EQ(text, "text");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(parent, &owner);
    EXPECT_EQ(buttons, 1);

    WhenShown<QMessageBox>([&](QMessageBox* box) {
        caption = box->windowTitle();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    services.AppMessageBox(&owner, "x");
    EXPECT_EQ(caption, "Corvix");
    EXPECT_EQ(icon, QMessageBox::Warning);
}

TEST(QtServices, OpenFileDialogReturnsAChosenNameWithoutADot) {
    TempDir dir;
    const std::string path = dir.Write("history", "x");
    QtWindowServices services;
    // As a person picks the file and presses Open. A click that lands before
    // the dialog has taken the name in leaves it open, so the answer repeats
    // until the dialog has gone.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        dialog->setDirectory(QString::fromStdString(dir.path()));
        dialog->selectFile(QString::fromStdString(path));
        if (auto* buttons = dialog->findChild<QDialogButtonBox*>()) {
            if (QPushButton* open = buttons->button(QDialogButtonBox::Open)) open->click();
        }
    });
    answer.start(20);
    const std::optional<QString> chosen = services.GetOpenFileName(
        nullptr, FileFilter{ToQString(kAllFilesFilter), ToQString(kAllFilesPattern)});
    answer.stop();
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, QString::fromStdString(path));

    WhenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(services.GetOpenFileName(nullptr, FileFilter{"a", "*.*"}).has_value());
}

TEST(QtServices, AboutBoxRunsModallyAndEscapeClosesIt) {
    QtWindowServices services;
    CAboutDlg about;
    WhenShown<CAboutDlg>([](CAboutDlg* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(services.RunModal(about), QDialog::Rejected);
    WhenShown<CAboutDlg>([](CAboutDlg* box) { QTest::keyClick(box, Qt::Key_Return); });
    EXPECT_EQ(services.RunModal(about), QDialog::Accepted);  // Enter presses OK
}

TEST(Application, SecondCopyWarnsWithoutOwnerAndCreatesNoWindow) {
    RecordingServices services;
    services.lockAnswer = LockState::HeldElsewhere;
    CPendulaApp app(services);
    EXPECT_FALSE(app.InitInstance());
    ASSERT_EQ(services.lockNames.size(), 1u);
    EXPECT_EQ(services.lockNames[0], "PendulaAppMutex");
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].ownerAtCall, nullptr);
    EXPECT_EQ(services.boxes[0].text, ToQString(u"このアプリケーションは既に起動しています。"));
    EXPECT_EQ(services.boxes[0].caption, ToQString(u"二重起動防止"));
    EXPECT_EQ(services.boxes[0].icon, BoxIcon::Warning);
    EXPECT_TRUE(services.modalRuns.empty());
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_FALSE(services.lockReleased);  // it never held the lock
}

TEST(Application, FirstCopyRunsTheMainDialogAndReleasesTheLockAtExit) {
    RecordingServices services;
    QString title;
    services.onModal = [&](QDialog& dialog) {
        title = dialog.windowTitle();
        return 0;
    };
    CPendulaApp app(services);
    EXPECT_FALSE(app.InitInstance());
    ASSERT_EQ(services.modalRuns.size(), 1u);
    EXPECT_EQ(services.modalRuns[0], "CPendulaDlg");
    EXPECT_EQ(title, "Corvalith");
    EXPECT_TRUE(services.boxes.empty());
    EXPECT_FALSE(services.lockReleased);
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_TRUE(services.lockReleased);
}

TEST(Application, WithoutAnyPlaceForTheLockItStillRuns) {
    RecordingServices services;
    services.lockAnswer = LockState::Unavailable;
    CPendulaApp app(services);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(services.modalRuns.size(), 1u);
    EXPECT_TRUE(services.boxes.empty());
}

// What Qt's standard Cancel button says just now.
QString CancelText() {
    const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    return buttons.button(QDialogButtonBox::Cancel)->text();
}

bool HasKana(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x3040 && c.unicode() <= 0x30FF; });
}

TEST(Application, QtSpeaksJapaneseWhileTheProgramRuns) {
    const QString directory = QtTranslationsDirectory();
    QTranslator direct;
    if (!direct.load(QStringLiteral("qtbase_ja"), directory))
        GTEST_SKIP() << "qtbase_ja.qm is not installed in " << directory.toStdString();
    const QString english = CancelText();
    ASSERT_EQ(english, "Cancel");

    RecordingServices services;
    QString cancel, translated;
    services.onModal = [&](QDialog&) {
        cancel = CancelText();
        translated = QCoreApplication::translate("QPlatformTheme", "Cancel");
        return 0;
    };
    {
        CPendulaApp app(services);
        EXPECT_EQ(app.Run(), 0);
    }
    ASSERT_EQ(services.modalRuns.size(), 1u);
    // The button and the string both come from the file, in Japanese.
    EXPECT_EQ(translated, direct.translate("QPlatformTheme", "Cancel"));
    EXPECT_TRUE(HasKana(translated)) << translated.toStdString();
    EXPECT_EQ(cancel, translated);
    // With the program gone, Qt speaks English again.
    EXPECT_EQ(CancelText(), english);
}

TEST(Application, WithoutQtsTranslationItStartsInEnglish) {
    TempDir empty;
    const QString directory = QString::fromStdString(empty.path());
    EXPECT_EQ(InstallQtJapanese(directory), nullptr);
    RecordingServices services;
    QString cancel;
    services.onModal = [&](QDialog&) {
        cancel = CancelText();
        return 0;
    };
    CPendulaApp app(services, directory);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(services.modalRuns.size(), 1u);
    EXPECT_TRUE(services.boxes.empty());
    EXPECT_EQ(cancel, "Cancel");
}

}  // namespace
}  // namespace corvalith::testing
