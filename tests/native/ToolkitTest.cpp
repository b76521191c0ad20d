// The component model: ownership and names, docking, fonts that follow the parent, the check
// box's handler on every change, down groups, the page panel, the tool bar's layout, the
// busy indicator and the vector image reader.
#include <gtest/gtest.h>

#include "common/Error.h"
#include "common/Text.h"
#include "common/Translate.h"
#include "support/FakeLocale.h"
#include "support/FakePeer.h"
#include "toolkit/Forms.h"
#include "toolkit/StdControls.h"
#include "toolkit/StyledButtons.h"
#include "toolkit/Svg.h"

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

TEST(ToolkitTest, OwnerFreesItsComponentsInReverseOrderAndFindsThemByName)
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

TEST(ToolkitTest, DockingTakesEdgesInChildOrderWithMarginsThenFills)
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

TEST(ToolkitTest, FontsFollowTheParentUntilAControlHasItsOwn)
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
    EXPECT_EQ(changes, std::vector<TChange>{TChange::Font});

    TFont own = big;
    own.Style = fsBold;
    label->SetFont(own);
    EXPECT_FALSE(label->ParentFont());
    form.SetFont(TFont());
    EXPECT_EQ(label->Font(), own);
    label->SetParentFont(true);
    EXPECT_EQ(label->Font(), TFont());
    EXPECT_EQ(own.Size(), 23);  // 30 px at 96 DPI
}

TEST(ToolkitTest, CheckBoxRunsItsHandlerOnEveryChangeOfState)
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

TEST(ToolkitTest, DownReleasesOnlyTheSameGroupUnderTheSameParent)
{
    TPanel a(nullptr), b(nullptr);
    auto make = [](TPanel& parent, int group) {
        auto* button = new TStyledButton(&parent);
        button->SetParent(&parent);
        button->SetGroupIndex(group);
        return button;
    };
    TStyledButton* a1 = make(a, 0);
    TStyledButton* a2 = make(a, 0);
    TStyledButton* a3 = make(a, 1);
    TStyledButton* b1 = make(b, 0);
    a1->SetDown(true);
    a3->SetDown(true);
    b1->SetDown(true);
    a2->SetDown(true);
    EXPECT_FALSE(a1->Down());
    EXPECT_TRUE(a2->Down());
    EXPECT_TRUE(a3->Down());
    EXPECT_TRUE(b1->Down());
    a2->SetDown(false);  // releasing presses nothing else
    EXPECT_FALSE(a1->Down());
    EXPECT_FALSE(a2->Down());

    TStyledToolBar bar(nullptr);
    auto* t1 = new TStyledToolButton(&bar);
    auto* t2 = new TStyledToolButton(&bar);
    t1->SetParent(&bar);
    t2->SetParent(&bar);
    t1->SetDown(true);
    t2->SetDown(true);
    EXPECT_FALSE(t1->Down());
    EXPECT_TRUE(t2->Down());
}

// The one rule of the default button, which the realisation asks for the first focus, for the
// focus taken back and for Enter.
TEST(ToolkitTest, DefaultButtonIsTheFirstMarkedOneWhileItShowsAndIsEnabled)
{
    TForm form(nullptr);
    auto* page = new TPanel(&form);
    page->SetParent(&form);
    auto button = [&](bool isDefault) {
        auto* b = new TStyledButton(&form);
        b->SetParent(page);
        b->SetDefault(isDefault);
        return b;
    };
    TStyledButton* plain = button(false);
    EXPECT_EQ(DefaultButton(form), nullptr);
    TStyledButton* run = button(true);
    button(true);  // a second one marked later is never the default
    EXPECT_EQ(DefaultButton(form), run);
    EXPECT_EQ(DefaultButton(*page), run);
    run->SetEnabled(false);
    EXPECT_EQ(DefaultButton(form), nullptr);
    run->SetEnabled(true);
    page->SetVisible(false);  // on a page that is not shown
    EXPECT_EQ(DefaultButton(form), nullptr);
    page->SetVisible(true);
    plain->SetDown(true);
    EXPECT_EQ(DefaultButton(form), run);
}

TEST(ToolkitTest, PagePanelShowsOnePageAndIgnoresIndexesOutOfRange)
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

TEST(ToolkitTest, ToolBarLaysOutVisibleButtonsFromTheIndent)
{
    TStyledToolBar bar(nullptr);
    bar.SetIndent(10);
    bar.SetButtonSize(70, 30);
    TStyledToolButton* b[3];
    for (auto*& button : b) {
        button = new TStyledToolButton(&bar);
        button->SetParent(&bar);
    }
    EXPECT_EQ(b[2]->BoundsRect(), (TRect{150, 0, 70, 30}));
    b[1]->SetVisible(false);
    EXPECT_EQ(b[2]->BoundsRect(), (TRect{80, 0, 70, 30}));
    EXPECT_EQ(b[0]->ToolBar(), &bar);
}

// Starting and stopping the animation is a change of state that the realisation hears of; a
// new frame is not (the realisation advances the frames and redraws them itself).
TEST(ToolkitTest, IndicatorCyclesItsFramesAndTellsTheRealisationOfItsStateOnly)
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

TEST(ToolkitTest, FormCreationErrorsGoToTheApplicationAndCreationGoesOn)
{
    TForm form(nullptr);
    std::vector<std::string> reported;
    auto saved = ErrorHandler();
    SetErrorHandler([&](const std::exception& e) { reported.push_back(e.what()); });
    int steps = 0;
    form.OnCreate = [&](TComponent*) {
        ++steps;
        throw EAppError(u"Invalid data type for 'status'");
    };
    EXPECT_NO_THROW(form.DoCreate());
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(reported, std::vector<std::string>{"Invalid data type for 'status'"});
    SetErrorHandler(saved);
}

TEST(SvgTest, PathCommandsOfTheLogo)
{
    using S = TSvgFigure::TSegment;
    const auto figures = ParseSvgPath("M10 20 H15 L15 25 H10 Z L1,1 M0 0 Q3 0 3 3");
    ASSERT_EQ(figures.size(), 3u);
    EXPECT_TRUE(figures[0].Closed);
    EXPECT_EQ(figures[0].Points, (std::vector<TSvgPoint>{{10, 20}, {15, 20}, {15, 25}, {10, 25}}));
    EXPECT_EQ(figures[0].Kinds, (std::vector<S>{S::Line, S::Line, S::Line}));
    // A command after Z without a moveto starts at the closed figure's start.
    EXPECT_EQ(figures[1].Points, (std::vector<TSvgPoint>{{10, 20}, {1, 1}}));
    EXPECT_FALSE(figures[1].Closed);
    // A quadratic becomes the cubic that draws it: controls two thirds of the way to (3,0).
    EXPECT_EQ(figures[2].Kinds, (std::vector<S>{S::Cubic}));
    EXPECT_EQ(figures[2].Points, (std::vector<TSvgPoint>{{0, 0}, {2, 0}, {3, 1}, {3, 3}}));
    // Coordinates after a moveto are lines; numbers run together as SVG allows: "1.5.5" is 1.5
    // and .5, "-1-2" is -1 and -2.
    const auto packed = ParseSvgPath("M1.5.5-1-2e0");
    EXPECT_EQ(packed.at(0).Points, (std::vector<TSvgPoint>{{1.5, 0.5}, {-1, -2}}));
}

TEST(SvgTest, BadPathsAndDocumentsRaise)
{
    for (const char* d : {"L1 2", "M1", "M1 2 L1,", "m1 2"})
        EXPECT_THROW(ParseSvgPath(d), EAppError) << d;
    // What the logo does not use is refused by name.
    struct Case {
        const char* Path;
        const char16_t* Error;
    } refused[] = {
        {"M1 2 A1 1 0 0 1 3 3", u"SVG: arcs are not supported"},
        {"M1 2 a1 1 0 0 1 3 3", u"SVG: arcs are not supported"},
        {"M1 2 V3", u"SVG: path command V is not supported"},
        {"M1 2 C1 2 3 4 5 6", u"SVG: path command C is not supported"},
        {"M1 2 S1 1 2 2", u"SVG: path command S is not supported"},
        {"M1 2 T3 3", u"SVG: path command T is not supported"},
        {"M1 2 l3 3", u"SVG: path command l is not supported"},
        {"M1 2 X3", u"SVG: path command X is not supported"},
    };
    for (const Case& c : refused) {
        try {
            ParseSvgPath(c.Path);
            ADD_FAILURE() << c.Path << " was read";
        } catch (const EAppError& e) {
            EXPECT_EQ(e.Message(), c.Error) << c.Path;
        }
    }
    for (const char* doc : {"", "<g/>", "<svg viewBox='0 0 0 10'/>", "<svg viewBox='0 0 10 10'><path/></svg>",
                            "<svg viewBox='0 0 10 10'><path d='M0 0 L1 1' fill='red'/></svg>",
                            "<svg viewBox='0 0 10 10'><path d='M0 0 L1 1' fill='#fff'/></svg>",
                            "<svg viewBox='0 0 10 10'><path d='M0 0 L1 1' fill='none'/></svg>",
                            "<svg viewBox='0 0 10 10'><path d='M0 0 L1 1' fill-rule='evenodd'/></svg>",
                            "<svg viewBox='0 0 10 10'><g opacity='0.5'/></svg>",
                            "<svg viewBox='0 0 10 10'><rect x=1/></svg>"})
        EXPECT_THROW(ParseSvg(doc), EAppError) << doc;
}

TEST(SvgTest, DocumentPaintsInheritAndPlacementCentresUniformly)
{
    const TSvgDocument doc = ParseSvg(R"(<?xml version="1.0"?><!-- c -->
        <svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 112 50">
          <title>t</title>
          <g fill="#3D84DD" fill-opacity="0.5"><rect x="1" y="2" width="3" height="4"/>
            <path d="M0 0 L1 0 L0 1 Z" fill="#FFFFFF"/></g>
          <rect x="0" y="0" width="10" height="10" rx="2"/>
        </svg>)");
    ASSERT_EQ(doc.Shapes.size(), 3u);
    EXPECT_EQ(doc.Shapes[0].Fill, RGBColor(0x3D, 0x84, 0xDD));
    EXPECT_EQ(doc.Shapes[0].Alpha, 128);
    EXPECT_EQ(doc.Shapes[0].Figures.at(0).Points.size(), 4u);
    EXPECT_EQ(doc.Shapes[1].Fill, clWhite);
    EXPECT_EQ(doc.Shapes[1].Alpha, 128);
    EXPECT_EQ(doc.Shapes[2].Fill, clBlack);  // outside the group: black, opaque
    EXPECT_EQ(doc.Shapes[2].Alpha, 255);
    EXPECT_EQ(doc.Shapes[2].Figures.at(0).Kinds.size(), 8u);  // four sides, four corners

    const TSvgPlacement wide = PlaceSvg(doc, 224, 200);
    EXPECT_DOUBLE_EQ(wide.Scale, 2);
    EXPECT_DOUBLE_EQ(wide.OffsetX, 0);
    EXPECT_DOUBLE_EQ(wide.OffsetY, 50);
    const TSvgPlacement same = PlaceSvg(doc, 112, 50);
    EXPECT_DOUBLE_EQ(same.Scale, 1);
    EXPECT_DOUBLE_EQ(same.OffsetX, 0);
}

TEST(SvgTest, TheLogoReads)
{
    TSvgImage image(nullptr);
    EXPECT_THROW(image.SetSource("<svg"), EAppError);
    image.SetSource("<svg width='112' height='50'><rect width='112' height='50'/></svg>");
    EXPECT_EQ(image.Document().ViewWidth, 112);
    EXPECT_EQ(image.Document().Shapes.size(), 1u);
}

const std::string kWindowCatalogue =
    "ko=창\r\nen=Window\r\nja=窓\r\n\r\n"
    "ko=실행하기\r\nen=Run\r\nja=実行する\r\nfr=Exécuter\r\n";

// A form that owns a label, a check box that the form does not own but a panel does, all with
// catalogue captions (the check box's is not in the catalogue).
class TranslateComponentTest : public ::testing::Test {
protected:
    TranslateComponentTest()
    {
        Form.SetCaption(u"창");
        Label->SetCaption(u"실행하기");
        Box->SetCaption(u"TcpNoDelay");
        Inner->SetCaption(u"실행하기");
    }
    void TearDown() override { TranslateShutdown(); }

    TForm Form{nullptr};
    TLabel* Label = new TLabel(&Form);
    TPanel* Panel = new TPanel(&Form);
    TCheckBox* Box = new TCheckBox(&Form);
    TLabel* Inner = new TLabel(Panel);  // owned by the panel, not by the form
};

TEST_F(TranslateComponentTest, FormTitleIsEnglishExceptInKorean)
{
    struct Case {
        std::u16string Language;
        std::u16string Title, Run;
    } cases[] = {
        {u"ko", u"창", u"실행하기"},
        {u"ja", u"Window", u"実行する"},
        {u"fr", u"Window", u"Exécuter"},
        {u"de", u"Window", u"Run"},
    };
    for (const auto& c : cases) {
        LoadCatalogue(kWindowCatalogue, c.Language);
        TranslateComponent(&Form);
        EXPECT_EQ(Form.Caption(), c.Title) << Utf16ToUtf8(c.Language);
        EXPECT_EQ(Label->Caption(), c.Run) << Utf16ToUtf8(c.Language);
        EXPECT_EQ(Inner->Caption(), c.Run) << Utf16ToUtf8(c.Language);
        EXPECT_EQ(Box->Caption(), u"TcpNoDelay");
    }
}

TEST_F(TranslateComponentTest, TwiceIsOnceAndAGivenLanguageStays)
{
    LoadCatalogue(kWindowCatalogue, u"ja");
    TranslateComponent(&Form);
    TranslateComponent(&Form);
    EXPECT_EQ(Label->Caption(), u"実行する");

    // A given language turns the translated window into it and stays the current one.
    TranslateComponent(&Form, u"ko");
    EXPECT_EQ(CurrentLanguage(), u"ko");
    EXPECT_EQ(Form.Caption(), u"창");
    EXPECT_EQ(Label->Caption(), u"실행하기");
    EXPECT_EQ(TranslateText(u"Run"), u"실행하기");

    // Even without a component.
    TranslateComponent(nullptr, u"fr");
    EXPECT_EQ(CurrentLanguage(), u"fr");
}

}  // namespace
