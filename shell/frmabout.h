#pragma once

// The window and its controls keep their historical names (frm, lbl, pic,
// cmd and fra prefixes, Label1...): keep them as they are.

#include <QDialog>

class LoadedForms;
class QLabel;
class QPushButton;

// The About window: product name, version, description and the maker's
// contact lines. A fixed-size modal dialog with a close box only; OK is both
// its default and its cancel button, so Enter and Escape close it as well.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *owner);

private:
    void Form_Load();
    void LayOutControls();
    void cmdOK_Click();

    QLabel *const picLogo;
    QLabel *const Label1;
    QLabel *const lblVersion;
    QLabel *const lblDescription;
    QLabel *const Label3;
    QLabel *const Label4;
    QLabel *const Label5;
    QLabel *const Label6;
    QLabel *const Label7;
    QLabel *const Label8;
    QLabel *const Label9;
    QPushButton *const cmdOK;
    QLabel *const Label2;
};

// Shows a freshly loaded About window modal over `owner`, centred on it, and
// returns once the operator has closed it; the window is gone by then. While
// open it stands in the loaded-window list, when one is given.
void ShowAboutWindow(QWidget *owner, LoadedForms *forms = nullptr);
