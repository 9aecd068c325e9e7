// The Qt open-file dialog set-up, and the application shell's start-up with
// the lock taken, refused or unavailable.
#include <QComboBox>
#include <QDir>
#include <QFileDialog>

#include "app/cpendula_app.h"
#include "tests/window/dialog_fixture.h"
#include "tests/window/recording_services.h"
#include "ui/qt_window_services.h"
#include "ui/window_texts.h"

namespace corvalith::testing {
namespace {

TEST(OpenFileDialog, ShowsTheEntryAsItIsAndMatchesNamesWithoutADot) {
    QFileDialog dialog;
    ConfigureOpenFileDialog(dialog, FileFilter{Q(kAllFilesFilter), Q(kAllFilesPattern)});
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_TRUE(dialog.defaultSuffix().isEmpty());
    EXPECT_TRUE(dialog.testOption(QFileDialog::HideNameFilterDetails));
    ASSERT_EQ(dialog.nameFilters().size(), 1);
    // What the user sees in the filter list is the entry's text exactly.
    auto* shown = dialog.findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(shown->count(), 1);
    EXPECT_EQ(shown->itemText(0), Q(u"すべてのファイル(*.*)"));
    // The patterns Qt applies (from the full filter) match any name.
    const QString filter = dialog.nameFilters().front();
    const QStringList patterns =
        QDir::nameFiltersFromString(filter.mid(filter.lastIndexOf(u'(') + 1).chopped(1));
    EXPECT_TRUE(QDir::match(patterns, "history"));
    EXPECT_TRUE(QDir::match(patterns, "history.csv"));
    EXPECT_TRUE(QDir::match(patterns, Q(u"抽せん結果")));
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
    EXPECT_EQ(services.boxes[0].text, Q(u"このアプリケーションは既に起動しています。"));
    EXPECT_EQ(services.boxes[0].caption, Q(u"二重起動防止"));
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

}  // namespace
}  // namespace corvalith::testing
