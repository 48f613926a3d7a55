#include "frmabout.h"

#include "appinfo.h"
#include "formlayout.h"
#include "loadedforms.h"
#include "makerinfo.h"
#include "shellassets.h"
#include "versionline.h"

#include <QLabel>
#include <QPushButton>

namespace {

void UseBlackText(QLabel *label)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
}

} // namespace

frmAbout::frmAbout(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                         | Qt::WindowCloseButtonHint)
    , picLogo(NewLabel(this, "picLogo", {}))
    , Label1(NewLabel(this, "Label1", QStringLiteral("Message Board")))
    , lblVersion(NewLabel(this, "lblVersion", {}))
    , lblDescription(NewLabel(this, "lblDescription",
                              QStringLiteral("Message Board Control Software for Windows")))
    , Label3(NewLabel(this, "Label3", MakerInfo::LegalName))
    , Label4(NewLabel(this, "Label4", MakerInfo::Street))
    , Label5(NewLabel(this, "Label5", MakerInfo::CityLine))
    , Label6(NewLabel(this, "Label6", QStringLiteral("Tel: ") + MakerInfo::Telephone))
    , Label7(NewLabel(this, "Label7", QStringLiteral("Fax:") + MakerInfo::Fax))
    , Label8(NewLabel(this, "Label8", QStringLiteral("EMail: ") + MakerInfo::EMail))
    , Label9(NewLabel(this, "Label9", QStringLiteral("Web: ") + MakerInfo::WebAddress))
    , cmdOK(new QPushButton(QStringLiteral("OK"), this))
    , Label2(NewLabel(this, "Label2", MakerInfo::Copyright))
{
    setWindowTitle(QStringLiteral("About ") + QString::fromUtf8(AppInfo::Title));
    setWindowIcon(ProgramIcon());
    setModal(true);
    setFixedSize(TwipsSize(7425, 3255));

    // A sunken border two pixels wide around the picture, which it fits exactly.
    picLogo->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picLogo->setLineWidth(2);
    picLogo->setPixmap(LogoPicture());

    Label1->setFont(ArialFont(30, FontStyle::BoldItalic));
    lblVersion->setFont(ArialFont(12, FontStyle::Bold));
    lblDescription->setFont(ArialFont(9.75));
    UseBlackText(lblDescription);
    UseBlackText(Label2);
    for (QLabel *label : {Label3, Label4, Label5, Label6, Label7, Label8, Label9, Label2})
        label->setFont(DialogFont());
    cmdOK->setFont(DialogFont());

    // OK is the default button; QDialog already treats Escape and the close
    // box as cancel, which unloads the window the same way.
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    // The only control that takes the focus, so it is first in the tab order.
    cmdOK->setFocus();

    Form_Load();
    LayOutControls();
}

void frmAbout::Form_Load()
{
    lblVersion->setText(VersionLine(AppInfo::VersionMajor, AppInfo::VersionMinor));
}

void frmAbout::LayOutControls()
{
    picLogo->setGeometry(QRect(QPoint(TwipsToPixels(180), TwipsToPixels(150)),
                               picLogo->sizeHint()));
    PlaceAutoSizeLabel(Label1, 2790, 60);
    PlaceAutoSizeLabel(lblVersion, 4215, 930);
    PlaceAutoSizeLabel(lblDescription, 2865, 1395);
    PlaceWordWrapLabel(Label3, 180, 1050, 2550);
    PlaceWordWrapLabel(Label4, 180, 1275, 2550);
    PlaceWordWrapLabel(Label5, 180, 1470, 2550);
    PlaceWordWrapLabel(Label6, 180, 1860, 2550);
    PlaceWordWrapLabel(Label7, 180, 2080, 2550);
    PlaceWordWrapLabel(Label8, 180, 2300, 2550);
    PlaceAutoSizeLabel(Label9, 180, 2520);
    cmdOK->setGeometry(TwipsRect(5700, 2160, 1467, 450));
    PlaceAutoSizeLabel(Label2, 180, 2865);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void ShowAboutWindow(QWidget *owner, LoadedForms *forms)
{
    frmAbout about(owner);
    if (forms)
        forms->Load(&about);
    about.exec();
}
