// CAboutDlg: the About box (caption "CORVALITH"): the application icon, the
// version line, a second line and OK. OK, Enter, Escape and the close box
// close it; nobody reads its result.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
