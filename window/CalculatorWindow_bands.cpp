// The window's fixed parts: the two header bands, always in view, and the promotional
// panel of step 1.
#include "window/CalculatorWindow.h"

#include "timing/common/InputChecks.h"
#include "timing/common/Maker.h"
#include "ui/FixedColours.h"
#include "ui/QtText.h"
#include "window/Artwork.h"
#include "window/WindowDesign.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void CalculatorWindow::BuildHeaderBands() {
    pctTop = new QWidget(this);
    pctTop->setObjectName(QStringLiteral("pctTop"));
    SetFixedColours(pctTop, Qt::white, Qt::black);
    Place(pctTop, 0, 0, kDesignWidthTwips, 930);

    auto* image1 = new QLabel(pctTop);
    image1->setObjectName(QStringLiteral("Image1"));
    Place(image1, 135, 120, 540, 540);
    image1->setPixmap(MakerLogo(image1->size()));

    auto* label3 = new QLabel(QStringLiteral("BIT TIMING"), pctTop);
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setFont(ArialFont(15.75, true));
    Place(label3, 735, 330, 2040, 360);

    auto* label6 = new QLabel(QStringLiteral("Controls"), pctTop);
    label6->setObjectName(QStringLiteral("Label6"));
    Place(label6, 3450, 45, 1470, 255);

    cmdBack = new QPushButton(QStringLiteral("<"), pctTop);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdBack->setToolTip(tr("Back to the previous step (Alt+Left)"));
    cmdBack->setAccessibleName(tr("Back"));
    Place(cmdBack, 3855, 315, 300, 285);
    cmdBack->setEnabled(false);
    cmdBack->setAutoDefault(true);

    cmdNext = new QPushButton(QStringLiteral(">"), pctTop);
    cmdNext->setObjectName(QStringLiteral("cmdNext"));
    cmdNext->setToolTip(tr("On to the next step (Alt+Right)"));
    cmdNext->setAccessibleName(tr("Next"));
    Place(cmdNext, 4200, 315, 300, 285);
    cmdNext->setAutoDefault(true);

    auto* label1 = new QLabel(QStringLiteral("Oscillator Freq (Mhz)"), pctTop);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Place(label1, 4995, 75, 2280, 255);

    txtOsc = new QLineEdit(ToQString(quillon::kDefaultOscillatorText), pctTop);
    txtOsc->setObjectName(QStringLiteral("txtOsc"));
    txtOsc->setAccessibleName(label1->text());
    Place(txtOsc, 7350, 45, 1260, 285);

    auto* label2 = new QLabel(QStringLiteral("CAN (kBPS)"), pctTop);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Place(label2, 4995, 465, 2220, 255);

    txtCANBaud = new QLineEdit(ToQString(quillon::kDefaultRateText), pctTop);
    txtCANBaud->setObjectName(QStringLiteral("txtCANBaud"));
    txtCANBaud->setAccessibleName(label2->text());
    Place(txtCANBaud, 7350, 435, 1260, 315);

    Label13 = new QLabel(ToQString(quillon::kMakerHost), pctTop);
    Label13->setObjectName(QStringLiteral("Label13"));
    QPalette link = Label13->palette();
    link.setColor(QPalette::WindowText, LinkBlue());
    Label13->setPalette(link);
    Label13->setCursor(Qt::PointingHandCursor);
    Label13->setToolTip(ToQString(quillon::kMakerUrl));
    Label13->setAccessibleName(tr("Open %1").arg(ToQString(quillon::kMakerUrl)));
    // A link the keyboard reaches too: Tab stops on it, Return or Space opens it, and the
    // focus shows as a frame in the band's own text colour.
    Label13->setFocusPolicy(Qt::StrongFocus);
    Label13->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted black; }"));
    Label13->installEventFilter(this);
    Place(Label13, 255, 675, 1710, 210);

    pctTop2 = new QWidget(this);
    pctTop2->setObjectName(QStringLiteral("pctTop2"));
    SetFixedColours(pctTop2, BandGrey(), Qt::white);
    Place(pctTop2, 0, 930, kDesignWidthTwips, 525);

    lblStep = new QLabel(QStringLiteral("Step 1:"), pctTop2);
    lblStep->setObjectName(QStringLiteral("lblStep"));
    lblStep->setFont(ArialFont(14.25));
    Place(lblStep, 90, 30, 975, 300);

    lblNote = new QLabel(QString::fromLatin1(kNoteStep1), pctTop2);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setFont(ArialFont(9.75));
    lblNote->setWordWrap(true);
    lblNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(lblNote, 1080, 15, 7530, 480);

    connect(cmdNext, &QPushButton::clicked, this, &CalculatorWindow::cmdNext_Click);
    connect(cmdBack, &QPushButton::clicked, this, &CalculatorWindow::cmdBack_Click);
}

void CalculatorWindow::BuildPromotionalPanel() {
    auto* photo = new QLabel(this);
    photo->setObjectName(QStringLiteral("imgTarsel"));
    Place(photo, 345, 1995, 2730, 2580);
    photo->setPixmap(ProductPicture(photo->size()));

    auto* lblMCP = new QLabel(ToQString(quillon::kProductName), this);
    lblMCP->setObjectName(QStringLiteral("lblMCP"));
    lblMCP->setFont(ArialFont(18, true));
    Place(lblMCP, 3300, 1995, 5200, 480);

    const char* const lines[] = {
        "USB to CAN for 2.0A and 2.0B buses",
        "Bit rates from 10 kbit/s to 1 Mbit/s, set in Tq",
        "Listen-only mode, error frames and time stamps",
        "For MCP251X, PIC18 and dsPIC33F work",
        "From $149 per unit*",
    };
    int row = 0;
    for (const char* text : lines) {
        auto* line = new QLabel(QString::fromLatin1(text), this);
        line->setObjectName(QStringLiteral("lblFeature%1").arg(row + 1));
        line->setFont(ArialFont(12));
        QPalette palette = line->palette();
        palette.setColor(QPalette::WindowText, MutedTextColour(palette));
        line->setPalette(palette);
        Place(line, 3300, 2580 + 360.0 * row, 5300, 330);
        ++row;
    }

    auto* label18 = new QLabel(tr("* Price per unit before shipping and taxes."), this);
    label18->setObjectName(QStringLiteral("Label18"));
    Place(label18, 3300, 4440, 5300, 240);

    cmdTarsel = new QPushButton(QStringLiteral("Click for More Information"), this);
    cmdTarsel->setObjectName(QStringLiteral("cmdTarsel"));
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSizeF(8.25);
    cmdTarsel->setFont(verdana);
    Place(cmdTarsel, 345, 4740, 2730, 405);
    cmdTarsel->setAutoDefault(true);
    connect(cmdTarsel, &QPushButton::clicked, this, &CalculatorWindow::cmdTarsel_Click);

    lblVarnholt = new QLabel(ToQString(quillon::kMakerName), this);
    lblVarnholt->setObjectName(QStringLiteral("lblVarnholt"));
    lblVarnholt->setFont(ArialFont(20.25));
    lblVarnholt->setAlignment(Qt::AlignCenter);
    Place(lblVarnholt, 60, 1440, 8340, 540);
    // It reaches a pixel into the step band above it; the band stays on top.
    lblVarnholt->lower();

    lblPlug = new QLabel(ToQString(quillon::kMakerHost), this);
    lblPlug->setObjectName(QStringLiteral("lblPlug"));
    lblPlug->setAlignment(Qt::AlignCenter);
    Place(lblPlug, 135, 5985, 8340, 390);

    lblrev = new QLabel(this);
    lblrev->setObjectName(QStringLiteral("lblrev"));
    QPalette palette = lblrev->palette();
    palette.setColor(QPalette::WindowText, MutedTextColour(palette));
    lblrev->setPalette(palette);
    Place(lblrev, 45, 5670, 1380, 180);
}
