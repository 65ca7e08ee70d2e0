#include "UnitMovie.h"

#include "G32_Button.h"
#include "GR32_Extra.h"
#include "gr32/GR32.h"
#include "table/EasyTable.h"
#include "vcl/Messages.h"
#include "vcl/Screen.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QKeyEvent>
#include <QShowEvent>
#include <QTimer>

TMovieFrm* MovieFrm = nullptr;

namespace {

// Where the pieces of the intro sit on the background picture.
constexpr TFloatRect FrameRect{156, 175, 636, 425};
constexpr int LogoX = 300, LogoY = 10;
constexpr int BuildingX = 80, BuildingY = 68;
constexpr int GreenX = 263, GreenY = 334;
constexpr int SkipMargin = 30;

// The desktop's background colour has no counterpart in Qt's palette; this
// is the classic one.
const QColor DesktopBackground(58, 110, 165);

QFont skipFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

} // namespace

TMovieFrm::TMovieFrm(TEasyDatabase* database, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , MainImage(new TImage32(this))
    , ButSkip(new TG32_Button(MainImage))
    , MovieTimer(new QTimer(this))
    , GreenTimer(new QTimer(this))
    , EasyMovie(std::make_unique<TEasyTable>(database, QStringLiteral("MovieTable")))
{
    setWindowTitle(QStringLiteral("Corvane Air"));
    resize(DesignClientWidth, DesignClientHeight);
    MainImage->setGeometry(0, 0, DesignClientWidth - 1, DesignClientHeight - 1);

    ButSkip->resize(99, 25);
    ButSkip->SetCaption(QStringLiteral("Skip Intro >>"));
    ButSkip->SetColor(QColor(166, 202, 240));  // sky blue
    ButSkip->SetBackColor(DesktopBackground);
    ButSkip->SetContrast(200);
    ButSkip->SetFocusColor(QColor(0, 255, 0));  // lime
    ButSkip->setFont(skipFont());

    MovieTimer->setInterval(FrameInterval);
    GreenTimer->setInterval(GreenInterval);

    connect(ButSkip, &TG32_Button::Click, this, &TMovieFrm::ButSkipClick);
    connect(MainImage, &TImage32::MouseUp, this, &TMovieFrm::MainImageMouseUp);
    connect(MainImage, &TImage32::MouseMove, this, &TMovieFrm::MainImageMouseMove);
    connect(MovieTimer, &QTimer::timeout, this, &TMovieFrm::MovieTimerTimer);
    connect(GreenTimer, &QTimer::timeout, this, &TMovieFrm::GreenTimerTimer);

    FormCreate();
    MovieFrm = this;
}

TMovieFrm::~TMovieFrm()
{
    if (MovieFrm == this)
        MovieFrm = nullptr;
}

QString TMovieFrm::FrameName(int number)
{
    return QStringLiteral("Frame_%1").arg(number, 4, 10, QLatin1Char('0'));
}

void TMovieFrm::FormCreate()
{
    EasyMovie->SetSmallRecordCache(true);
    if (!EasyMovie->Active())
        EasyMovie->Open();
    FClosing = false;
    FFrameCount = 0;

    int width = DesignClientWidth;
    int height = DesignClientHeight;
    if (auto background = LoadNamedBitmap(EasyMovie.get(), QStringLiteral("IntroBackground"))) {
        MainImage->Bitmap().Assign(background.get());
        MainImage->BackgroundChanged();
        width = background->Width();
        height = background->Height();
    }
    // Without its picture the window keeps its designed size rather than
    // shrinking to nothing; the message has told the user why it is blank.
    setFixedSize(width, height);
    MainImage->setGeometry(0, 0, width, height);
    move((TScreen::Width() - width) / 2, (TScreen::Height() - height) / 2);

    ButSkip->move(width - ButSkip->width() - SkipMargin, height - ButSkip->height() - SkipMargin);

    FFrameLayer = new TBitmapLayer(&MainImage->Layers());
    FFrameLayer->SetLocation(FrameRect);
    FFrameLayer->SetVisible(false);
    FFrameLayer->SetMouseEvents(false);

    LoadNextFrame();  // frame 1, shown at once
    LoadNextFrame();  // frame 2, read ahead
}

void TMovieFrm::LoadNextFrame()
{
    if (FFrameCount >= FrameTotal)
        return;
    if (!EasyMovie->Active())
        EasyMovie->Open();
    FNextFrame = LoadNamedBitmap(EasyMovie.get(), FrameName(FFrameCount + 1));
    notePeak();
    if (FFrameCount == 0) {
        FFrameLayer->Bitmap().Assign(FNextFrame.get());
        FNextFrame.reset();
        FFrameLayer->SetVisible(true);
    }
    ++FFrameCount;
    if (FFrameCount == FrameTotal)
        BuildClosingStage();
}

void TMovieFrm::BuildClosingStage()
{
    FClosing = true;
    ButSkip->hide();

    TLayerCollection* layers = &MainImage->Layers();
    FLogoList = new TBitmapLayerList(layers, 0, 0, nullptr, 1.0f);
    {
        auto logo = LoadNamedBitmap(EasyMovie.get(), QStringLiteral("Logo"));
        FLogoList->AddChildAt(logo.get(), 255, false, LogoX, LogoY);
    }
    {
        auto mask = LoadNamedBitmap(EasyMovie.get(), QStringLiteral("Logo_Alpha"));
        FLogoList->AddToChild(mask.get(), 0, 255, true);
    }
    FLogoList->Children(0)->Bitmap().SetMasterAlpha(5);
    {
        auto building = LoadNamedBitmap(EasyMovie.get(), QStringLiteral("Building"));
        FLogoList->AddChildAt(building.get(), 255, false, BuildingX, BuildingY);
    }
    {
        auto mask = LoadNamedBitmap(EasyMovie.get(), QStringLiteral("Building_Alpha"));
        FLogoList->AddToChild(mask.get(), 1, 255, true);
    }
    FLogoList->Children(1)->Bitmap().SetMasterAlpha(5);

    FGreenList = new TBitmapLayerList(layers, 0, 0, nullptr, 1.0f);
    {
        auto green = LoadNamedBitmap(EasyMovie.get(), QStringLiteral("GreenScreen"));
        FGreenList->AddChildAt(green.get(), 255, false, GreenX, GreenY);
    }
    // Clickable from now on, also while the blink has it hidden.
    FGreenList->Children(0)->SetMouseEvents(true);
    {
        auto mask = LoadNamedBitmap(EasyMovie.get(), QStringLiteral("GreenScreen_Alpha"));
        FGreenList->AddToChild(mask.get(), 0, 255, true);
    }

    if (EasyMovie->Active())
        EasyMovie->Close();
}

TMultiBitmapLayer* TMovieFrm::GreenTarget() const
{
    return FGreenList && FGreenList->ChildCount() > 0 ? FGreenList->Children(0) : nullptr;
}

int TMovieFrm::FramesInMemory() const
{
    return (FNextFrame ? 1 : 0) + (FFrameLayer && !FFrameLayer->Bitmap().Empty() ? 1 : 0);
}

void TMovieFrm::notePeak()
{
    FPeakFrames = std::max(FPeakFrames, FramesInMemory());
}

// ---------------------------------------------------------------- handlers

void TMovieFrm::FormShow()
{
    MovieTimer->start();
}

void TMovieFrm::MovieTimerTimer()
{
    // Frames are read while the intro plays; a table that breaks now must
    // not take the program down from inside a timer: say so and end the intro.
    try {
        if (FFrameCount < FrameTotal) {
            // A frame that could not be read empties the rectangle for its tick.
            FFrameLayer->Bitmap().Assign(FNextFrame.get());
            notePeak();
            FNextFrame.reset();
            LoadNextFrame();
        } else {
            // Frame 98 only started the closing stage; it is never shown.
            FNextFrame.reset();
            FFrameLayer->SetVisible(false);
            if (MovieTimer->interval() != FadeInterval)
                MovieTimer->setInterval(FadeInterval);
        }

        if (FClosing) {
            for (int i = 0; i < 2; ++i) {
                TMultiBitmapLayer* child = FLogoList->Children(i);
                child->SetVisible(true);
                // Stored beyond 255 once the fade is through; drawing clamps it.
                child->Bitmap().SetMasterAlpha(child->Bitmap().MasterAlpha() + 10);
            }
            // Starting a running QTimer would restart it and the blink would never come.
            if (FLogoList->Children(1)->Bitmap().MasterAlpha() > 100 && !GreenTimer->isActive())
                GreenTimer->start();
        }
    } catch (const TTableError& e) {
        MovieTimer->stop();
        GreenTimer->stop();
        ShowMessage(e.message());
        close();
        if (MovieFrm == this)
            MovieFrm = nullptr;
        deleteLater();
    }
}

void TMovieFrm::GreenTimerTimer()
{
    if (TMultiBitmapLayer* target = GreenTarget()) {
        target->SetVisible(!target->Visible());
        if (!target->Visible())
            MainImage->repaint();
    }
    if (!isVisible()) {
        GreenTimer->stop();
        MovieTimer->stop();
        if (MovieFrm == this)
            MovieFrm = nullptr;
        deleteLater();
    }
}

void TMovieFrm::ButSkipClick()
{
    // Once the closing stage stands there is nothing left to skip.
    if (FClosing)
        return;
    FFrameCount = FrameTotal - 1;
}

void TMovieFrm::MainImageMouseUp(QMouseEvent*, TCustomLayer* layer)
{
    if (layer && layer == GreenTarget())
        close();
}

void TMovieFrm::MainImageMouseMove(QMouseEvent*, TCustomLayer* layer)
{
    if (layer && layer == GreenTarget())
        MainImage->setCursor(Qt::PointingHandCursor);
}

void TMovieFrm::FormClose()
{
    if (EasyMovie->Active())
        EasyMovie->Close();
}

// ---------------------------------------------------------------- events

void TMovieFrm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TMovieFrm::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        emit IntroHidden();
}

void TMovieFrm::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();  // hides; GreenTimer releases the window
}

void TMovieFrm::keyPressEvent(QKeyEvent* event)
{
    // The window hands typed characters to its controls, as a dialog does.
    const QString text = event->text();
    if (text.size() == 1 && ButSkip->isVisible() && ButSkip->DialogChar(text.at(0)))
        return;
    QWidget::keyPressEvent(event);
}
