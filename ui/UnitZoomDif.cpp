#include "UnitZoomDif.h"

#include "HelpViewer.h"
#include "vcl/Screen.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QTimer>

TVSDFrm* VSDFrm = nullptr;

namespace {

// The window's design font is a 13-pixel sans serif; Liberation Sans is the
// metric twin of the face it was drawn with.
QFont WindowFont(bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(13);
    font.setBold(bold);
    return font;
}

QString PictureResource(int index)
{
    if (index == TVSDFrm::HeatPicture)
        return QStringLiteral(":/closeup/ImageHeat.gif");
    return QStringLiteral(":/closeup/Image%1.gif").arg(index);
}

// A hidden store for one picture. A picture that cannot be read leaves the
// store empty, and showing it shows nothing.
QLabel* MakePictureStore(QWidget* parent, const QString& name, int index)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(7, 9, 345, 190);
    const QPixmap picture(PictureResource(index));
    if (!picture.isNull())
        label->setPixmap(picture);
    label->hide();
    return label;
}

} // namespace

// ---------------------------------------------------------------------------

TLeftCaptionCheckBox::TLeftCaptionCheckBox(const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent)
{
}

void TLeftCaptionCheckBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    const int boxWidth = style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, this);
    const int boxHeight = style()->pixelMetric(QStyle::PM_IndicatorHeight, &option, this);
    QStyleOptionButton box = option;
    box.rect = QRect(width() - boxWidth, (height() - boxHeight) / 2, boxWidth, boxHeight);
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, box);

    const QRect textArea(0, 0, width() - boxWidth - 4, height());
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
    painter.drawItemText(textArea, flags, option.palette, isEnabled(), text(),
                         QPalette::WindowText);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = fontMetrics().boundingRect(textArea, flags, text()).adjusted(-1, 0, 1, 0);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool TLeftCaptionCheckBox::hitButton(const QPoint& pos) const
{
    // The whole control is clickable, caption included.
    return rect().contains(pos);
}

// ---------------------------------------------------------------------------

TBevelPanel::TBevelPanel(QWidget* parent)
    : QFrame(parent)
{
}

void TBevelPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& pal = palette();
    QRect r = rect();

    // Single flat border.
    painter.setPen(pal.color(QPalette::Shadow));
    painter.drawRect(r.adjusted(0, 0, -1, -1));

    // Lowered bevel, two pixels wide: shadow on top and left, light below
    // and right.
    for (int i = 1; i <= 2; ++i) {
        const QRect b = r.adjusted(i, i, -i - 1, -i - 1);
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawLine(b.topLeft(), b.topRight());
        painter.drawLine(b.topLeft(), b.bottomLeft());
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(b.bottomLeft(), b.bottomRight());
        painter.drawLine(b.topRight(), b.bottomRight());
    }
}

// ---------------------------------------------------------------------------

TVSDFrm::TVSDFrm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("VSDFrm"));
    BuildControls();
    FormCreate();
    if (!VSDFrm)
        VSDFrm = this;
}

TVSDFrm::~TVSDFrm()
{
    FormDestroy();
    if (VSDFrm == this)
        VSDFrm = nullptr;
}

void TVSDFrm::BuildControls()
{
    setFont(WindowFont());
    // The button-face grey the close-up pictures were matted against.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xF0, 0xF0, 0xF0));
    setPalette(pal);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    // The window comes out at its design size whatever the screen.
    setFixedSize(DesignWidth, DesignHeight);
    move((TScreen::Width() - DesignWidth) / 2, (TScreen::Height() - DesignHeight) / 2);

    PanelDiffuser = new TBevelPanel(this);
    PanelDiffuser->setObjectName(QStringLiteral("PanelDiffuser"));
    PanelDiffuser->setGeometry(0, 0, 361, 209);

    Image0 = MakePictureStore(PanelDiffuser, QStringLiteral("Image0"), 0);
    Image1 = MakePictureStore(PanelDiffuser, QStringLiteral("Image1"), 1);
    Image2 = MakePictureStore(PanelDiffuser, QStringLiteral("Image2"), 2);
    Image3 = MakePictureStore(PanelDiffuser, QStringLiteral("Image3"), 3);
    Image4 = MakePictureStore(PanelDiffuser, QStringLiteral("Image4"), 4);
    Image5 = MakePictureStore(PanelDiffuser, QStringLiteral("Image5"), 5);
    Image6 = MakePictureStore(PanelDiffuser, QStringLiteral("Image6"), 6);
    Image7 = MakePictureStore(PanelDiffuser, QStringLiteral("Image7"), 7);
    ImageHeat = MakePictureStore(PanelDiffuser, QStringLiteral("ImageHeat"), HeatPicture);

    ImageDiff = new QLabel(PanelDiffuser);
    ImageDiff->setObjectName(QStringLiteral("ImageDiff"));
    ImageDiff->setGeometry(7, 9, 343, 189);
    ImageDiff->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblCaption = new QLabel(QStringLiteral("Room"), PanelDiffuser);
    lblCaption->setObjectName(QStringLiteral("lblCaption"));
    lblCaption->setFont(WindowFont(true));
    // Wide enough for every room name; the label draws only its text.
    lblCaption->setGeometry(8, 8, 340, lblCaption->sizeHint().height());
    lblCaption->raise();

    Panel1 = new TBevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 208, 361, 93);

    CheckManual = new TLeftCaptionCheckBox(QStringLiteral("Manual Mode"), Panel1);
    CheckManual->setObjectName(QStringLiteral("CheckManual"));
    CheckManual->setGeometry(20, 8, 123, 17);
    CheckManual->setToolTip(QStringLiteral("Set the Manual Mode"));

    Label1 = new QLabel(QStringLiteral("Disc Opening (%)"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(22, 34);
    Label1->adjustSize();

    SpinDiscOpening = new QSpinBox(Panel1);
    SpinDiscOpening->setObjectName(QStringLiteral("SpinDiscOpening"));
    SpinDiscOpening->setGeometry(130, 34, 53, 26);
    SpinDiscOpening->setToolTip(QStringLiteral("Change the Disc Opening Up or Down"));
    SpinDiscOpening->setRange(30, 100);
    SpinDiscOpening->setSingleStep(10);
    SpinDiscOpening->setValue(30);
    // Only the arrows change the value; the text cannot be typed. The spin box
    // itself stays writable so its arrows keep working.
    if (auto* text = SpinDiscOpening->findChild<QLineEdit*>()) {
        text->setMaxLength(3);
        text->setReadOnly(true);
    }
    SpinDiscOpening->setEnabled(false);

    BtnClose = new QPushButton(QStringLiteral("&Close"), Panel1);
    BtnClose->setObjectName(QStringLiteral("BtnClose"));
    BtnClose->setGeometry(264, 55, 75, 25);
    BtnClose->setAutoDefault(false);

    CheckAnimate = new TLeftCaptionCheckBox(QStringLiteral("Animate Mode"), Panel1);
    CheckAnimate->setObjectName(QStringLiteral("CheckAnimate"));
    CheckAnimate->setGeometry(208, 34, 131, 16);
    CheckAnimate->setToolTip(QStringLiteral("Set the Animate Mode"));
    CheckAnimate->setEnabled(false);

    CheckHeatMode = new TLeftCaptionCheckBox(QStringLiteral("Heat Mode"), Panel1);
    CheckHeatMode->setObjectName(QStringLiteral("CheckHeatMode"));
    CheckHeatMode->setGeometry(208, 8, 131, 17);
    CheckHeatMode->setToolTip(QStringLiteral("Set the Heat Mode"));
    CheckHeatMode->setEnabled(false);

    setTabOrder(CheckManual, SpinDiscOpening);
    setTabOrder(SpinDiscOpening, BtnClose);
    setTabOrder(BtnClose, CheckAnimate);
    setTabOrder(CheckAnimate, CheckHeatMode);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);

    // Programmatic changes run the same handlers as the user's, and only
    // when the state or the value really changes.
    connect(SpinDiscOpening, &QSpinBox::valueChanged, this, [this] { SpinDiscOpeningChange(); });
    connect(CheckManual, &QCheckBox::toggled, this, [this] { CheckManualClick(); });
    connect(CheckAnimate, &QCheckBox::toggled, this, [this] { CheckAnimateClick(); });
    connect(CheckHeatMode, &QCheckBox::toggled, this, [this] { CheckHeatModeClick(); });
    connect(BtnClose, &QPushButton::clicked, this, [this] { BtnCloseClick(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    // Also sees the spin edit's focus changes.
    WatchKeys(this);
}

void TVSDFrm::WatchKeys(QWidget* widget)
{
    // The window previews every key released in it.
    widget->installEventFilter(this);
    const auto children = widget->findChildren<QWidget*>();
    for (QWidget* child : children)
        child->installEventFilter(this);
}

void TVSDFrm::SetHelpHook(THelpHook hook)
{
    FHelpHook = std::move(hook);
}

QPixmap TVSDFrm::StoredPicture(int index) const
{
    if (index < 0 || index >= FPictures.size())
        return {};
    return FPictures[index]->pixmap();
}

void TVSDFrm::ShowPicture(int index)
{
    // A copy of the stored picture; the stores themselves stay hidden.
    const QPixmap picture = StoredPicture(index);
    if (picture.isNull()) {
        ImageDiff->clear();
        return;
    }
    ImageDiff->setPixmap(picture);
    ImageDiff->resize(picture.size());
}

void TVSDFrm::ResetAnimation()
{
    FPictureIndex = 0;
    FAnimationStep = 1;
    SpinDiscOpening->setValue(30);
}

void TVSDFrm::FormCreate()
{
    FPictures = {Image0, Image1, Image2, Image3, Image4, Image5, Image6, Image7, ImageHeat};
    FSpinFocused = false;
    FPictureIndex = 0;
    ShowPicture(0);
    ResetAnimation();
}

void TVSDFrm::FormDestroy()
{
    Timer1->stop();
    FPictures.clear();
}

void TVSDFrm::FormKeyUp(int key)
{
    ForwardHelpKey(FHelpHook, HelpTopic, key);
}

void TVSDFrm::Timer1Timer()
{
    FPictureIndex += FAnimationStep;
    if (FPictureIndex == 0)
        FAnimationStep = 1;
    if (FPictureIndex == 7)
        FAnimationStep = -1;
    ShowPicture(FPictureIndex);
    SpinDiscOpening->setValue(FPictureIndex * 10 + 30);
    if (CheckAnimate->isChecked()) {
        if (!Timer1->isActive())
            Timer1->start();
    } else {
        Timer1->stop();
    }
}

void TVSDFrm::SpinDiscOpeningChange()
{
    if (FSpinFocused) {
        // The user took the disc over with the arrows.
        Timer1->stop();
        CheckAnimate->setChecked(false);
        CheckHeatMode->setChecked(false);
    }
    FPictureIndex = (SpinDiscOpening->value() - 30) / 10;
    if (FPictureIndex > 7)
        FPictureIndex = 7;
    ShowPicture(FPictureIndex);
}

void TVSDFrm::SpinDiscOpeningEnter()
{
    FSpinFocused = true;
}

void TVSDFrm::SpinDiscOpeningExit()
{
    FSpinFocused = false;
}

void TVSDFrm::CheckManualClick()
{
    if (CheckManual->isChecked()) {
        CheckAnimate->setEnabled(true);
        CheckHeatMode->setEnabled(true);
        SpinDiscOpening->setEnabled(true);
    } else {
        CheckAnimate->setChecked(false);
        CheckAnimate->setEnabled(false);
        CheckHeatMode->setEnabled(false);
        SpinDiscOpening->setEnabled(false);
    }
}

void TVSDFrm::CheckAnimateClick()
{
    if (CheckAnimate->isChecked()) {
        CheckHeatMode->setChecked(false);
        ResetAnimation();
    }
    if (CheckAnimate->isChecked()) {
        if (!Timer1->isActive())
            Timer1->start();
    } else {
        Timer1->stop();
    }
}

void TVSDFrm::CheckHeatModeClick()
{
    if (CheckHeatMode->isChecked()) {
        Timer1->stop();
        CheckAnimate->setChecked(false);
        SpinDiscOpening->setValue(30);
        ShowPicture(HeatPicture);
    } else {
        ShowPicture(0);
    }
}

void TVSDFrm::BtnCloseClick()
{
    close();
}

bool TVSDFrm::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        if (watched == SpinDiscOpening)
            SpinDiscOpeningEnter();
        break;
    case QEvent::FocusOut:
        // Switching to another window leaves the spin edit the focused control
        // of this one; only a move to another control of this window leaves it.
        if (watched == SpinDiscOpening) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                SpinDiscOpeningExit();
        }
        break;
    case QEvent::KeyPress:
        // Every key is pressed before it is released, so the release that
        // follows is a new key even if it sits where the last one did.
        FKeyEvent = nullptr;
        break;
    case QEvent::KeyRelease: {
        // An unhandled key climbs from the control to its parents; each step
        // passes this filter again, so only its first stop counts.
        auto* previous = qobject_cast<QWidget*>(FKeyWatched.data());
        const bool climbing = event == FKeyEvent && previous && previous->parentWidget() == watched;
        FKeyEvent = event;
        FKeyWatched = watched;
        auto* key = static_cast<QKeyEvent*>(event);
        if (!climbing && !key->isAutoRepeat())
            FormKeyUp(key->key());
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
