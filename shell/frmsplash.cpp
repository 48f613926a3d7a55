#include "frmsplash.h"

#include "appinfo.h"
#include "formlayout.h"
#include "makerinfo.h"
#include "shellassets.h"
#include "versionline.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace {

// The frame sits one pixel left of the window's edge and three below its top,
// so the controls' designed window positions are shifted by this to land in it.
constexpr int FrameLeft = -15;
constexpr int FrameTop = 45;

} // namespace

frmSplash::frmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , fraMainFrame(new QFrame(this))
    , picLogo(NewLabel(fraMainFrame, "picLogo", {}))
    , lblCompanyProduct(NewLabel(fraMainFrame, "lblCompanyProduct", MakerInfo::Company))
    , lblProductName(NewLabel(fraMainFrame, "lblProductName", QStringLiteral("Message Board")))
    , lblVersion(NewLabel(fraMainFrame, "lblVersion", {}))
    , lblCopyright(NewLabel(fraMainFrame, "lblCopyright", MakerInfo::Copyright))
    , lblCompany(NewLabel(fraMainFrame, "lblCompany", MakerInfo::LegalName))
{
    setWindowIcon(ProgramIcon());
    setFixedSize(TwipsSize(8280, 3930));
    // The splash has no input handlers: clicks and key presses while it is up
    // do nothing, and it never takes the focus from the window being loaded.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);

    fraMainFrame->setObjectName(QStringLiteral("fraMainFrame"));
    fraMainFrame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    fraMainFrame->setGeometry(TwipsRect(FrameLeft, FrameTop, 8325, 3915));

    picLogo->setPixmap(LogoPicture());
    picLogo->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblCompanyProduct->setFont(ArialFont(18, FontStyle::Bold));
    lblProductName->setFont(ArialFont(48, FontStyle::BoldItalic));
    lblVersion->setFont(ArialFont(12, FontStyle::Bold));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCopyright->setFont(ArialFont(9.75));
    lblCompany->setFont(ArialFont(9.75));

    Form_Load();
    LayOutControls();
    CentreOnScreen();
}

void frmSplash::Form_Load()
{
    lblVersion->setText(VersionLine(AppInfo::VersionMajor, AppInfo::VersionMinor));
}

void frmSplash::LayOutControls()
{
    const auto inFrame = [](QLabel *label, int left, int top) {
        PlaceAutoSizeLabel(label, left - FrameLeft, top - FrameTop);
    };
    picLogo->setGeometry(TwipsRect(615 - FrameLeft, 465 - FrameTop, 1980, 795));
    inFrame(lblCompanyProduct, 3300, 600);
    inFrame(lblProductName, 615, 1455);
    inFrame(lblVersion, 660, 2730);
    inFrame(lblCopyright, 615, 3345);
    inFrame(lblCompany, 5070, 3360);
}

void frmSplash::CentreOnScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect placed(QPoint(), size());
    placed.moveCenter(screen->geometry().center());
    move(placed.topLeft());
}
