// The walkthrough step list: which targets show where, and what the memo and
// the action label say, as the cursor moves.
#include "GR32_Extra.h"
#include "UnitHotSpot.h"
#include "gr32/GR32.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

#include <memory>

namespace {

TBitmap32 Solid(int w, int h)
{
    TBitmap32 b;
    b.SetSize(w, h);
    b.Clear(Color32(200, 30, 30));
    return b;
}

// A scene of two target groups on one image, a memo and a label.
struct Scene {
    TImage32 image;
    QPlainTextEdit memo;
    QLabel label;
    TBitmapLayerList* pair;  // two 10 x 10 targets 40 pixels apart, scale 2
    TBitmapLayerList* single;
    THotSpotGroupList steps;

    Scene()
    {
        const TBitmap32 square = Solid(10, 10);
        pair = new TBitmapLayerList(&image.Layers(), 5, 5, nullptr, 2.0f);
        pair->AddChildAt(&square, 255, false, 5, 5);
        pair->AddChildAt(&square, 255, false, 25, 5);
        single = new TBitmapLayerList(&image.Layers(), 0, 0, nullptr, 2.0f);
        single->AddChildAt(&square, 255, false, 0, 0);
        memo.setPlainText(QStringLiteral("initial"));
        label.setText(QStringLiteral("initial"));
    }

    void attach()
    {
        steps.Memo = &memo;
        steps.ActionLabel = &label;
    }
};

bool AllShownAt(const TBitmapLayerList* group, float left, float top)
{
    if (group->ChildCount() == 0 || group->Location().Left != left || group->Location().Top != top)
        return false;
    for (int i = 0; i < group->ChildCount(); ++i)
        if (!IsLayerActive(group->Children(i)))
            return false;
    return true;
}

bool NoneShown(const TBitmapLayerList* group)
{
    for (int i = 0; i < group->ChildCount(); ++i)
        if (group->Children(i)->Visible() || group->Children(i)->MouseEvents())
            return false;
    return true;
}

} // namespace

class TestHotSpot : public QObject {
    Q_OBJECT
private slots:
    void newListHasNoCurrentStep();
    void firstNextShowsStepZeroAtItsPlace();
    void cursorStopsAtBothEnds_data();
    void cursorStopsAtBothEnds();
    void sharedGroupMovesAndShowsEveryTargetAgain();
    void previousShowsClickedTargetsAgain();
    void descriptionLines_data();
    void descriptionLines();
    void closingStepShowsOnlyText();
    void clearDropsStepsButNotLayers();
};

void TestHotSpot::newListHasNoCurrentStep()
{
    THotSpotGroupList steps;
    QCOMPARE(steps.Current(), -1);
    QCOMPARE(steps.Count(), 0);
    QVERIFY(steps.CurrentLayers() == nullptr);
    // Nothing to step to and no controls attached: nothing happens.
    steps.Next();
    steps.Previous();
    QCOMPARE(steps.Current(), -1);
}

void TestHotSpot::firstNextShowsStepZeroAtItsPlace()
{
    Scene s;
    s.steps.AddHotSpot(s.pair, QStringLiteral("Click both"), QStringLiteral("First"), 100, 60);
    s.steps.AddHotSpot(s.single, QStringLiteral("Click one"), QStringLiteral("Second"), 8, 9);
    s.attach();
    QVERIFY(s.steps.CurrentLayers() == nullptr);
    QVERIFY(NoneShown(s.pair));

    s.steps.Next();
    QCOMPARE(s.steps.Current(), 0);
    QVERIFY(s.steps.CurrentLayers() == s.pair);
    QVERIFY(AllShownAt(s.pair, 100, 60));
    // The children keep their offsets to the group's corner: (5,5) and (25,5) at scale 2.
    QCOMPARE(s.pair->Children(0)->Location(), (TFloatRect{100, 60, 120, 80}));
    QCOMPARE(s.pair->Children(1)->Location(), (TFloatRect{140, 60, 160, 80}));
    QCOMPARE(s.memo.toPlainText(), QStringLiteral("First"));
    QCOMPARE(s.label.text(), QStringLiteral("Click both"));
    QVERIFY(NoneShown(s.single));
}

void TestHotSpot::cursorStopsAtBothEnds_data()
{
    QTest::addColumn<bool>("atEnd");
    QTest::newRow("Previous at the first step") << false;
    QTest::newRow("Next at the last step") << true;
}

void TestHotSpot::cursorStopsAtBothEnds()
{
    QFETCH(bool, atEnd);
    Scene s;
    s.steps.AddHotSpot(s.pair, QStringLiteral("A"), QStringLiteral("first"), 10, 10);
    s.steps.AddHotSpot(s.single, QStringLiteral("B"), QStringLiteral("last"), 20, 20);
    s.attach();
    s.steps.Next();
    if (atEnd)
        s.steps.Next();
    const int before = s.steps.Current();
    // A clicked target must stay clicked: nothing is selected again.
    TBitmapLayerList* group = s.steps.CurrentLayers();
    SetLayerActive(group->Children(0), false);

    if (atEnd)
        s.steps.Next();
    else
        s.steps.Previous();

    QCOMPARE(s.steps.Current(), before);
    QCOMPARE(s.memo.toPlainText(), atEnd ? QStringLiteral("last") : QStringLiteral("first"));
    QCOMPARE(s.label.text(), atEnd ? QStringLiteral("B") : QStringLiteral("A"));
    QVERIFY(!IsLayerActive(group->Children(0)));
}

void TestHotSpot::sharedGroupMovesAndShowsEveryTargetAgain()
{
    Scene s;
    s.steps.AddHotSpot(s.pair, QStringLiteral("A"), QStringLiteral("a"), 10, 300);
    s.steps.AddHotSpot(s.pair, QStringLiteral("B"), QStringLiteral("b"), 10, 40);
    s.attach();
    s.steps.Next();
    // The user clicks both targets away; the owner then moves on.
    SetLayerActive(s.pair->Children(0), false);
    SetLayerActive(s.pair->Children(1), false);
    QVERIFY(s.pair->AllChildrenInactive());

    s.steps.Next();
    QCOMPARE(s.steps.Current(), 1);
    QVERIFY(AllShownAt(s.pair, 10, 40));
    QCOMPARE(s.pair->Children(1)->Location(), (TFloatRect{50, 40, 70, 60}));
}

void TestHotSpot::previousShowsClickedTargetsAgain()
{
    Scene s;
    s.steps.AddHotSpot(s.pair, QStringLiteral("A"), QStringLiteral("a"), 30, 30);
    s.steps.AddHotSpot(s.single, QStringLiteral("B"), QStringLiteral("b"), 70, 90);
    s.attach();
    s.steps.Next();
    SetLayerActive(s.pair->Children(1), false);
    s.steps.Next();
    QVERIFY(NoneShown(s.pair));
    QVERIFY(AllShownAt(s.single, 70, 90));

    s.steps.Previous();
    QVERIFY(AllShownAt(s.pair, 30, 30));
    QVERIFY(NoneShown(s.single));
    QCOMPARE(s.label.text(), QStringLiteral("A"));
}

void TestHotSpot::descriptionLines_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("one line") << QStringLiteral("Just one.") << QStringList{QStringLiteral("Just one.")};
    QTest::newRow("CR LF pairs with an empty line")
        << QStringLiteral("Set the static pressure.\r\n\r\nChoose a branch.")
        << QStringList{QStringLiteral("Set the static pressure."), QString(),
                       QStringLiteral("Choose a branch.")};
    QTest::newRow("blank before the break stays")
        << QStringLiteral("quantity. \r\nA few") << QStringList{QStringLiteral("quantity. "), QStringLiteral("A few")};
}

void TestHotSpot::descriptionLines()
{
    QFETCH(QString, description);
    QFETCH(QStringList, lines);
    Scene s;
    s.steps.AddHotSpot(nullptr, QStringLiteral("Done"), description, 0, 0);
    s.attach();
    s.steps.Next();
    QCOMPARE(s.memo.document()->blockCount(), lines.size());
    for (int i = 0; i < lines.size(); ++i)
        QCOMPARE(s.memo.document()->findBlockByNumber(i).text(), lines[i]);
    // No carriage return survives into the memo.
    QVERIFY(!s.memo.toPlainText().contains(QLatin1Char('\r')));
}

void TestHotSpot::closingStepShowsOnlyText()
{
    Scene s;
    s.steps.AddHotSpot(s.single, QStringLiteral("Click"), QStringLiteral("measure"), 40, 40);
    s.steps.AddHotSpot(nullptr, QStringLiteral("Done"), QStringLiteral("self-balancing"), 0, 0);
    s.attach();
    s.steps.Next();
    const TFloatRect placed = s.single->Location();
    s.steps.Next();

    QCOMPARE(s.steps.Current(), 1);
    QVERIFY(s.steps.CurrentLayers() == nullptr);
    QVERIFY(NoneShown(s.single));
    QVERIFY(NoneShown(s.pair));
    QCOMPARE(s.single->Location(), placed);
    QCOMPARE(s.memo.toPlainText(), QStringLiteral("self-balancing"));
    QCOMPARE(s.label.text(), QStringLiteral("Done"));
}

void TestHotSpot::clearDropsStepsButNotLayers()
{
    Scene s;
    s.steps.AddHotSpot(s.pair, QStringLiteral("A"), QStringLiteral("a"), 1, 2);
    s.attach();
    s.steps.Next();
    const int layers = s.image.Layers().Count();
    s.steps.Clear();
    QCOMPARE(s.steps.Count(), 0);
    QCOMPARE(s.steps.Current(), -1);
    QVERIFY(s.steps.CurrentLayers() == nullptr);
    QCOMPARE(s.image.Layers().Count(), layers);
}

QTEST_MAIN(TestHotSpot)
#include "tst_hotspot.moc"
