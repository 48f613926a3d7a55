#pragma once

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

    // All controls sit in a captionless frame that fills the window.
    QFrame *const fraMainFrame;
    QLabel *const picLogo;
    QLabel *const lblCompanyProduct;
    QLabel *const lblProductName;
    QLabel *const lblVersion;
    QLabel *const lblCopyright;
    QLabel *const lblCompany;

private:
    void Form_Load();
    void LayOutControls();
    void CentreOnScreen();
};
