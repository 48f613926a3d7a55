#pragma once

// The window and its controls keep their historical names (frm, lbl, pic,
// cmd and fra prefixes, Label1...): keep them as they are.

#include <QWidget>

class QFrame;
class QLabel;

// The splash window that covers start-up: no title bar, no border, no taskbar
// entry, centred on the screen. Nothing on it reacts to input; start-up shows
// it, repaints it at once and removes it when the main window is ready.
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget *parent = nullptr);

private:
    void Form_Load();
    void LayOutControls();
    void CentreOnScreen();

    // All controls sit in a captionless frame that fills the window.
    QFrame *const fraMainFrame;
    QLabel *const picLogo;
    QLabel *const lblCompanyProduct;
    QLabel *const lblProductName;
    QLabel *const lblVersion;
    QLabel *const lblCopyright;
    QLabel *const lblCompany;
};
