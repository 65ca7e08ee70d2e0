#include "UnitHotSpot.h"

#include "GR32_Extra.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>

THotSpotGroupList::~THotSpotGroupList() = default;

void THotSpotGroupList::AddHotSpot(TBitmapLayerList* Layers, const QString& Action,
                                   const QString& Description, float X, float Y)
{
    auto spot = std::make_unique<THotSpot>();
    spot->SetDescription(Description);
    spot->SetAction(Action);
    spot->SetLayers(Layers);
    spot->SetX(X);
    spot->SetY(Y);
    FItems.push_back(std::move(spot));
}

QString THotSpotGroupList::MemoText(const QString& description)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return description.split(lineBreak).join(QLatin1Char('\n'));
}

void THotSpotGroupList::Select(int Index)
{
    if (FCurrent >= 0 && FCurrent < Count()) {
        if (TBitmapLayerList* old = FItems[size_t(FCurrent)]->Layers())
            old->SetChildrenActive(false);
        if (Memo)
            Memo->setPlainText(QString());
        if (ActionLabel)
            ActionLabel->setText(QString());
    }
    if (Index >= 0 && Index < Count()) {
        const THotSpot& spot = *FItems[size_t(Index)];
        if (TBitmapLayerList* layers = spot.Layers()) {
            layers->MoveTo(spot.X(), spot.Y());
            layers->SetChildrenActive(true);
        }
        if (Memo)
            Memo->setPlainText(MemoText(spot.Description()));
        if (ActionLabel)
            ActionLabel->setText(spot.Action());
    }
    FCurrent = Index;
}

void THotSpotGroupList::Next()
{
    if (FCurrent + 1 < Count())
        Select(FCurrent + 1);
}

void THotSpotGroupList::Previous()
{
    if (FCurrent > 0)
        Select(FCurrent - 1);
}

TBitmapLayerList* THotSpotGroupList::CurrentLayers() const
{
    if (FCurrent < 0 || FCurrent >= Count())
        return nullptr;
    return FItems[size_t(FCurrent)]->Layers();
}

void THotSpotGroupList::Clear()
{
    FItems.clear();
    FCurrent = -1;
}
