// The window description reader: values of every kind, nesting, the handlers it checks, the
// docking it resolves, the errors that name the line, and the program's own window read from
// its description: the exact tree with every control where docking puts it, and its properties.
#include <gtest/gtest.h>

#include "common/Error.h"
#include "common/Text.h"
#include "styling/MarveticButtonStyles.h"
#include "support/ResourceFiles.h"
#include "toolkit/Description.h"
#include "toolkit/Resources.h"

namespace {

bool AnyHandler(const std::u16string& name)
{
    return name != u"Missing";
}

std::u16string ErrorOf(std::string_view text)
{
    try {
        ReadDescription(text, AnyHandler);
    } catch (const EAppError& e) {
        return e.Message();
    }
    return u"(no error)";
}

TEST(DescriptionTest, ReadsValuesOfEveryKindIntoNestedNodesAndDocksThem)
{
    std::vector<std::u16string> asked;
    const TWindowDescription w = ReadDescription(R"(
# a comment line
object Frm: TForm
  ClientWidth = 200
  ClientHeight = 100
  Caption = 'It''s 탭'
  Color = clWhite
  BorderIcons = (biSystemMenu, biMinimize)
  OnCreate = Made
  object Box: TGroupBox
    Left = 1
    Top = 2
    Width = 50
    Height = 40
    object Check: TCheckBox
      TabStop = False
      OnClick = Clicked
    end
  end
  object Head: TPanel
    Align = alTop
    Height = 40
    object Bar: TStyledToolBar
      Align = alClient
      Margins = (1, 2, 3, 4)
      ButtonWidth = 20
      Indent = 5
      object B1: TStyledToolButton
        Down = True
      end
      object B2: TStyledToolButton
      end
    end
  end
  object Side: TPanel
    Align = alRight
    Width = 30
  end
end
)",
                                                 [&](const std::u16string& name) {
                                                     asked.push_back(name);
                                                     return true;
                                                 },
                                                 2);
    EXPECT_EQ(w.Name, u"Frm");
    EXPECT_EQ(w.Caption, u"It's 탭");
    EXPECT_EQ(w.Color, clWhite);
    EXPECT_EQ(w.OnCreate, u"Made");
    EXPECT_EQ(asked, (std::vector<std::u16string>{u"Made", u"Clicked"}));
    const TNode* box = FindNode(w, u"box");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Kind, TKind::GroupBox);
    EXPECT_EQ(box->Bounds, (TRect{1, 2, 50, 40}));
    ASSERT_EQ(box->Children.size(), 1u);
    const TNode& check = box->Children[0];
    EXPECT_EQ(check.Name, u"Check");
    EXPECT_FALSE(check.TabStop);
    EXPECT_EQ(check.OnClick, u"Clicked");
    // Docked below the two rows kept free: the top panel, then the right one in what is left.
    EXPECT_EQ(FindNode(w, u"Head")->Bounds, (TRect{0, 2, 200, 40}));
    EXPECT_EQ(FindNode(w, u"Side")->Bounds, (TRect{170, 42, 30, 58}));
    EXPECT_EQ(FindNode(w, u"Bar")->Bounds, (TRect{1, 2, 196, 34}));
    EXPECT_EQ(FindNode(w, u"B1")->Bounds, (TRect{5, 0, 20, 30}));
    EXPECT_EQ(FindNode(w, u"B2")->Bounds, (TRect{25, 0, 20, 30}));
    EXPECT_TRUE(FindNode(w, u"B1")->Down);
    EXPECT_TRUE(FindNode(w, u"B2")->TabStop);  // buttons always stop
    EXPECT_EQ(FindNode(w, u"Nothing"), nullptr);
    std::vector<std::u16string> order;
    for (const TNode* node : AllNodes(w)) order.push_back(node->Name);
    EXPECT_EQ(order, (std::vector<std::u16string>{u"Box", u"Check", u"Head", u"Bar", u"B1", u"B2", u"Side"}));
}
TEST(DescriptionTest, ErrorsNameTheLineAndTheFault)
{
    struct Case {
        const char* Text;
        const char16_t* Error;
    };
    const Case cases[] = {
        {"", u"Window description, line 1: object expected"},
        {"object F: TForm\n  Width = 1\n", u"Window description, line 3: end of F missing"},
        {"object F: TForm\n  object X: TNoSuch\n  end\nend", u"Window description, line 2: unknown class TNoSuch"},
        {"object F: TForm\n  Colour = 1\nend", u"Window description, line 2: unknown property Colour of F"},
        // Each class takes only the properties the program's window gives it.
        {"object F: TForm\n  Width = 1\nend", u"Window description, line 2: unknown property Width of F"},
        {"object F: TForm\n  object P: TPanel\n    BevelOuter = bvNone\n  end\nend",
         u"Window description, line 3: unknown property BevelOuter of P"},
        {"object F: TForm\n  object B: TStyledButton\n    Opaque = True\n  end\nend",
         u"Window description, line 3: unknown property Opaque of B"},
        {"object F: TForm\n  object L: TLabel\n    AutoSize = False\n  end\nend",
         u"Window description, line 3: unknown property AutoSize of L"},
        {"object F: TForm\n  object G: TGroupBox\n    TabOrder = 0\n  end\nend",
         u"Window description, line 3: unknown property TabOrder of G"},
        {"object F: TForm\n  object S: TShape\n  end\nend", u"Window description, line 2: unknown class TShape"},
        {"object F: TForm\n  object P: TCardPanel\n    object C: TCard\n      Left = 0\n    end\n  end\nend",
         u"Window description, line 4: unknown property Left of C"},
        // Bounds that docking decides are refused, wherever Align stands.
        {"object F: TForm\n  object P: TPanel\n    Width = 10\n    Align = alTop\n  end\nend",
         u"Window description, line 3: Width has no effect on the docked P"},
        {"object F: TForm\n  object P: TPanel\n    Align = alRight\n    Width = 10\n    Height = 5\n  end\nend",
         u"Window description, line 5: Height has no effect on the docked P"},
        {"object F: TForm\n  object P: TPanel\n    Align = alClient\n    Top = 5\n  end\nend",
         u"Window description, line 4: Top has no effect on the docked P"},
        // And each property only the values given there.
        {"object F: TForm\n  BorderStyle = bsSizeable\nend", u"Window description, line 2: bad value for BorderStyle"},
        {"object F: TForm\n  Color = $00DD843D\nend", u"Window description, line 2: value expected"},
        {"object F: TForm\n  object P: TPanel\n    Align = alBottom\n  end\nend",
         u"Window description, line 3: bad value for Align"},
        {"object F: TForm\n  object P: TPanel\n    Top = -2\n  end\nend",
         u"Window description, line 3: value expected"},
        {"object F: TForm\n  ClientWidth = 'wide'\nend", u"Window description, line 2: bad value for ClientWidth"},
        {"object F: TForm\n  object P: TPanel\n    Align = alMiddle\n  end\nend",
         u"Window description, line 3: bad value for Align"},
        {"object F: TForm\n  object I: TActivityIndicator\n    Visible = Yes\n  end\nend",
         u"Window description, line 3: bad value for Visible"},
        {"object F: TForm\n  Caption = 'open\nend", u"Window description, line 2: unterminated text"},
        {"object F: TForm\n  object T: TStyledToolBar\n    Margins = (1, 2)\n  end\nend",
         u"Window description, line 3: bad value for Margins"},
        {"object F: TForm\n  Width 5\nend", u"Window description, line 2: '=' expected after Width"},
        {"object F: TForm\n  OnCreate = Missing\nend", u"Window description, line 2: no handler Missing"},
        {"object F: TForm\n  object L: TLabel\n    object M: TLabel\n    end\n  end\nend",
         u"Window description, line 2: L cannot hold controls"},
        {"object F: TForm\n  object L: TLabel\n  end\n  object l: TLabel\n  end\nend",
         u"Window description, line 4: second control named l"},
        {"object F: TForm\nend\nend", u"Window description, line 3: text after the last end"},
        {"object F: TForm\n  ClientWidth = 99999999999\nend", u"Window description, line 2: number too large"},
        // The one window there is: a single border with the system menu and minimise button.
        {"object F: TForm\n  BorderIcons = (biSystemMenu)\nend", u"Window description, line 2: bad value for BorderIcons"},
        {"object F: TForm\n  Position = poDesigned\nend", u"Window description, line 2: bad value for Position"},
        // A font is a label's own only where it says so.
        {"object F: TForm\n  object L: TLabel\n    Font.Height = 9\n  end\nend",
         u"Window description, line 3: Font.Height has no effect without ParentFont = False"},
        {"object F: TForm\n  object B: TStyledButton\n    OnClick = Missing\n  end\nend",
         u"Window description, line 3: no handler Missing"},
    };
    for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.Text), c.Error) << c.Text;
}

TEST(DescriptionTest, ImagesComeFromTheResourceReader)
{
    SetResourceReader([](const std::u16string& name) -> std::string {
        if (name == u"PIC") return "<svg viewBox='0 0 4 2'><rect width='4' height='2'/></svg>";
        throw EAppError(u"no resource " + name);
    });
    const TWindowDescription w =
        ReadDescription("object F: TForm\n  object I: TSvgImage\n    SvgResource = 'PIC'\n  end\nend", AnyHandler);
    EXPECT_EQ(FindNode(w, u"I")->Image.ViewWidth, 4);
    EXPECT_EQ(ErrorOf("object F: TForm\n  object I: TSvgImage\n    SvgResource = 'NONE'\n  end\nend"),
              u"Window description, line 3: no resource NONE");
    SetResourceReader(nullptr);
    EXPECT_THROW(ReadResource(u"PIC"), EAppError);
}

struct ExpectedControl {
    const char16_t* Name;
    const char16_t* Parent;
    TRect Bounds;
    const char16_t* Caption;
};

// The tree in the description's order, with positions after docking below the two rows of
// the accent strip, and layout.
const ExpectedControl kTree[] = {
    {u"PnlMain", u"FrmTavrino", {0, 52, 498, 374}, u""},
    {u"Card1", u"PnlMain", {0, 0, 498, 374}, u""},
    {u"LblTitle", u"Card1", {8, 40, 484, 81}, u"Tavrino"},
    {u"LblContent", u"Card1", {0, 188, 500, 33}, u""},
    {u"BtnStart", u"Card1", {176, 264, 162, 68}, u"실행하기"},
    {u"Indicator", u"Card1", {241, 282, 32, 32}, u""},
    {u"Card2", u"PnlMain", {0, 0, 498, 374}, u""},
    {u"LblVersion", u"Card2", {15, 344, 100, 15}, u"Loadiing..."},
    {u"GroupBox1", u"Card2", {15, 6, 474, 67}, u"네트워크 아답터 정보"},
    {u"LblAdapter", u"GroupBox1", {17, 32, 304, 15}, u"..."},
    {u"LblIPAddress", u"GroupBox1", {344, 32, 109, 15}, u"..."},
    {u"GroupBox2", u"Card2", {15, 87, 474, 98}, u"네이글 알고리즘 해제"},
    {u"ChkTcpNoDelay", u"GroupBox2", {17, 64, 200, 17}, u"TcpNoDelay"},
    {u"ChkTCPAckFrequency", u"GroupBox2", {17, 32, 200, 17}, u"TcpAckFrequency"},
    {u"ChkTcpDelAckTick", u"GroupBox2", {243, 32, 200, 17}, u"TcpDelAckTick"},
    {u"GroupBox3", u"Card2", {15, 199, 474, 66}, u"네트워크 쓰로틀링"},
    {u"ChkNetworkThrottlingIndex", u"GroupBox3", {17, 32, 200, 17}, u"NetworkThrottlingIndex"},
    {u"ChkSystemResponsiveness", u"GroupBox3", {243, 32, 200, 17}, u"SystemResponsiveness"},
    {u"PnlHead", u"FrmTavrino", {0, 2, 498, 50}, u""},
    {u"BtnHead", u"PnlHead", {10, 10, 358, 30}, u""},
    {u"BtnHome", u"BtnHead", {10, 0, 70, 30}, u"처음화면"},
    {u"BtnConfig", u"BtnHead", {80, 0, 70, 30}, u"환경설정"},
    {u"BtnDonate", u"BtnHead", {150, 0, 70, 30}, u"후원하기"},
    {u"PnlLogo", u"PnlHead", {378, 0, 120, 50}, u""},
    {u"ImgLogo", u"PnlLogo", {3, 0, 112, 50}, u""},
};


class MainDescriptionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseResourceFiles();
        RegisterMarveticButtonStyles();
    }
    // The program's window as it reads it: two rows kept for the accent strip.
    TWindowDescription Read() { return ReadDescription(ReadResource(u"TFRMTAVRINO"), AnyHandler, 2); }
};

TEST_F(MainDescriptionTest, TheExactTreeInItsOrderWhereDockingPutsIt)
{
    const TWindowDescription w = Read();
    EXPECT_EQ(w.Name, u"FrmTavrino");
    std::vector<std::pair<const TNode*, const TNode*>> all;  // node, parent
    struct Walk {
        static void Add(const std::vector<TNode>& nodes, const TNode* parent, std::vector<std::pair<const TNode*, const TNode*>>& out)
        {
            for (const TNode& n : nodes) {
                out.emplace_back(&n, parent);
                Add(n.Children, &n, out);
            }
        }
    };
    Walk::Add(w.Controls, nullptr, all);
    ASSERT_EQ(all.size(), std::size(kTree));
    for (std::size_t i = 0; i < std::size(kTree); ++i) {
        const ExpectedControl& want = kTree[i];
        SCOPED_TRACE(Utf16ToUtf8(want.Name));
        const auto& [node, parent] = all[i];
        EXPECT_EQ(node->Name, want.Name);
        EXPECT_EQ(parent ? parent->Name : w.Name, want.Parent);
        EXPECT_EQ(node->Bounds, want.Bounds);
        EXPECT_EQ(node->Caption, want.Caption);
    }
}

TEST_F(MainDescriptionTest, WindowAndControlProperties)
{
    const TWindowDescription w = Read();
    EXPECT_EQ(w.ClientWidth, 498);
    EXPECT_EQ(w.ClientHeight, 426);
    EXPECT_EQ(w.Color, clWhite);
    EXPECT_EQ(w.Caption, u"Tavrino");
    EXPECT_EQ(w.Font.Name, u"Segoe UI");
    EXPECT_EQ(w.Font.Height, 12);
    EXPECT_EQ(w.OnCreate, u"FormCreate");
    auto node = [&w](const char16_t* name) -> const TNode& {
        const TNode* n = FindNode(w, name);
        if (!n) throw EAppError(u"no node");
        return *n;
    };
    EXPECT_EQ(node(u"PnlMain").ActiveCard, 0);
    EXPECT_TRUE(node(u"LblTitle").OwnFont);
    EXPECT_EQ(node(u"LblTitle").Font.Name, u"Tahoma");
    EXPECT_EQ(node(u"LblTitle").Font.Height, 59);
    EXPECT_EQ(node(u"LblTitle").Font.Size(), 44);
    EXPECT_TRUE(node(u"LblTitle").Font.Antialiased);
    EXPECT_TRUE(node(u"LblTitle").Centered);
    EXPECT_FALSE(node(u"LblAdapter").OwnFont);
    EXPECT_EQ(node(u"BtnStart").Look.Family, u"Marvetic");
    EXPECT_EQ(node(u"BtnStart").Look.Appearance, u"Outline");
    EXPECT_EQ(node(u"BtnStart").Look.Styles[0].BorderColor, kAccentColor);  // the family's sets
    EXPECT_TRUE(node(u"BtnStart").Default);
    EXPECT_FALSE(node(u"BtnStart").Down);
    EXPECT_EQ(node(u"BtnStart").OnClick, u"BtnStartClick");
    EXPECT_EQ(node(u"BtnHead").Look.Appearance, u"Header");
    EXPECT_EQ(node(u"BtnHead").Look.Radius, 4);
    EXPECT_TRUE(node(u"BtnHome").Down);
    EXPECT_FALSE(node(u"BtnConfig").Down);
    EXPECT_EQ(node(u"Indicator").FrameDelay, 50);
    EXPECT_EQ(node(u"Indicator").DotColor, clBlack);
    EXPECT_FALSE(node(u"Indicator").Visible);
    EXPECT_TRUE(node(u"ImgLogo").HandCursor);
    EXPECT_EQ(node(u"ImgLogo").AccessibleName, u"Marvetic");  // a link named for the maker's page
    EXPECT_FALSE(node(u"ImgLogo").Image.Empty());
    EXPECT_EQ(node(u"ImgLogo").OnClick, u"BtnHomeClick");
    for (const char16_t* name : {u"ChkTcpNoDelay", u"ChkTCPAckFrequency", u"ChkTcpDelAckTick",
                                 u"ChkNetworkThrottlingIndex", u"ChkSystemResponsiveness"}) {
        SCOPED_TRACE(Utf16ToUtf8(name));
        EXPECT_EQ(node(name).Kind, TKind::CheckBox);
        EXPECT_FALSE(node(name).TabStop);
        EXPECT_EQ(node(name).OnClick, std::u16string(name) + u"Click");
    }
    for (const char16_t* name : {u"BtnHome", u"BtnConfig", u"BtnDonate"})
        EXPECT_EQ(node(name).OnClick, u"BtnHomeClick");
    for (const char16_t* name : {u"LblTitle", u"PnlHead", u"Indicator"}) EXPECT_TRUE(node(name).OnClick.empty());
}

}  // namespace
