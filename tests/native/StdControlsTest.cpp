// The plain controls: the check box's handler on every change, the page panel and the busy
// indicator's frames.
#include <gtest/gtest.h>

#include "support/FakePeer.h"
#include "toolkit/StdControls.h"

namespace {

TEST(StdControlsTest, CheckBoxRunsItsHandlerOnEveryChangeOfState)
{
    TCheckBox box(nullptr);
    std::vector<bool> seen;
    box.OnClick = [&](TComponent* sender) {
        EXPECT_EQ(sender, &box);
        seen.push_back(static_cast<TCheckBox*>(sender)->Checked());
    };
    box.SetChecked(true);   // by code
    box.SetChecked(true);   // no change: nothing
    box.Click();            // by the user
    box.Click();
    box.SetChecked(false);
    box.SetChecked(false);
    EXPECT_EQ(seen, (std::vector<bool>{true, false, true, false}));
    EXPECT_FALSE(box.Checked());
}

TEST(StdControlsTest, PagePanelShowsOnePageAndIgnoresIndexesOutOfRange)
{
    TCardPanel cards(nullptr);
    cards.SetBounds(0, 0, 100, 80);
    TCard* pages[3];
    for (TCard*& page : pages) {
        page = new TCard(&cards);
        page->SetParent(&cards);
    }
    cards.Realign();
    for (int index : {2, 0, 1, -1, 3}) {
        cards.SetActiveCardIndex(index);
        const int want = index < 0 || index > 2 ? 1 : index;
        EXPECT_EQ(cards.ActiveCardIndex(), want);
        EXPECT_EQ(cards.ActiveCard(), pages[want]);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(pages[i]->Visible(), i == want) << index << " " << i;
    }
    EXPECT_EQ(pages[2]->BoundsRect(), (TRect{0, 0, 100, 80}));
}

// Starting and stopping the animation is a change of state that the realisation hears of; a
// new frame is not (the realisation advances the frames and redraws them itself).
TEST(StdControlsTest, IndicatorCyclesItsFramesAndTellsTheRealisationOfItsStateOnly)
{
    TActivityIndicator busy(nullptr);
    EXPECT_EQ(busy.BoundsRect(), (TRect{0, 0, 32, 32}));
    std::vector<TChange> changes;
    auto peer = std::make_unique<TFakePeer>();
    peer->Log = &changes;
    busy.SetPeer(std::move(peer));
    busy.SetAnimate(true);
    busy.SetAnimate(true);
    for (int i = 0; i < TActivityIndicator::kFrames + 1; ++i) busy.NextFrame();
    EXPECT_EQ(busy.Frame(), 1);
    EXPECT_EQ(changes, std::vector<TChange>{TChange::State});
    busy.SetAnimate(false);
    EXPECT_EQ(changes, (std::vector<TChange>{TChange::State, TChange::State}));
}

}  // namespace
