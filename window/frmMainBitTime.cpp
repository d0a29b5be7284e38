#include "window/frmMainBitTime.h"

#include "candidates/vrnctlBitTime.h"
#include "timing/InputChecks.h"
#include "timing/Maker.h"
#include "timing/NumberReading.h"
#include "timing/Version.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"
#include "ui/Twips.h"
#include "ui/WaitCursor.h"
#include "window/Artwork.h"
#include "window/BitTimingPicture.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>

namespace {

// Design size of the client area, in twips.
constexpr double kDesignWidth = 8820;
constexpr double kDesignHeight = 6390;

const QColor kBandGrey(64, 64, 64);
const QColor kPromoGrey(110, 110, 110);
const QColor kLinkBlue(0, 0, 255);

const char* const kNoteStep1 =
    "Enter in the oscillator frequency and desired CAN baud rate. Press next \">\".";
const char* const kNoteStep2 =
    "The time quanta for the matching CAN baud rates have been selected and are shown at the "
    "left. Add any additional rates by double clicking them in the grid. Click next.";
const char* const kNoteStep3 =
    "Select an appropiate time quanta and adjust the various bit timing segments.";
// What the step-2 checks add to the problem with a box.
const char* const kSettingToDefault = " Setting to default value.";

QFont ArialFont(double points, bool bold = false) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString WindowCaption() {
    return ToQString(quillon::kAppTitle) + QStringLiteral(" - ") + ToQString(quillon::kMakerName) +
           QStringLiteral(" (") + ToQString(quillon::kMakerUrl) + QStringLiteral(")");
}

} // namespace

frmMainBitTime::frmMainBitTime(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMainBitTime"));
    setWindowTitle(WindowCaption());
    setFont(ArialFont(8.25));

    BuildHeaderBands();
    BuildPromotionalPanel();

    vrnBitTime = new vrnctlBitTime(this);
    vrnBitTime->setObjectName(QStringLiteral("vrnBitTime"));
    vrnBitTime->hide();

    BuildSegmentPanel();

    resize(Twips(kDesignWidth), Twips(kDesignHeight));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    Form_Load();
}

frmMainBitTime::~frmMainBitTime() = default;

int frmMainBitTime::Twips(double twips) const {
    return TwipsToPixels(twips, this);
}

void frmMainBitTime::Place(QWidget* widget, double left, double top, double width,
                           double height) const {
    widget->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

std::string frmMainBitTime::DecimalSeparator() const {
    return ToStdString(QLocale().decimalPoint());
}

double frmMainBitTime::ReadBox(const QLineEdit* box) const {
    return quillon::ReadLeadingNumber(ToStdString(box->text()));
}

void frmMainBitTime::BuildHeaderBands() {
    pctTop = new QWidget(this);
    pctTop->setObjectName(QStringLiteral("pctTop"));
    pctTop->setAutoFillBackground(true);
    QPalette white = pctTop->palette();
    white.setColor(QPalette::Window, Qt::white);
    pctTop->setPalette(white);
    Place(pctTop, 0, 0, kDesignWidth, 930);

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
    cmdBack->setToolTip(tr("Back to the previous step"));
    Place(cmdBack, 3855, 315, 300, 285);
    cmdBack->setEnabled(false);

    cmdNext = new QPushButton(QStringLiteral(">"), pctTop);
    cmdNext->setObjectName(QStringLiteral("cmdNext"));
    cmdNext->setToolTip(tr("On to the next step"));
    Place(cmdNext, 4200, 315, 300, 285);

    auto* label1 = new QLabel(QStringLiteral("Oscillator Freq (Mhz)"), pctTop);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Place(label1, 4995, 75, 2280, 255);

    txtOsc = new QLineEdit(ToQString(quillon::kDefaultOscillatorText), pctTop);
    txtOsc->setObjectName(QStringLiteral("txtOsc"));
    Place(txtOsc, 7350, 45, 1260, 285);

    auto* label2 = new QLabel(QStringLiteral("CAN (kBPS)"), pctTop);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Place(label2, 4995, 465, 2220, 255);

    txtCANBaud = new QLineEdit(ToQString(quillon::kDefaultRateText), pctTop);
    txtCANBaud->setObjectName(QStringLiteral("txtCANBaud"));
    Place(txtCANBaud, 7350, 435, 1260, 315);

    Label13 = new QLabel(ToQString(quillon::kMakerHost), pctTop);
    Label13->setObjectName(QStringLiteral("Label13"));
    QPalette link = Label13->palette();
    link.setColor(QPalette::WindowText, kLinkBlue);
    Label13->setPalette(link);
    Label13->setCursor(Qt::PointingHandCursor);
    Label13->setToolTip(ToQString(quillon::kMakerUrl));
    Label13->installEventFilter(this);
    Place(Label13, 255, 675, 1710, 210);

    pctTop2 = new QWidget(this);
    pctTop2->setObjectName(QStringLiteral("pctTop2"));
    pctTop2->setAutoFillBackground(true);
    QPalette grey = pctTop2->palette();
    grey.setColor(QPalette::Window, kBandGrey);
    grey.setColor(QPalette::WindowText, Qt::white);
    pctTop2->setPalette(grey);
    Place(pctTop2, 0, 930, kDesignWidth, 525);

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

    connect(cmdNext, &QPushButton::clicked, this, &frmMainBitTime::cmdNext_Click);
    connect(cmdBack, &QPushButton::clicked, this, &frmMainBitTime::cmdBack_Click);
}

void frmMainBitTime::BuildPromotionalPanel() {
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
        palette.setColor(QPalette::WindowText, kPromoGrey);
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
    connect(cmdTarsel, &QPushButton::clicked, this, &frmMainBitTime::cmdTarsel_Click);

    lblVarnholt = new QLabel(ToQString(quillon::kMakerName), this);
    lblVarnholt->setObjectName(QStringLiteral("lblVarnholt"));
    lblVarnholt->setFont(ArialFont(20.25));
    lblVarnholt->setAlignment(Qt::AlignCenter);
    Place(lblVarnholt, 60, 5130, 8340, 540);

    lblPlug = new QLabel(ToQString(quillon::kMakerHost), this);
    lblPlug->setObjectName(QStringLiteral("lblPlug"));
    lblPlug->setAlignment(Qt::AlignCenter);
    Place(lblPlug, 135, 5985, 8340, 390);

    lblrev = new QLabel(this);
    lblrev->setObjectName(QStringLiteral("lblrev"));
    QPalette palette = lblrev->palette();
    palette.setColor(QPalette::WindowText, Qt::gray);
    lblrev->setPalette(palette);
    Place(lblrev, 45, 5670, 1380, 180);
}

void frmMainBitTime::Form_Load() {
    lblrev->setText(QStringLiteral("Rev %1").arg(quillon::kRevision));
}

void frmMainBitTime::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutContent();
}

void frmMainBitTime::LayoutContent() {
    const int width = this->width();
    // The bands keep their design heights; they span the window so the top stays tidy
    // however wide the window becomes.
    pctTop->resize(qMax(width, Twips(kDesignWidth)), pctTop->height());
    pctTop2->setGeometry(0, pctTop->height(), qMax(width, Twips(kDesignWidth)), pctTop2->height());

    const int top = pctTop->height() + pctTop2->height();
    const int height = this->height() - top;
    if (height > 0) {
        vrnBitTime->setGeometry(0, top, width, height);
        pctSegment->setGeometry(0, top, width, height);
    }
    lblVarnholt->setGeometry(0, lblVarnholt->y(), width, lblVarnholt->height());
    lblPlug->setGeometry(0, lblPlug->y(), width, lblPlug->height());
}

bool frmMainBitTime::eventFilter(QObject* watched, QEvent* event) {
    const bool leftClick = event->type() == QEvent::MouseButtonRelease &&
                           static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (watched == Label13 && leftClick) {
        Label13_Click();
        return true;
    }
    if (watched == optPhase2Caption && leftClick && optPhase2[1]->isEnabled()) {
        optPhase2[1]->click();
        return true;
    }
    if (watched == pctSegment && event->type() == QEvent::Resize) {
        pctSegment_Resize();
    }
    return QWidget::eventFilter(watched, event);
}

void frmMainBitTime::cmdNext_Click() {
    ++m_step;
    ShowStep();
}

void frmMainBitTime::cmdBack_Click() {
    --m_step;
    ShowStep();
}

void frmMainBitTime::ShowStep() {
    WaitCursor wait(this);
    cmdTarsel->hide();
    if (m_step == 1) {
        ShowStep2();
    } else if (m_step == 2) {
        ShowStep3();
    }
}

void frmMainBitTime::ShowStep2() {
    const QString title = ToQString(quillon::kAppTitle);
    if (const auto problem = quillon::OscillatorProblem(ReadBox(txtOsc))) {
        ShowMessage(this, QMessageBox::Information, title,
                    ToQString(*problem) + QString::fromLatin1(kSettingToDefault));
        txtOsc->setText(ToQString(quillon::kDefaultOscillatorText));
    }
    if (const auto problem = quillon::RateProblem(ReadBox(txtCANBaud))) {
        ShowMessage(this, QMessageBox::Information, title,
                    ToQString(*problem) + QString::fromLatin1(kSettingToDefault));
        txtCANBaud->setText(ToQString(quillon::kDefaultRateText));
    }

    vrnBitTime->SetOscFreqInMhz(ReadBox(txtOsc));
    vrnBitTime->SetCANBaudRate(ReadBox(txtCANBaud) * 1000);
    vrnBitTime->Calculate();

    lblStep->setText(QStringLiteral("Step 2"));
    lblNote->setText(QString::fromLatin1(kNoteStep2));

    pctSegment->hide();
    vrnBitTime->show();
    vrnBitTime->raise();
    cmdBack->setEnabled(false);
    cmdNext->setEnabled(true);
}

void frmMainBitTime::ShowStep3() {
    lblStep->setText(QStringLiteral("Step 3"));
    lblNote->setText(QString::fromLatin1(kNoteStep3));

    std::int32_t count = 0;
    vrnBitTime->GetTqValues(vTqValues, vBRPValues, count);

    {
        const QSignalBlocker quiet(lstSelectTq);
        lstSelectTq->clear();
        for (std::int32_t i = 1; i <= count; ++i) {
            lstSelectTq->addItem(QString::number(vTqValues(static_cast<std::size_t>(i))));
        }
        lstSelectTq->setCurrentIndex(-1);
    }
    if (lstSelectTq->count() > 0) {
        lstSelectTq->setCurrentIndex(0);
        lstSelectTq_Click();
        lstSelectTq->setEnabled(true);
    } else {
        lstSelectTq->setEnabled(false);
    }

    pctSegment->show();
    pctSegment->raise();
    vrnBitTime->hide();
    DrawBitTiming();
    cmdBack->setEnabled(true);
    cmdNext->setEnabled(false);
}

void frmMainBitTime::cmdTarsel_Click() {
    OpenMakerWebsite();
}

void frmMainBitTime::Label13_Click() {
    OpenMakerWebsite();
}
