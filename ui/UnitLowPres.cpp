#include "UnitLowPres.h"

#include "HelpViewer.h"
#include "SpinButton.h"
#include "TrendsWindow.h"
#include "UnitZoomDif.h"

#include "GR32_Extra.h"
#include "UnitArrow.h"
#include "UnitModel.h"
#include "UnitRoomLayer.h"
#include "UnitTextLayer.h"
#include "gr32/GR32.h"
#include "table/EasyTable.h"
#include "vcl/DesignScale.h"
#include "vcl/Format.h"
#include "vcl/Messages.h"
#include "vcl/Rounding.h"
#include "vcl/Screen.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QShowEvent>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>
#include <array>

TLowPresFrm* LowPresFrm = nullptr;

namespace {

const QString kVersion = QStringLiteral("v1.01a");
// The designed caption has two blanks after "Low"; the captions the system
// switch writes later have one.
const QString kDesignCaption = QStringLiteral("Low  Pressure System");
const QString kLowCaption = QStringLiteral("Low Pressure System");
const QString kHighCaption = QStringLiteral("High Pressure System");

const QString kUiFont = QStringLiteral("Liberation Sans");
const QString kHotColdFont = QStringLiteral("DejaVu Sans");
constexpr int kUiFontPx = 13;
constexpr int kHotColdFontPx = 20;

// The scene's page colour, shown where no picture lies.
const QColor kPageColour(0xEC, 0xE9, 0xE4);

// Origins (design pixels) of the arrow paths, by path number; the room
// paths are stored relative to their room.
constexpr std::array<std::array<int, 2>, 24> kPathOrigins{{
    {40, 22}, {40, 22}, {40, 22}, {33, 22},
    {74, 212}, {74, 212}, {236, 212}, {236, 212},
    {398, 212}, {398, 212}, {560, 212}, {560, 212},
    {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0},
    {5, 0}, {8, 0}, {12, 0}, {15, 0},
}};

bool IsPathNumberUsed(int n)
{
    return (n >= 0 && n <= 11) || (n >= 20 && n <= 23);
}

const std::array<QString, 4> kRoomCaptions = {
    QStringLiteral("Left Room"), QStringLiteral("Centre: Left"),
    QStringLiteral("Centre: Right"), QStringLiteral("Right Room")};

QString& DatabaseDirectoryOverride()
{
    static QString dir;
    return dir;
}

QString& HelpFileOverride()
{
    static QString path;
    return path;
}

TLowPresFrm::HelpHandler& HelpHandlerSlot()
{
    static TLowPresFrm::HelpHandler handler;
    return handler;
}

TLowPresFrm::IntroFactory& IntroFactorySlot()
{
    static TLowPresFrm::IntroFactory factory;
    return factory;
}

void SetTextColour(QWidget* w, QPalette::ColorRole role, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(role, colour);
    w->setPalette(p);
}

// A number written by this window: the user's decimal separator first, the
// C locale as a fallback.
bool ParseNumber(const QString& text, double& value)
{
    bool ok = false;
    const QString t = text.trimmed();
    value = QLocale().toDouble(t, &ok);
    if (!ok)
        value = QLocale::c().toDouble(t, &ok);
    return ok;
}

} // namespace

// ---------------------------------------------------------------------------
// Where things are

void TLowPresFrm::SetDatabaseDirectory(const QString& directory)
{
    DatabaseDirectoryOverride() = directory;
}

QString TLowPresFrm::DatabaseDirectory()
{
    if (!DatabaseDirectoryOverride().isEmpty())
        return DatabaseDirectoryOverride();
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("DataBase"));
}

void TLowPresFrm::SetHelpFilePath(const QString& path)
{
    HelpFileOverride() = path;
}

QString TLowPresFrm::HelpFilePath()
{
    if (!HelpFileOverride().isEmpty())
        return HelpFileOverride();
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("Help/Corv_Air.html"));
}

void TLowPresFrm::SetHelpHandler(HelpHandler handler)
{
    HelpHandlerSlot() = std::move(handler);
}

void TLowPresFrm::SetIntroFactory(IntroFactory factory)
{
    IntroFactorySlot() = std::move(factory);
}

// ---------------------------------------------------------------------------
// Creation and destruction

TLowPresFrm::TLowPresFrm(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("LowPresFrm"));
    setWindowTitle(kDesignCaption + QLatin1Char(' ') + kVersion);

    EasyCorvAirData = std::make_unique<TEasyDatabase>();
    EasyCorvAirData->SetDirectory(DatabaseDirectory());
    EasyCorvAirData->SetDatabaseName(QStringLiteral("CorvAir"));
    EasyImages = std::make_unique<TEasyTable>(EasyCorvAirData.get(), QStringLiteral("BitmapTable"));
    EasyPath = std::make_unique<TEasyTable>(EasyCorvAirData.get(),
                                            QStringLiteral("ArrowTable_800x600"),
                                            QStringLiteral("ArrowNr"));
    FHelpFile = HelpFilePath();
    EasyImages->SetSmallRecordCache(true);
    EasyPath->SetSmallRecordCache(true);

    Busy = false;
    SpeedBusy = false;
    ScaleFactor = ScaleFactorForScreen();

    AirFlowLayers.clear();
    ArrowsLoaded = false;

    CreateControls();

    // The window fits the scene and the row of controls below it; the logo
    // is shown at its own size.
    const int logoHeight = Image1->pixmap().isNull() ? 47 : Image1->pixmap().height();
    const int height = RoundHalfEven(logoHeight / 2.0 + double(ScaleFactor) * 180.0)
        + MainImage->height();
    const int width = RoundHalfEven(double(ScaleFactor) * 23.0) + MainImage->width();
    setFixedSize(width, height);
    if (!Image1->pixmap().isNull())
        Image1->resize(Image1->pixmap().size());
    move((TScreen::Width() - width) / 2, (TScreen::Height() - height) / 2);

    RoomClickRegions.clear();
    RoomLayers.clear();
    BuildScene();
    Metric = false;
    BuildModels();
    LoadArrowPaths();
    HighPressure = false;

    ControlLoopTimer->start();

    // Keys are seen by the window before its controls, and read-only edits
    // hand the focus back; one application-wide filter covers both.
    qApp->installEventFilter(this);

    if (!LowPresFrm)
        LowPresFrm = this;
}

TLowPresFrm::~TLowPresFrm()
{
    if (LowPresFrm == this)
        LowPresFrm = nullptr;
    delete TrendsWindow; // before the recorder it draws from
    qApp->removeEventFilter(this);
    ArrowTimer->stop();
    FanTimer->stop();
    ControlLoopTimer->stop();

    LeftRoom = Mid1Room = Mid2Room = RightRoom = nullptr;
    PressureLabels = nullptr;
    RoomClickRegions.clear();
    RoomLayers.clear();
    AirFlowLayers.clear();
    RoomData.clear();
    HighPresModel.reset();
    LowPresModel.reset();
    // The layers go with MainImage's layer collection.
}

void TLowPresFrm::CreateControls()
{
    const TDesignScale s(ScaleFactor);
    setFont(s.font(kUiFont, kUiFontPx));

    MainImage = new TImage32(this);
    MainImage->setObjectName(QStringLiteral("MainImage"));
    MainImage->SetBackColor(kPageColour);
    s.place(MainImage, 5, 4, 724, 380);
    connect(MainImage, &TImage32::MouseDown, this, &TLowPresFrm::MainImageMouseDown);
    connect(MainImage, &TImage32::MouseMove, this, &TLowPresFrm::MainImageMouseMove);

    auto name = [](QWidget* w, const char* objectName) { w->setObjectName(QLatin1String(objectName)); };

    // Labels over the scene: borderless, right-aligned, in the window colour.
    auto sceneLabel = [&](const char* objectName, const QString& text, int l, int t, int w, int h) {
        auto* label = new QLabel(text, MainImage);
        name(label, objectName);
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        label->setAutoFillBackground(true);
        label->setCursor(Qt::ArrowCursor);
        label->setTextInteractionFlags(Qt::NoTextInteraction);
        s.place(label, l, t, w, h);
        return label;
    };
    // An edit used as a label: borderless, left-aligned.
    auto editLabel = [&](QWidget* parent, const char* objectName, const QString& text, int l, int t,
                         int w, int h) {
        auto* label = new QLabel(text, parent);
        name(label, objectName);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setAutoFillBackground(true);
        label->setCursor(Qt::ArrowCursor);
        s.place(label, l, t, w, h);
        return label;
    };
    auto plainLabel = [&](const char* objectName, const QString& text, int l, int t, int w, int h) {
        auto* label = new QLabel(text, this);
        name(label, objectName);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        s.place(label, l, t, w, h);
        return label;
    };
    // Every edit of the window is a read-only readout that refuses the focus.
    auto readout = [&](QWidget* parent, const char* objectName, const QString& text, int l, int t,
                       int w, int h) {
        auto* edit = new QLineEdit(text, parent);
        name(edit, objectName);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setCursor(Qt::ArrowCursor);
        edit->setContextMenuPolicy(Qt::NoContextMenu);
        s.place(edit, l, t, w, h);
        return edit;
    };
    auto spinButton = [&](const char* objectName, const QString& hint, int l, int t) {
        auto* b = new TSpinButton(this);
        name(b, objectName);
        b->setToolTip(hint);
        s.place(b, l, t, 20, 22);
        return b;
    };
    auto button = [&](const char* objectName, const QString& text, const QString& hint, int l, int t,
                      int w, int h) {
        auto* b = new QPushButton(text, this);
        name(b, objectName);
        if (!hint.isEmpty())
            b->setToolTip(hint);
        s.place(b, l, t, w, h);
        return b;
    };

    // ---- plant readouts over the scene
    RichEdit1 = sceneLabel("RichEdit1", QStringLiteral("Supply Temperature"), 192, 40, 126, 17);
    EditTempUnit = sceneLabel("EditTempUnit", QStringLiteral("( °F )"), 277, 56, 41, 17);
    EditSupplyTemperature = readout(MainImage, "EditSupplyTemperature", QStringLiteral("15"), 320, 40, 41, 24);
    RichEdit3 = sceneLabel("RichEdit3", QStringLiteral("Fan Speed"), 248, 79, 70, 17);
    EditFanSpeedUnit = sceneLabel("EditFanSpeedUnit", QStringLiteral("( RPM )"), 269, 95, 49, 17);
    EditFanSpeed = readout(MainImage, "EditFanSpeed", QString(), 320, 80, 49, 24);
    // Two lines in the design ("Energy " and "Consumption") in a box one line
    // high; shown as the one line they read as.
    RichEdit2 = sceneLabel("RichEdit2", QStringLiteral("Energy Consumption"), 376, 40, 126, 17);
    EditEnergyUnit = sceneLabel("EditEnergyUnit", QStringLiteral("( Hp )"), 461, 56, 41, 17);
    EditEnergyConsumption = readout(MainImage, "EditEnergyConsumption", QStringLiteral("200"), 505, 41, 56, 24);
    RichEdit4 = sceneLabel("RichEdit4", QStringLiteral("Fan Pressure"), 416, 79, 86, 17);
    EditPressureUnit = sceneLabel("EditPressureUnit", QStringLiteral("( ins.wg )"), 448, 95, 54, 17);
    EditDuctPressure = readout(MainImage, "EditDuctPressure", QString(), 505, 80, 56, 24);

    // ---- units and animation speed
    GroupBox1 = new QGroupBox(QStringLiteral("Units"), MainImage);
    name(GroupBox1, "GroupBox1");
    GroupBox1->setAutoFillBackground(true);
    s.place(GroupBox1, 601, 8, 113, 80);
    RadioImperial = new QRadioButton(QStringLiteral("&Imperial"), GroupBox1);
    name(RadioImperial, "RadioImperial");
    s.place(RadioImperial, 16, 24, 73, 17);
    RadioImperial->setChecked(true);
    RadioMetric = new QRadioButton(QStringLiteral("&Metric"), GroupBox1);
    name(RadioMetric, "RadioMetric");
    s.place(RadioMetric, 16, 48, 73, 17);
    connect(RadioImperial, &QRadioButton::clicked, this, &TLowPresFrm::RadioImperialClick);
    connect(RadioMetric, &QRadioButton::clicked, this, &TLowPresFrm::RadioMetricClick);

    Edit5 = editLabel(MainImage, "Edit5", QStringLiteral("Animation Speed"), 606, 93, 104, 16);
    TrackBarAniSpd = new QSlider(Qt::Horizontal, MainImage);
    name(TrackBarAniSpd, "TrackBarAniSpd");
    TrackBarAniSpd->setRange(0, 100);
    TrackBarAniSpd->setTickInterval(10);
    TrackBarAniSpd->setTickPosition(QSlider::TicksBelow);
    TrackBarAniSpd->setSingleStep(1);
    TrackBarAniSpd->setPageStep(10);
    TrackBarAniSpd->setValue(90);
    TrackBarAniSpd->setToolTip(QStringLiteral("Animation Speed"));
    TrackBarAniSpd->setAutoFillBackground(true);
    s.place(TrackBarAniSpd, 601, 110, 113, 32);
    connect(TrackBarAniSpd, &QSlider::valueChanged, this, &TLowPresFrm::TrackBarAniSpdChange);

    // ---- setpoints over the scene
    Edit1 = editLabel(MainImage, "Edit1", QStringLiteral("Temperature Setpoint"), 32, 190, 137, 18);
    const QString setpointHint = QStringLiteral("Set required room temperature");
    const std::array<int, 4> setpointLeft = {207, 341, 490, 639};
    const std::array<int, 4> upDownLeft = {247, 381, 530, 679};
    std::array<QLineEdit*, 4> setpointEdits{};
    std::array<TUpDown*, 4> upDowns{};
    for (int i = 0; i < 4; ++i) {
        const QByteArray editName = "EditTempSetpoint" + QByteArray::number(i + 1);
        const QByteArray upDownName = "UpDownTempSetpoint" + QByteArray::number(i + 1);
        setpointEdits[size_t(i)] = readout(MainImage, editName.constData(), QStringLiteral("22"),
                                           setpointLeft[size_t(i)], 183, 40, 24);
        auto* ud = new TUpDown(MainImage);
        name(ud, upDownName.constData());
        ud->SetRange(15, 29);
        ud->SetPosition(22);
        ud->SetAssociate(setpointEdits[size_t(i)]);
        ud->setToolTip(setpointHint);
        s.place(ud, upDownLeft[size_t(i)], 183, 19, 24);
        ud->SetOnChangingEx([this](bool& allow, int value, TUpDownDirection dir) {
            UpDownTempSetpoint1ChangingEx(allow, value, dir);
        });
        upDowns[size_t(i)] = ud;
    }
    setpointEdits[0]->setToolTip(setpointHint);
    EditTempSetpoint1 = setpointEdits[0];
    EditTempSetpoint2 = setpointEdits[1];
    EditTempSetpoint3 = setpointEdits[2];
    EditTempSetpoint4 = setpointEdits[3];
    UpDownTempSetpoint1 = upDowns[0];
    UpDownTempSetpoint2 = upDowns[1];
    UpDownTempSetpoint3 = upDowns[2];
    UpDownTempSetpoint4 = upDowns[3];
    connect(UpDownTempSetpoint1, &TUpDown::Click, this, &TLowPresFrm::UpDownTempSetpoint1Click);
    connect(UpDownTempSetpoint2, &TUpDown::Click, this, &TLowPresFrm::UpDownTempSetpoint2Click);
    connect(UpDownTempSetpoint3, &TUpDown::Click, this, &TLowPresFrm::UpDownTempSetpoint3Click);
    connect(UpDownTempSetpoint4, &TUpDown::Click, this, &TLowPresFrm::UpDownTempSetpoint4Click);

    // ---- row captions below the scene
    Label4 = plainLabel("Label4", QStringLiteral("Room"), 16, 384, 37, 16);
    Label5 = plainLabel("Label5", QStringLiteral("Temperature"), 16, 398, 78, 16);
    Label2 = plainLabel("Label2", QStringLiteral("Load"), 16, 422, 31, 16);
    LblDiscOpening = plainLabel("LblDiscOpening", QStringLiteral("Control Disc"), 16, 448, 72, 16);
    Label7 = plainLabel("Label7", QStringLiteral("Opening"), 16, 462, 51, 16);

    // ---- per-room readouts and inputs below the scene
    const std::array<int, 4> editLeft = {137, 305, 464, 624};
    const std::array<int, 4> editWidth = {40, 40, 41, 41};
    const std::array<int, 4> spinLeft = {178, 346, 506, 666};
    const std::array<int, 4> scratchLeft = {199, 367, 527, 687};
    std::array<QLineEdit*, 4> temps{}, loads{}, discs{}, scratches{};
    for (int i = 0; i < 4; ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        const int l = editLeft[size_t(i)];
        const int w = editWidth[size_t(i)];
        temps[size_t(i)] = readout(this, ("EditTemp" + n).constData(), QStringLiteral("22.5"), l, 384, w, 24);
        loads[size_t(i)] = readout(this, ("EditLoad" + n).constData(), QStringLiteral("0"), l, 416, w, 24);
        discs[size_t(i)] = readout(this, ("EditDiscOpening" + n).constData(), QStringLiteral("30"), l, 448, w, 24);
        scratches[size_t(i)] = readout(this, ("EditScratch" + n).constData(), QString(),
                                       scratchLeft[size_t(i)], 384, 49, 24);
        scratches[size_t(i)]->hide();
    }
    EditTemp1 = temps[0]; EditTemp2 = temps[1]; EditTemp3 = temps[2]; EditTemp4 = temps[3];
    EditLoad1 = loads[0]; EditLoad2 = loads[1]; EditLoad3 = loads[2]; EditLoad4 = loads[3];
    EditDiscOpening1 = discs[0]; EditDiscOpening2 = discs[1];
    EditDiscOpening3 = discs[2]; EditDiscOpening4 = discs[3];
    EditScratch1 = scratches[0]; EditScratch2 = scratches[1];
    EditScratch3 = scratches[2]; EditScratch4 = scratches[3];

    const QString tempHint = QStringLiteral("Set the initial room temperature");
    SpinBtnTempLeft = spinButton("SpinBtnTempLeft", tempHint, spinLeft[0], 385);
    SpinBtnTempMid1 = spinButton("SpinBtnTempMid1", tempHint, spinLeft[1], 385);
    SpinBtnTempMid2 = spinButton("SpinBtnTempMid2", tempHint, spinLeft[2], 385);
    SpinBtnTempRight = spinButton("SpinBtnTempRight", tempHint, spinLeft[3], 385);
    const QString loadHint = QStringLiteral("Set Load in room");
    SpinBtnLeft = spinButton("SpinBtnLeft", loadHint, spinLeft[0], 417);
    SpinBtnMid1 = spinButton("SpinBtnMid1", loadHint, spinLeft[1], 417);
    SpinBtnMid2 = spinButton("SpinBtnMid2", loadHint, spinLeft[2], 417);
    SpinBtnRight = spinButton("SpinBtnRight", loadHint, spinLeft[3], 417);
    connect(SpinBtnLeft, &TSpinButton::UpClick, this, &TLowPresFrm::SpinBtnLeftUpClick);
    connect(SpinBtnLeft, &TSpinButton::DownClick, this, &TLowPresFrm::SpinBtnLeftDownClick);
    connect(SpinBtnMid1, &TSpinButton::UpClick, this, &TLowPresFrm::SpinBtnMid1UpClick);
    connect(SpinBtnMid1, &TSpinButton::DownClick, this, &TLowPresFrm::SpinBtnMid1DownClick);
    connect(SpinBtnMid2, &TSpinButton::UpClick, this, &TLowPresFrm::SpinBtnMid2UpClick);
    connect(SpinBtnMid2, &TSpinButton::DownClick, this, &TLowPresFrm::SpinBtnMid2DownClick);
    connect(SpinBtnRight, &TSpinButton::UpClick, this, &TLowPresFrm::SpinBtnRightUpClick);
    connect(SpinBtnRight, &TSpinButton::DownClick, this, &TLowPresFrm::SpinBtnRightDownClick);
    connect(SpinBtnTempLeft, &TSpinButton::UpClick, this, &TLowPresFrm::SpinBtnTempLeftUpClick);
    connect(SpinBtnTempLeft, &TSpinButton::DownClick, this, &TLowPresFrm::SpinBtnTempLeftDownClick);
    connect(SpinBtnTempMid1, &TSpinButton::UpClick, this, &TLowPresFrm::SpinBtnTempMid1UpClick);
    connect(SpinBtnTempMid1, &TSpinButton::DownClick, this, &TLowPresFrm::SpinBtnTempMid1DownClick);
    connect(SpinBtnTempMid2, &TSpinButton::UpClick, this, &TLowPresFrm::SpinBtnTempMid2UpClick);
    connect(SpinBtnTempMid2, &TSpinButton::DownClick, this, &TLowPresFrm::SpinBtnTempMid2DownClick);
    connect(SpinBtnTempRight, &TSpinButton::UpClick, this, &TLowPresFrm::SpinBtnTempRightUpClick);
    connect(SpinBtnTempRight, &TSpinButton::DownClick, this, &TLowPresFrm::SpinBtnTempRightDownClick);

    const QString loadTypeHint = QStringLiteral("Toggle Load Type");
    BtnHotColdLeft = button("BtnHotColdLeft", QStringLiteral("H"), loadTypeHint, 105, 414, 28, 29);
    BtnHotColdRight = button("BtnHotColdRight", QStringLiteral("H"), loadTypeHint, 592, 414, 30, 29);
    for (QPushButton* b : {BtnHotColdLeft, BtnHotColdRight}) {
        b->setFont(s.font(kHotColdFont, kHotColdFontPx, true));
        SetTextColour(b, QPalette::ButtonText, Qt::red);
    }
    connect(BtnHotColdLeft, &QPushButton::clicked, this, &TLowPresFrm::BtnHotColdLeftClick);
    connect(BtnHotColdRight, &QPushButton::clicked, this, &TLowPresFrm::BtnHotColdRightClick);

    // ---- logo and the buttons of the bottom row
    Image1 = new QLabel(this);
    name(Image1, "Image1");
    Image1->setPixmap(QPixmap(QStringLiteral(":/closeup/Logo.bmp")));
    Image1->setAttribute(Qt::WA_TranslucentBackground);
    s.place(Image1, 13, 482, 208, 49);

    ButSpeedStart = button("ButSpeedStart", QStringLiteral("&Startup Sequence"),
                           QStringLiteral("Start the Central Plant Heating"), 305, 480, 144, 25);
    ButSpeedStart->setCheckable(true);
    SetTextColour(ButSpeedStart, QPalette::ButtonText, Qt::blue);
    connect(ButSpeedStart, &QPushButton::clicked, this, &TLowPresFrm::ButSpeedStartClick);
    BtnToggleSystems = button("BtnToggleSystems", QStringLiteral("&High Pressure System"), QString(),
                              464, 480, 161, 25);
    connect(BtnToggleSystems, &QPushButton::clicked, this, &TLowPresFrm::BtnToggleSystemsClick);
    BtnLowCali = button("BtnLowCali", QStringLiteral("&Calibration"),
                        QStringLiteral("Low Pressure Calibration procedure"), 641, 480, 88, 25);
    connect(BtnLowCali, &QPushButton::clicked, this, &TLowPresFrm::BtnLowCaliClick);
    // In the free space between the logo and the start-up button.
    BtnTrends = button("BtnTrends", QStringLiteral("&Trends"),
                       QStringLiteral("Show the rooms and the plant over time"), 227, 480, 72, 25);
    connect(BtnTrends, &QPushButton::clicked, this, &TLowPresFrm::BtnTrendsClick);
    auto* trendsKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this);
    connect(trendsKey, &QShortcut::activated, this, &TLowPresFrm::BtnTrendsClick);

    // ---- timers
    ArrowTimer = new QTimer(this);
    ArrowTimer->setInterval(80);
    connect(ArrowTimer, &QTimer::timeout, this, &TLowPresFrm::ArrowTimerTimer);
    FanTimer = new QTimer(this);
    FanTimer->setInterval(100);
    connect(FanTimer, &QTimer::timeout, this, &TLowPresFrm::FanTimerTimer);
    ControlLoopTimer = new QTimer(this);
    ControlLoopTimer->setInterval(500);
    connect(ControlLoopTimer, &QTimer::timeout, this, &TLowPresFrm::ControlLoopTimerTimer);
}

void TLowPresFrm::BuildScene()
{
    TLayerCollection* layers = &MainImage->Layers();
    TEasyTable* table = EasyImages.get();

    LeftRoom = new TRoomLayer(layers, 74, 212, QStringLiteral("Left"), ScaleFactor, true, table);
    RoomLayers.push_back(LeftRoom);
    Mid1Room = new TRoomLayer(layers, 236, 212, QStringLiteral("Mid1"), ScaleFactor, false, table);
    RoomLayers.push_back(Mid1Room);
    Mid2Room = new TRoomLayer(layers, 398, 212, QStringLiteral("Mid2"), ScaleFactor, false, table);
    RoomLayers.push_back(Mid2Room);
    RightRoom = new TRoomLayer(layers, 560, 212, QStringLiteral("Right"), ScaleFactor, true, table);
    RoomLayers.push_back(RightRoom);

    LowPresDuct = new TDuctLayer(layers, 45, 26, QStringLiteral("LowPres"), ScaleFactor, table, 70, 117);
    HighPresDuct = new TDuctLayer(layers, 0, 0, QStringLiteral("HighPres"), ScaleFactor, table, 25, 91);
    HighPresDuct->SetVisible(false);

    EditLoad1->setText(QString::number(LeftRoom->GetLoad()));
    EditLoad4->setText(QString::number(RightRoom->GetLoad()));
    EditLoad2->setText(QString::number(Mid1Room->GetLoad()));
    EditLoad3->setText(QString::number(Mid2Room->GetLoad()));

    for (TRoomLayer* room : RoomLayers)
        RoomClickRegions.push_back(room->DiffuserSpot());
}

TRoomData* TLowPresFrm::AddRoomData(int index, QLineEdit* scratch, QLineEdit* temp,
                                    QLineEdit* disc, QLineEdit* load, QLineEdit* setpoint,
                                    TUpDown* upDown, QPushButton* hotCold)
{
    auto data = std::make_unique<TRoomData>();
    data->EditScratch = scratch;
    data->EditTemp = temp;
    data->EditDiscOpening = disc;
    data->EditLoad = load;
    data->EditTempSetpoint = setpoint;
    data->UpDownTempSetpoint = upDown;
    data->BtnHotCold = hotCold;
    for (QObject* control : std::initializer_list<QObject*>{scratch, setpoint, upDown, temp, load, disc, hotCold})
        SetTag(control, index);
    RoomData.push_back(std::move(data));
    return RoomData.back().get();
}

void TLowPresFrm::BuildModels()
{
    LowPresModel = std::make_unique<TModel>();
    HighPresModel = std::make_unique<THighPressureModel>();
    RoomData.clear();

    AddRoomData(0, EditScratch1, EditTemp1, EditDiscOpening1, EditLoad1, EditTempSetpoint1,
                UpDownTempSetpoint1, BtnHotColdLeft);
    LowPresModel->AddRoom();
    HighPresModel->AddRoom();

    AddRoomData(1, EditScratch2, EditTemp2, EditDiscOpening2, EditLoad2, EditTempSetpoint2,
                UpDownTempSetpoint2, nullptr);
    LowPresModel->AddRoom();
    TCombinedRoom* first = HighPresModel->AddRoom(std::make_unique<TCombinedRoom>());

    AddRoomData(2, EditScratch3, EditTemp3, EditDiscOpening3, EditLoad3, EditTempSetpoint3,
                UpDownTempSetpoint3, nullptr);
    LowPresModel->AddRoom();
    TCombinedRoom* second = HighPresModel->AddRoom(std::make_unique<TCombinedRoom>());
    // The centre rooms share one VAV box: the left one controls it.
    first->SetPartner(second, true);
    second->SetPartner(first, false);

    AddRoomData(3, EditScratch4, EditTemp4, EditDiscOpening4, EditLoad4, EditTempSetpoint4,
                UpDownTempSetpoint4, BtnHotColdRight);
    LowPresModel->AddRoom();
    HighPresModel->AddRoom();

    LowPresModel->SetSimulationSpeed(TrackBarAniSpd->value());
    HighPresModel->SetSimulationSpeed(TrackBarAniSpd->value());
}

// ---------------------------------------------------------------------------
// Showing, activation, keys

void TLowPresFrm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A window restored by the window system is not shown anew.
    if (!event->spontaneous())
        FormShow();
}

void TLowPresFrm::FormShow()
{
    UnitsRefresh();
    if (!FMovieFrm && IntroFactorySlot()
        && QFileInfo::exists(EasyCorvAirData->Directory() + QStringLiteral("/MovieTable.bdf"))) {
        FMovieFrm = IntroFactorySlot()(this);
        if (FMovieFrm)
            FMovieFrm->show();
    }
    SetStartValues();
    activateWindow();
}

void TLowPresFrm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            FormActivate();
        else
            FormDeactivate();
    }
    QWidget::changeEvent(event);
}

void TLowPresFrm::FormActivate()
{
    // The arrows and the fan stand still while the intro plays.
    if (FMovieFrm && FMovieFrm->isVisible()) {
        FMovieFrm->activateWindow();
        FMovieFrm->setFocus();
    } else {
        ArrowTimer->start();
        FanTimer->start();
    }
    if (RadioImperial->hasFocus() || RadioMetric->hasFocus())
        BtnToggleSystems->setFocus();
}

void TLowPresFrm::FormDeactivate()
{
    // The control loop keeps running: the model advances while inactive.
    ArrowTimer->stop();
    FanTimer->stop();
}

void TLowPresFrm::FormKeyUp(int key)
{
    ShowHelpTopic(QStringLiteral("Main_System"), key);
}

void TLowPresFrm::ShowHelpTopic(const QString& keyword, int key)
{
    if (key != Qt::Key_F1)
        return;
    if (HelpHandlerSlot())
        HelpHandlerSlot()(FHelpFile, keyword);
    else
        ShowHelpFile(FHelpFile, keyword);
}

void TLowPresFrm::SetCalibrationWindows(TCalibrationLink low, TCalibrationLink high)
{
    FLowCali = std::move(low);
    FHighCali = std::move(high);
}

bool TLowPresFrm::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        // The window previews released keys. Only F1 has a use here; taking
        // it keeps it from reaching the window once more on its way up.
        if (key->key() == Qt::Key_F1 && !key->isAutoRepeat() && widget->window() == this) {
            FormKeyUp(key->key());
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        if (widget->window() == this && qobject_cast<QLineEdit*>(widget))
            EditFanSpeedEnter(widget);
        break;
    default:
        break;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Display conversions

float TLowPresFrm::DisplayTemperature(double celsius) const
{
    return Metric ? float(celsius) : float(celsius * 1.8 + 32.0);
}

float TLowPresFrm::DisplayPressure(double pascal) const
{
    return Metric ? float(pascal) : float(pascal / 249.1);
}

float TLowPresFrm::DisplayEnergy(double kilowatt) const
{
    return Metric ? float(kilowatt) : float(kilowatt * 1.341);
}

TModel& TLowPresFrm::SelectedModel() const
{
    return HighPressure ? static_cast<TModel&>(*HighPresModel) : *LowPresModel;
}

TRoom* TLowPresFrm::ModelRoom(const TModel& model, int index) const
{
    if (index < 0 || index >= int(model.Rooms.size()))
        return nullptr;
    return model.Rooms[size_t(index)].get();
}

TAirFlowLayer* TLowPresFrm::FlowLayer(int index) const
{
    // A short arrow table leaves some of the sixteen paths missing.
    if (index < 0 || index >= int(AirFlowLayers.size()))
        return nullptr;
    return AirFlowLayers[size_t(index)];
}

// ---------------------------------------------------------------------------
// Control loop

void TLowPresFrm::ControlLoopTimerTimer()
{
    LowPresModel->Step();
    HighPresModel->Step();

    const TModel& m = SelectedModel();
    for (int i = 0; i < 4 && i < int(RoomData.size()); ++i) {
        TRoomData& d = *RoomData[size_t(i)];
        const TRoom* r = ModelRoom(m, Tag(d.EditTemp));
        if (!r)
            continue;
        const float t = r->GetTemperature();
        d.EditTemp->setText(FormatFloat("%4.2f", DisplayTemperature(t)));
        RoomLayers[size_t(i)]->SetTemperature(t);
        SetTextColour(d.EditTemp, QPalette::Text, r->IsHeating() ? Qt::red : Qt::black);
        d.EditScratch->setText(FormatFloat("%4.2f", r->GetHeatRate()));
        d.EditDiscOpening->setText(FormatFloat("%3.0f", r->GetDiscOpening()));
        if (i == SelectedRoom && VSDFrm && VSDFrm->isVisible() && !VSDFrm->CheckManual->isChecked()
            && !VSDFrm->CheckAnimate->isChecked()) {
            VSDFrm->SpinDiscOpening->setValue(RoundHalfEven(r->GetDiscOpening()));
            VSDFrm->CheckHeatMode->setChecked(r->IsHeating());
        }
    }

    // The fan turns faster with its speed: 300 ms a frame at 750 rpm, 15 ms at 1720.
    const int fanInterval = RoundHalfEven(300.0 - (double(m.FanSpeed) - 750.0) / 970.0 * 285.0);
    FanTimer->setInterval(std::max(1, fanInterval));
    const double shownSpeed = HighPressure ? 1.5 * double(m.FanSpeed) : double(m.FanSpeed);
    EditFanSpeed->setText(QString::number(RoundHalfEven(shownSpeed)));
    EditDuctPressure->setText(FormatFloat("%5.2f", DisplayPressure(m.DuctPressure)));
    EditEnergyConsumption->setText(FormatFloat("%5.3f", DisplayEnergy(m.EnergyConsumption)));
    EditSupplyTemperature->setText(
        QString::number(RoundHalfEven(DisplayTemperature(m.SupplyTemperature))));
    if (m.SupplyTemperature == 15.0f) {
        SetTextColour(EditSupplyTemperature, QPalette::Text, Qt::blue);
        // The plant is back to normal: the start-up has ended.
        if (ButSpeedStart->isChecked()) {
            ButSpeedStart->setChecked(false);
            SetTextColour(ButSpeedStart, QPalette::ButtonText, Qt::blue);
        }
    } else if (m.SupplyTemperature == 26.0f) {
        SetTextColour(EditSupplyTemperature, QPalette::Text, Qt::red);
    }
    TrendRecorder.Record(*LowPresModel, *HighPresModel);
}

void TLowPresFrm::FanTimerTimer()
{
    TDuctLayer* duct = HighPressure ? HighPresDuct : LowPresDuct;
    if (duct)
        duct->NextFanFrame();
}

// ---------------------------------------------------------------------------
// Room inputs

void TLowPresFrm::ChangeLoad(int index, int delta)
{
    if (index < 0 || index >= 4 || index >= int(RoomLayers.size()))
        return;
    TRoomLayer* l = RoomLayers[size_t(index)];
    const int old = l->GetLoad();
    const int level = delta < 0 ? std::max(old + delta, 0) : std::min(old + delta, 4);
    l->SetLoad(level);
    if (l->GetLoad() == old)
        return;
    if ((index == 0 || index == 3) && !l->ColdMode())
        UpdateSunSide();
    MainImage->update();
    TRoomData& d = *RoomData[size_t(index)];
    d.EditLoad->setText(QString::number(l->GetLoad() * 25));
    SendLoad(Tag(d.EditLoad), l->ColdMode(), l->GetLoad() * 25);
}

void TLowPresFrm::UpdateSunSide()
{
    // Only one outer room shows its heating load as sun.
    TRoomLayer* a = LeftRoom;
    TRoomLayer* b = RightRoom;
    if (a->HasSunLoad()) {
        if (!b->HotMode())
            b->SetHotMode(true);
        return;
    }
    if (b->HasSunLoad()) {
        if (!a->HotMode())
            a->SetHotMode(true);
        return;
    }
    if (a->HotMode() && !a->HasHotLoad())
        a->SetHotMode(false);
    if (b->HotMode() && !b->HasHotLoad())
        b->SetHotMode(false);
}

void TLowPresFrm::SendLoad(int index, bool cold, int load)
{
    const int value = cold ? -load : load;
    LowPresModel->SetLoad(index, value);
    HighPresModel->SetLoad(index, value);
}

void TLowPresFrm::ToggleLoadType(int index)
{
    if (index != 0 && index != 3)
        return;
    TRoomLayer* l = RoomLayers[size_t(index)];
    TRoomData& d = *RoomData[size_t(index)];
    l->SetColdMode(!l->ColdMode());
    if (d.BtnHotCold) {
        d.BtnHotCold->setText(l->ColdMode() ? QStringLiteral("C") : QStringLiteral("H"));
        SetTextColour(d.BtnHotCold, QPalette::ButtonText, l->ColdMode() ? Qt::blue : Qt::red);
    }
    d.EditLoad->setText(QString::number(l->GetLoad() * 25));
    SendLoad(Tag(d.EditLoad), l->ColdMode(), l->GetLoad() * 25);
    MainImage->update();
}

void TLowPresFrm::StepInitialTemperature(TRoomLayer* room, QLineEdit* edit, int delta)
{
    if (!room || !edit)
        return;
    const float t = room->Temperature();
    // Bounded before the step, so one step may go just beyond the bound.
    if (!(t > -20.0f && t < 50.0f))
        return;
    room->SetTemperature(float(double(t) + delta));
    edit->setText(FormatFloat("%4.2f", DisplayTemperature(room->Temperature())));
    MainImage->update();
    SendRoomTemperature(Tag(edit), room->Temperature());
}

void TLowPresFrm::SendRoomTemperature(int index, float celsius)
{
    LowPresModel->SetRoomTemperature(index, celsius);
    HighPresModel->SetRoomTemperature(index, celsius);
}

void TLowPresFrm::SetpointClick(QLineEdit* edit, TUpDown* upDown)
{
    // The up-down has already written its new position (°C) into the edit.
    if (!Metric)
        edit->setText(FormatFloat("%4.2f", CelsiusToFahrenheit(upDown->Position())));
    LowPresModel->SetSetpoint(Tag(edit), upDown->Position());
    HighPresModel->SetSetpoint(Tag(edit), upDown->Position());
}

void TLowPresFrm::UpDownTempSetpoint1ChangingEx(bool& allowChange, int /*newValue*/,
                                                TUpDownDirection direction)
{
    allowChange = direction != TUpDownDirection::updNone;
}

void TLowPresFrm::EditFanSpeedEnter(QWidget* edit)
{
    // No readout keeps the keyboard focus.
    if (edit && edit->hasFocus())
        edit->clearFocus();
}

void TLowPresFrm::SetStartValues()
{
    for (int i = 0; i < int(RoomData.size()); ++i) {
        TRoomData& d = *RoomData[size_t(i)];
        const TRoom* r = ModelRoom(*LowPresModel, i);
        if (r)
            d.EditTemp->setText(FormatFloat("%5.2f", DisplayTemperature(r->GetTemperature())));
        TUpDown* ud = d.UpDownTempSetpoint;
        if (ud->Position() != 22) {
            ud->SetPosition(22);
            // The up-down writes degrees Celsius; show them in the units in use.
            if (!Metric)
                d.EditTempSetpoint->setText(FormatFloat("%4.2f", CelsiusToFahrenheit(ud->Position())));
        }
        LowPresModel->SetSetpoint(Tag(ud), ud->Position());
        HighPresModel->SetSetpoint(Tag(ud), ud->Position());
    }
}

void TLowPresFrm::MainImageMouseDown(QMouseEvent* /*event*/, TCustomLayer* layer)
{
    if (HighPressure || !layer)
        return;
    const auto it = std::find(RoomClickRegions.begin(), RoomClickRegions.end(), layer);
    if (it == RoomClickRegions.end())
        return;
    const int i = int(it - RoomClickRegions.begin());
    if (!VSDFrm)
        return;
    // The close-up goes to the side of the window away from the room.
    const QRect main = frameGeometry();
    const float spotLeft = (*it)->Location().Left;
    int left = main.left();
    if (spotLeft < float(main.width() / 2))
        left = main.left() + main.width() - VSDFrm->frameGeometry().width();
    VSDFrm->move(left, VSDFrm->frameGeometry().top());
    if (i < int(kRoomCaptions.size()))
        VSDFrm->lblCaption->setText(kRoomCaptions[size_t(i)]);
    VSDFrm->show();
    SelectedRoom = i;
}

void TLowPresFrm::MainImageMouseMove(QMouseEvent* /*event*/, TCustomLayer* layer)
{
    if (HighPressure || !layer)
        return;
    if (std::find(RoomClickRegions.begin(), RoomClickRegions.end(), layer) != RoomClickRegions.end())
        MainImage->setCursor(Qt::PointingHandCursor);
}

// ---------------------------------------------------------------------------
// Arrow paths and air flow

void TLowPresFrm::LoadArrowPaths()
{
    const bool wasOpen = EasyPath->Active();
    if (!wasOpen)
        EasyPath->Open();

    if (EasyPath->Eof() && EasyPath->Bof()) {
        ShowMessage(QStringLiteral("The Database table containing the arrow path is empty."));
    } else {
        for (TRoomLayer* room : RoomLayers) {
            room->LeftFlow = nullptr;
            room->RightFlow = nullptr;
        }
        for (TAirFlowLayer* flow : AirFlowLayers)
            delete flow;
        AirFlowLayers.clear();

        QString currentName;
        int pathNumber = -1;
        TAirFlowLayer* current = nullptr;
        const double sf = double(ScaleFactor);
        EasyPath->First();
        while (!EasyPath->Eof()) {
            const int n = EasyPath->AsInteger(0);
            if (IsPathNumberUsed(n)) {
                const QString pathName = EasyPath->AsString(4);
                if (pathName != currentName || !current) {
                    currentName = pathName;
                    current = new TAirFlowLayer(&MainImage->Layers());
                    AirFlowLayers.push_back(current);
                    pathNumber = n;
                    if (pathName == QLatin1String("LeftL"))
                        LeftRoom->LeftFlow = current;
                    else if (pathName == QLatin1String("LeftR"))
                        LeftRoom->RightFlow = current;
                    else if (pathName == QLatin1String("Mid1L"))
                        Mid1Room->LeftFlow = current;
                    else if (pathName == QLatin1String("Mid1R"))
                        Mid1Room->RightFlow = current;
                    else if (pathName == QLatin1String("mid2L"))
                        Mid2Room->LeftFlow = current;
                    else if (pathName == QLatin1String("mid2R"))
                        Mid2Room->RightFlow = current;
                    else if (pathName == QLatin1String("RightL"))
                        RightRoom->LeftFlow = current;
                    else if (pathName == QLatin1String("RightR"))
                        RightRoom->RightFlow = current;
                }
                const auto& origin = kPathOrigins[size_t(pathNumber)];
                const int x = RoundHalfEven(EasyPath->AsInteger(1) * sf + origin[0] * sf);
                const int y = RoundHalfEven(EasyPath->AsInteger(2) * sf + origin[1] * sf);
                current->AddPoint(x, y, EasyPath->AsInteger(3));
            }
            EasyPath->Next();
        }
    }

    if (!wasOpen)
        EasyPath->Close();

    if (AirFlowLayers.empty())
        ShowMessage(QStringLiteral("Error. Could not load arrows"));
    else
        ArrowsLoaded = true;
    ShowArrowsForSystem();
}

void TLowPresFrm::ShowArrowsForSystem()
{
    for (int i = 0; i <= 3; ++i)
        if (TAirFlowLayer* f = FlowLayer(i))
            f->SetVisible(!HighPressure);
    for (int i = 12; i <= 15; ++i)
        if (TAirFlowLayer* f = FlowLayer(i))
            f->SetVisible(HighPressure);
}

void TLowPresFrm::ArrowTimerTimer()
{
    if (HighPressure) {
        const TModel& m = SelectedModel();
        for (int i = 0; i < 4 && i < int(RoomData.size()); ++i) {
            const TRoom* r = ModelRoom(m, Tag(RoomData[size_t(i)]->EditTemp));
            if (!r)
                continue;
            // Weak air from a nearly closed box drops close to the diffuser.
            const float s = float(double(r->GetDiscOpening()) / 100.0);
            TRoomLayer* room = RoomLayers[size_t(i)];
            if (room->RightFlow)
                room->RightFlow->SetStrength(s);
            if (room->LeftFlow)
                room->LeftFlow->SetStrength(s);
        }
    }
    if (ArrowsLoaded)
        for (TAirFlowLayer* f : AirFlowLayers)
            f->Step();
}

void TLowPresFrm::TrackBarAniSpdChange()
{
    if (SpeedBusy)
        return;
    SpeedBusy = true;
    // Sets how many model sub-steps a control-loop tick runs, not the arrows' pace.
    LowPresModel->SetSimulationSpeed(TrackBarAniSpd->value());
    HighPresModel->SetSimulationSpeed(TrackBarAniSpd->value());
    SpeedBusy = false;
}

// ---------------------------------------------------------------------------
// System switch, start-up, units, calibration

TTextLayer* TLowPresFrm::CreatePressureLabels()
{
    auto* labels = new TTextLayer(&MainImage->Layers(), 0, 0, MainImage->width(), MainImage->height());
    if (!HighPressure) {
        labels->AddLabel(200, 147, Metric ? QStringLiteral("80 Pa") : QStringLiteral("0.32\""));
        labels->AddLabel(440, 147, Metric ? QStringLiteral("60 Pa") : QStringLiteral("0.24\""));
        labels->AddLabel(490, 147, Metric ? QStringLiteral("70 Pa") : QStringLiteral("0.28\""));
        labels->AddLabel(600, 147, Metric ? QStringLiteral("60 Pa") : QStringLiteral("0.24\""));
    } else {
        labels->AddLabel(365, 159,
                         Metric ? QStringLiteral("10 Pa - 60 Pa") : QStringLiteral("0.04\" - 0.24\""));
    }
    return labels;
}

void TLowPresFrm::BtnToggleSystemsClick()
{
    HighPressure = !HighPressure;
    if (VSDFrm && VSDFrm->isVisible())
        VSDFrm->close();
    LowPresDuct->SetActive(!HighPressure);
    HighPresDuct->SetActive(!LowPresDuct->Active());
    ShowArrowsForSystem();
    // The centre-right room shares the centre-left room's VAV box and thermostat.
    EditTempSetpoint3->setVisible(!HighPressure);
    UpDownTempSetpoint3->setVisible(!HighPressure);
    EditDiscOpening3->setVisible(!HighPressure);
    for (int i = 4; i <= 11; ++i)
        if (TAirFlowLayer* f = FlowLayer(i))
            f->ResetFlow();
    delete PressureLabels;
    PressureLabels = nullptr;
    if (!HighPressure) {
        setWindowTitle(kLowCaption + QLatin1Char(' ') + kVersion);
        BtnToggleSystems->setText(QStringLiteral("&High Pressure System"));
        LblDiscOpening->setText(QStringLiteral("Control Disc"));
        PressureLabels = CreatePressureLabels();
    } else {
        setWindowTitle(kHighCaption + QLatin1Char(' ') + kVersion);
        BtnToggleSystems->setText(QStringLiteral("&Low Pressure System"));
        LblDiscOpening->setText(QStringLiteral("VAV Box"));
        ArrowTimerTimer();
        for (int i = 4; i <= 11; ++i)
            if (TAirFlowLayer* f = FlowLayer(i))
                f->UpdateFlow();
        PressureLabels = CreatePressureLabels();
    }
    FanTimerTimer();
    if (TrendsWindow)
        TrendsWindow->SyncWithMainWindow();
}

void TLowPresFrm::ButSpeedStartClick()
{
    if (Busy)
        return;
    Busy = true;
    // The button mirrors the low-pressure model's plant state.
    if (LowPresModel->SupplyTemperature == 15.0f) {
        LowPresModel->SetSupplyTemperature(26);
        HighPresModel->SetSupplyTemperature(26);
        ButSpeedStart->setChecked(true);
    } else {
        LowPresModel->SetSupplyTemperature(15);
        HighPresModel->SetSupplyTemperature(15);
        ButSpeedStart->setChecked(false);
    }
    SetTextColour(ButSpeedStart, QPalette::ButtonText, ButSpeedStart->isChecked() ? Qt::red : Qt::blue);
    Busy = false;
}

void TLowPresFrm::RadioImperialClick()
{
    if (Busy || !Metric)
        return;
    Busy = true;
    Metric = !RadioImperial->isChecked();
    UnitsRefresh();
    Busy = false;
}

void TLowPresFrm::RadioMetricClick()
{
    if (Busy || Metric)
        return;
    Busy = true;
    Metric = RadioMetric->isChecked();
    UnitsRefresh();
    Busy = false;
}

void TLowPresFrm::UnitsRefresh()
{
    delete PressureLabels;
    PressureLabels = CreatePressureLabels();
    if (FLowCali.Window && FLowCali.SetPressureLabels)
        FLowCali.SetPressureLabels(Metric);
    if (FHighCali.Window && FHighCali.SetPressureLabels)
        FHighCali.SetPressureLabels(Metric);
    EditPressureUnit->setText(Metric ? QStringLiteral("( Pa )") : QStringLiteral("( ins.wg )"));
    EditEnergyUnit->setText(Metric ? QStringLiteral("( kW )") : QStringLiteral("( Hp )"));
    EditTempUnit->setText(Metric ? QStringLiteral("( °C )") : QStringLiteral("( °F )"));
    // Converted only when the units change, so showing the window again
    // does not convert a converted text a second time.
    if (FSetpointTextMetric != Metric) {
        ConvertSetpointText(EditTempSetpoint1);
        ConvertSetpointText(EditTempSetpoint2);
        ConvertSetpointText(EditTempSetpoint3);
        ConvertSetpointText(EditTempSetpoint4);
        FSetpointTextMetric = Metric;
    }
    if (TrendsWindow)
        TrendsWindow->SyncWithMainWindow();
}

void TLowPresFrm::ConvertSetpointText(QLineEdit* edit)
{
    double value = 0;
    if (!ParseNumber(edit->text(), value)) {
        // Not a number this window wrote: start again from the up-down (°C).
        const int index = Tag(edit);
        if (index < 0 || index >= int(RoomData.size()))
            return;
        const int celsius = RoomData[size_t(index)]->UpDownTempSetpoint->Position();
        value = Metric ? double(CelsiusToFahrenheit(celsius)) : celsius;
    }
    if (Metric)
        edit->setText(QString::number(RoundHalfEven(FahrenheitToCelsius(value))));
    else
        edit->setText(FormatFloat("%4.2f", CelsiusToFahrenheit(value)));
}

void TLowPresFrm::BtnLowCaliClick()
{
    if (HighPressure) {
        if (FHighCali.Window)
            FHighCali.Window->show();
    } else {
        if (FLowCali.Window)
            FLowCali.Window->show();
        if (VSDFrm && VSDFrm->isVisible())
            VSDFrm->close();
    }
}

void TLowPresFrm::BtnTrendsClick()
{
    if (!TrendsWindow)
        TrendsWindow = new TTrendsWindow(TrendRecorder,
                                         {[this] { return Metric; }, [this] { return HighPressure; },
                                          [this](const QString& topic, int key) { ShowHelpTopic(topic, key); }},
                                         this);
    TrendsWindow->show();
    TrendsWindow->raise();
    TrendsWindow->activateWindow();
}
