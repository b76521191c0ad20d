// The component model: ownership and names, docking of the top, right and client kinds, and
// fonts that follow the parent.
#include <gtest/gtest.h>

#include "common/Text.h"
#include "support/FakePeer.h"
#include "toolkit/Forms.h"
#include "toolkit/StdControls.h"

namespace {

// Records its own destruction into a shared log.
class TTracked : public TComponent {
public:
    TTracked(TComponent* owner, std::vector<std::u16string>& log, const char16_t* name)
        : TComponent(owner), FLog(log)
    {
        SetName(name);
    }
    ~TTracked() override { FLog.push_back(Name()); }

private:
    std::vector<std::u16string>& FLog;
};

TEST(ControlsTest, OwnerFreesItsComponentsInReverseOrderAndFindsThemByName)
{
    std::vector<std::u16string> log;
    {
        TComponent owner(nullptr);
        new TTracked(&owner, log, u"First");
        auto* second = new TTracked(&owner, log, u"Second");
        new TTracked(second, log, u"Grandchild");
        new TTracked(&owner, log, u"Third");
        EXPECT_EQ(owner.FindComponent(u"SECOND"), second);
        EXPECT_EQ(owner.FindComponent(u"Grandchild"), nullptr);  // owned by Second
        EXPECT_EQ(owner.FindComponent(u""), nullptr);
        delete owner.FindComponent(u"first");  // freed early: leaves the owner's list
        EXPECT_EQ(owner.Components().size(), 2u);
    }
    // A component runs its own destructor first, then frees what it owns.
    EXPECT_EQ(log, (std::vector<std::u16string>{u"First", u"Third", u"Second", u"Grandchild"}));
}

TEST(ControlsTest, DockingTakesEdgesInChildOrderWithMarginsThenFills)
{
    TPanel host(nullptr);
    host.SetBounds(0, 0, 300, 200);
    auto add = [&](TAlign align, TRect r) {
        auto* c = new TPanel(&host);
        c->SetBounds(r.Left, r.Top, r.Width, r.Height);
        c->SetParent(&host);
        c->SetAlign(align);
        return c;
    };
    TPanel* fill = add(TAlign::alClient, {0, 0, 1, 1});
    TPanel* top = add(TAlign::alTop, {5, 5, 10, 40});
    TPanel* right = add(TAlign::alRight, {0, 0, 50, 10});
    TPanel* loose = add(TAlign::alNone, {7, 8, 9, 10});
    fill->SetMargins(10, 10, 10, 10);
    EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 300, 40}));
    EXPECT_EQ(right->BoundsRect(), (TRect{250, 40, 50, 160}));
    EXPECT_EQ(fill->BoundsRect(), (TRect{10, 50, 230, 140}));
    EXPECT_EQ(loose->BoundsRect(), (TRect{7, 8, 9, 10}));

    // A hidden dock gives its edge back; moving a child first docks it first.
    top->SetVisible(false);
    EXPECT_EQ(right->BoundsRect(), (TRect{250, 0, 50, 200}));
    top->SetVisible(true);
    TPanel* second = add(TAlign::alTop, {0, 0, 10, 2});
    host.SetChildIndex(second, 0);
    EXPECT_EQ(second->BoundsRect(), (TRect{0, 0, 300, 2}));
    EXPECT_EQ(top->BoundsRect(), (TRect{0, 2, 300, 40}));
    host.SetBounds(0, 0, 400, 300);
    EXPECT_EQ(right->BoundsRect(), (TRect{350, 42, 50, 258}));
}

TEST(ControlsTest, FontsFollowTheParentUntilAControlHasItsOwn)
{
    TForm form(nullptr);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    auto* label = new TLabel(&form);
    label->SetParent(panel);
    std::vector<TChange> changes;
    auto peer = std::make_unique<TFakePeer>();
    peer->Log = &changes;
    label->SetPeer(std::move(peer));

    TFont big;
    big.Name = u"Tahoma";
    big.Height = 30;
    form.SetFont(big);
    EXPECT_EQ(label->Font(), big);
    EXPECT_EQ(&label->FontSource(), &form);  // through the panel, which takes the form's too
    EXPECT_EQ(changes, std::vector<TChange>{TChange::Font});

    TFont own = big;
    own.Style = fsBold;
    label->SetFont(own);
    EXPECT_FALSE(label->ParentFont());
    EXPECT_EQ(&label->FontSource(), label);
    form.SetFont(TFont());
    EXPECT_EQ(label->Font(), own);
    label->SetParentFont(true);
    EXPECT_EQ(label->Font(), TFont());
    EXPECT_EQ(own.Size(), 23);  // 30 px at 96 DPI
}

}  // namespace
