#include "CalibrationForm.h"

#include "GR32_Extra.h"
#include "HelpViewer.h"
#include "UnitTextLayer.h"
#include "gr32/GR32.h"
#include "table/EasyTable.h"
#include "vcl/DesignScale.h"
#include "vcl/Rounding.h"
#include "vcl/Screen.h"

#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// The design font is a 13-pixel sans serif; Liberation Sans is the metric
// twin of the face it was drawn with.
QFont WindowFont(const TDesignScale& d)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(std::max(1, d.px(13)));
    return font;
}

// The logo is drawn transparent: its bottom-left colour is the see-through one.
QPixmap TransparentLogo()
{
    const QImage image(TCalibrationForm::LogoResource);
    if (image.isNull())
        return {};
    QPixmap pixmap = QPixmap::fromImage(image);
    const QColor key = QColor::fromRgb(image.pixel(0, image.height() - 1));
    pixmap.setMask(pixmap.createMaskFromColor(key, Qt::MaskInColor));
    return pixmap;
}

// Opens the image table for the time of the build when it was closed, so the
// pictures are read in one session instead of one open per picture.
class TTableSession {
public:
    explicit TTableSession(TEasyTable* table)
        : m_table(table && !table->Active() ? table : nullptr)
    {
        if (m_table)
            m_table->Open();
    }
    ~TTableSession()
    {
        if (m_table) {
            try {
                m_table->Close();
            } catch (...) {
                // Closing a table that was read to the end cannot lose anything.
            }
        }
    }
    TTableSession(const TTableSession&) = delete;
    TTableSession& operator=(const TTableSession&) = delete;

private:
    TEasyTable* m_table;
};

} // namespace

TCalibrationForm::TCalibrationForm(TDesign design, float scale, TEasyTable* images,
                                   THelpHook helpHook, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , FDesign(std::move(design))
    , FScale(scale)
    , FImages(images)
    , FHelpHook(std::move(helpHook))
{
    setWindowTitle(FDesign.Caption + QLatin1Char(' ') + Version);
    // Only the main window ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    FFanPhase = true;

    CreateControls();

    // Room for the picture, the memo, the logo and the rows of buttons; the
    // logo keeps its own size.
    const int logoHeight = Image1->pixmap().isNull() ? DesignLogoHeight : Image1->pixmap().height();
    const int height = RoundHalfEven(double(FScale) * 120.0) + MainImage->height()
        + FMemo->height() + RoundHalfEven(logoHeight / 1.5);
    const int width = RoundHalfEven(double(FScale) * 23.0) + MainImage->width();
    setFixedSize(width, height);
    if (!Image1->pixmap().isNull())
        Image1->resize(Image1->pixmap().size());
    move((TScreen::Width() - width) / 2, (TScreen::Height() - height) / 2);

    // The window sees every key before its controls.
    qApp->installEventFilter(this);
}

TCalibrationForm::~TCalibrationForm()
{
    qApp->removeEventFilter(this);
    FanTimer->stop();
    FSteps.Clear();
    FPressureLabels = nullptr;
    // The layers go with MainImage's layer collection.
}

void TCalibrationForm::CreateControls()
{
    const TDesignScale d(FScale);
    setFont(WindowFont(d));
    setBackgroundRole(QPalette::Window);

    MainImage = new TImage32(this);
    MainImage->setObjectName(QStringLiteral("MainImage"));
    d.place(MainImage, 9, 9, 472, 352);
    MainImage->setToolTip(FDesign.ImageHint);
    connect(MainImage, &TImage32::MouseDown, this, &TCalibrationForm::MainImageMouseDown);
    connect(MainImage, &TImage32::MouseMove, this, &TCalibrationForm::MainImageMouseMove);

    auto button = [&](const QString& name, const QString& caption, const QString& hint, int l,
                      int t, int w, int h) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setAutoDefault(false);
        d.place(b, l, t, w, h);
        return b;
    };
    FBtnPrev = button(FDesign.PrevName, QStringLiteral("<< &Previous"),
                      QStringLiteral("Go back to previous Step"), 9, 368, 80, 25);
    FBtnPrev->setEnabled(false);
    connect(FBtnPrev, &QPushButton::clicked, this, &TCalibrationForm::PrevClick);
    FBtnNext = button(FDesign.NextName, QStringLiteral("&Next >>"),
                      QStringLiteral("Skip to next Step"), 96, 368, 81, 25);
    connect(FBtnNext, &QPushButton::clicked, this, &TCalibrationForm::NextClick);
    FBtnSwitch = button(FDesign.SwitchName, FDesign.SwitchCaption, FDesign.SwitchHint, 318, 368,
                        163, 25);
    connect(FBtnSwitch, &QPushButton::clicked, this, &TCalibrationForm::SwitchClick);

    FMemo = new QPlainTextEdit(this);
    FMemo->setObjectName(FDesign.MemoName);
    d.place(FMemo, 9, 396, 472, 89);
    FMemo->setReadOnly(true);
    FMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FMemo->setPlainText(FDesign.MemoName);
    FMemo->setToolTip(FDesign.MemoHint);
    FMemo->viewport()->setCursor(Qt::ArrowCursor);

    FLblAction = new QLabel(FDesign.ActionCaption, this);
    FLblAction->setObjectName(FDesign.ActionName);
    // Reaches from the left edge to the Close button.
    d.place(FLblAction, 9, 488, 390, 17);
    QPalette red = FLblAction->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    FLblAction->setPalette(red);
    FLblAction->setAutoFillBackground(!FDesign.ActionTransparent);

    BtnClose = button(QStringLiteral("BtnClose"), QStringLiteral("&Close"), QString(), 406, 488,
                      75, 25);
    connect(BtnClose, &QPushButton::clicked, this, &TCalibrationForm::BtnCloseClick);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->move(d.px(10), d.px(507));
    const QPixmap logo = TransparentLogo();
    if (!logo.isNull()) {
        Image1->setPixmap(logo);
        Image1->resize(logo.size());
    }

    FanTimer = new QTimer(this);
    FanTimer->setObjectName(QStringLiteral("FanTimer"));
    FanTimer->setInterval(100);
    connect(FanTimer, &QTimer::timeout, this, &TCalibrationForm::FanTimerTimer);

    setTabOrder(FBtnSwitch, FBtnPrev);
    setTabOrder(FBtnPrev, FBtnNext);
    setTabOrder(FBtnNext, MainImage);
    setTabOrder(MainImage, FMemo);
    setTabOrder(FMemo, BtnClose);
}

// ---------------------------------------------------------------- creation

void TCalibrationForm::FormCreate()
{
    const TTableSession session(FImages);
    FSteps.Clear();
    BuildScene();
    AddSteps();
    FSteps.Memo = FMemo;
    FSteps.ActionLabel = FLblAction;
    FSteps.Next();
}

TBitmapLayerList* TCalibrationForm::AddBackground(const QString& picture, const QString& mask)
{
    const std::unique_ptr<TBitmap32> image = LoadNamedBitmap(FImages, picture);
    auto* group = new TBitmapLayerList(&MainImage->Layers(), 0, 0, image.get(), FScale);
    const std::unique_ptr<TBitmap32> alpha = LoadNamedBitmap(FImages, mask);
    ApplyAlphaMask(&group->Bitmap(), alpha.get());
    group->Bitmap().SetDrawMode(TDrawMode::dmBlend);
    return group;
}

TBitmapLayerList* TCalibrationForm::AddGroup(int x, int y)
{
    return new TBitmapLayerList(&MainImage->Layers(), x, y, nullptr, FScale);
}

void TCalibrationForm::AddTarget(TBitmapLayerList* group, const QString& picture,
                                 const QString& mask, int x, int y)
{
    int index = 0;
    {
        const std::unique_ptr<TBitmap32> image = LoadNamedBitmap(FImages, picture);
        index = group->AddChildAt(image.get(), 255, false, x, y);
    }
    const std::unique_ptr<TBitmap32> alpha = LoadNamedBitmap(FImages, mask);
    group->AddToChild(alpha.get(), index, 255, true);
}

void TCalibrationForm::AddFan()
{
    FFan = AddGroup(0, 0);
    AddTarget(FFan, QStringLiteral("Fan1"), QStringLiteral("Fan1_Alpha"), 336, 31);
    AddTarget(FFan, QStringLiteral("Fan2"), QStringLiteral("Fan2_Alpha"), 336, 31);
}

void TCalibrationForm::AddStep(TBitmapLayerList* group, int x, int y, const char* action,
                               const char* description)
{
    FSteps.AddHotSpot(group, QString::fromUtf8(action), QString::fromUtf8(description),
                      float(x) * FScale, float(y) * FScale);
}

// ---------------------------------------------------------------- labels

void TCalibrationForm::SetPressureLabels(bool Metric)
{
    delete FPressureLabels;
    FPressureLabels = nullptr;
    auto* layer = new TTextLayer(&MainImage->Layers(), 0, 0, MainImage->width(),
                                 MainImage->height());
    for (const TPressureLabel& label : Metric ? FDesign.MetricLabels : FDesign.ImperialLabels)
        layer->AddLabel(label.X, label.Y, QString::fromUtf8(label.Text));
    FPressureLabels = layer;
}

// ---------------------------------------------------------------- steps

bool TCalibrationForm::IsCurrentTarget(TCustomLayer* layer) const
{
    const TBitmapLayerList* group = FSteps.CurrentLayers();
    if (!group || !layer || !IsLayerActive(layer))
        return false;
    for (int i = 0; i < group->ChildCount(); ++i)
        if (group->Children(i) == layer)
            return true;
    return false;
}

void TCalibrationForm::UpdatePointer(TCustomLayer* layer)
{
    MainImage->setCursor(IsCurrentTarget(layer) ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TCalibrationForm::RepaintNow()
{
    MainImage->ComposeNow();
    MainImage->repaint();
}

void TCalibrationForm::MainImageMouseDown(QMouseEvent* event, TCustomLayer* layer)
{
    // Any mouse button counts.
    TBitmapLayerList* group = FSteps.CurrentLayers();
    if (!group || !layer)
        return;
    for (int i = 0; i < group->ChildCount(); ++i) {
        TMultiBitmapLayer* child = group->Children(i);
        if (child != layer)
            continue;
        SetLayerActive(child, false);
        if (group->AllChildrenInactive()) {
            FSteps.Next();
            MainImage->setToolTip(FLblAction->text());
            if (FSteps.Current() == FSteps.Count() - 1)
                FBtnNext->setEnabled(false);
            else
                FBtnPrev->setEnabled(true);
        }
        RepaintNow();
        // The target under the pointer may have gone.
        if (event)
            UpdatePointer(MainImage->LayerAt(event->position()));
        return;
    }
}

void TCalibrationForm::MainImageMouseMove(QMouseEvent*, TCustomLayer* layer)
{
    if (IsCurrentTarget(layer))
        MainImage->setCursor(Qt::PointingHandCursor);
}

void TCalibrationForm::NextClick()
{
    FSteps.Next();
    FBtnPrev->setEnabled(true);
    if (FSteps.Current() == FSteps.Count() - 1)
        FBtnNext->setEnabled(false);
    RepaintNow();
    MainImage->setToolTip(FLblAction->text());
}

void TCalibrationForm::PrevClick()
{
    FSteps.Previous();
    FBtnNext->setEnabled(true);
    if (FSteps.Current() == 0)
        FBtnPrev->setEnabled(false);
    RepaintNow();
    MainImage->setToolTip(FLblAction->text());
}

// ---------------------------------------------------------------- fan

void TCalibrationForm::FanTimerTimer()
{
    FFanPhase = !FFanPhase;
    if (!FFan || FFan->ChildCount() < 2)
        return;
    FFan->Children(0)->SetVisible(FFanPhase);
    FFan->Children(1)->SetVisible(!FFanPhase);
}

void TCalibrationForm::FormActivate()
{
    FanTimer->start();
}

void TCalibrationForm::FormDeactivate()
{
    FanTimer->stop();
}

void TCalibrationForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            FormActivate();
        else
            FormDeactivate();
    }
    QWidget::changeEvent(event);
}

// ---------------------------------------------------------------- windows

void TCalibrationForm::SwitchClick()
{
    // This window stays open behind the other one.
    if (TCalibrationForm* other = Partner())
        other->show();
}

void TCalibrationForm::BtnCloseClick()
{
    close();
}

void TCalibrationForm::closeEvent(QCloseEvent* event)
{
    // Closing either walkthrough closes both. The other one is hidden before
    // it is closed; its own close then hides this one, and the nested close
    // of this one (already closing) stops there.
    TCalibrationForm* other = Partner();
    if (other && other->isVisible()) {
        other->hide();
        other->close();
    }
    event->accept();
}

// ---------------------------------------------------------------- keys and focus

void TCalibrationForm::FormKeyUp(int key)
{
    ForwardHelpKey(FHelpHook, HelpTopic, key);
}

void TCalibrationForm::MemoEnter()
{
    // The memo only shows text; it never keeps the focus.
    FMemo->clearFocus();
}

bool TCalibrationForm::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyRelease: {
        if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this)
            break;
        // An unhandled key climbs from the control to its parents; each step
        // passes this filter again, so only its first stop counts. A new key
        // event may sit at the address of the last one, so the same control
        // seen again is a new key, not a climb.
        auto* previous = qobject_cast<QWidget*>(FKeyWatched.data());
        const bool climbing = event == FKeyEvent && previous && previous->parentWidget() == watched;
        FKeyEvent = event;
        FKeyWatched = watched;
        auto* key = static_cast<QKeyEvent*>(event);
        if (!climbing && !key->isAutoRepeat())
            FormKeyUp(key->key());
        break;
    }
    case QEvent::KeyPress:
        // Every key is pressed before it is released, so the release that
        // follows is a new key even if it sits where the last one did.
        FKeyEvent = nullptr;
        break;
    case QEvent::FocusIn:
        if (watched == FMemo)
            MemoEnter();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
