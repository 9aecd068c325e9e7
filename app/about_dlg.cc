// The About box, laid out from its template (170 x 62 dialog units).
#include "app/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/app_texts.h"
#include "ui/dialog_fonts.h"
#include "ui/dialog_units.h"
#include "ui/qt_text.h"
#include "ui/window_resources.h"

using namespace corvalith;

namespace {

// Size at which an icon static shows its icon, in pixels.
constexpr int kIconSize = 32;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setFont(DialogFont());
    // Caption, system menu and a modal frame that is not resized.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(ToQString(kAboutCaption));
    const DialogBaseUnits base = BaseUnitsOf(font());

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(LoadApplicationIcon().pixmap(kIconSize, kIconSize));
    icon->setGeometry(DialogRect(base, 14, 14, 20, 20).topLeft().x(),
                      DialogRect(base, 14, 14, 20, 20).topLeft().y(), kIconSize, kIconSize);

    // Plain text: ampersands are shown as they are.
    auto* version = new QLabel(ToQString(kAboutVersion), this);
    version->setObjectName(QStringLiteral("version"));
    version->setTextFormat(Qt::PlainText);
    version->setGeometry(DialogRect(base, 42, 14, 114, 8));

    auto* second = new QLabel(ToQString(kAboutSecondLine), this);
    second->setObjectName(QStringLiteral("secondLine"));
    second->setTextFormat(Qt::PlainText);
    second->setGeometry(DialogRect(base, 42, 26, 114, 8));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    ok->setGeometry(DialogRect(base, 113, 41, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setFocus(Qt::OtherFocusReason);

    setFixedSize(DialogRect(base, 0, 0, 170, 62).size());
}
