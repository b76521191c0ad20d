// The window description reader: values of every kind, nesting and ownership, event binding,
// and the errors that name the line.
#include <gtest/gtest.h>

#include "common/Error.h"
#include "common/Text.h"
#include "toolkit/FormReader.h"
#include "toolkit/Resources.h"
#include "toolkit/StdControls.h"
#include "toolkit/StyledButtons.h"

namespace {

std::u16string ErrorOf(std::string_view text, const TEventBinder& events = nullptr)
{
    TForm form(nullptr);
    try {
        ReadForm(form, text, events);
    } catch (const EAppError& e) {
        return e.Message();
    }
    return u"(no error)";
}

TEST(WindowTest, ReadsValuesOfEveryKindIntoNestedControls)
{
    TForm form(nullptr);
    std::vector<std::u16string> bound;
    int clicks = 0;
    ReadForm(form, R"(
# a comment line
object Frm: TForm
  ClientWidth = 200
  ClientHeight = 100
  Caption = 'It''s 탭'
  Color = clWhite
  BorderIcons = ()
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
    end
  end
end
)",
             [&](const std::u16string& name) -> TNotifyEvent {
                 bound.push_back(name);
                 return [&](TComponent*) { ++clicks; };
             });
    EXPECT_EQ(form.Name(), u"Frm");
    EXPECT_EQ(form.Caption(), u"It's 탭");
    EXPECT_EQ(form.Color(), clWhite);
    EXPECT_EQ(form.BorderIcons(), 0u);
    auto* box = FindAs<TGroupBox>(form, u"box");
    auto* check = FindAs<TCheckBox>(form, u"Check");
    EXPECT_EQ(check->Parent(), box);
    EXPECT_EQ(check->Owner(), &form);
    EXPECT_EQ(box->BoundsRect(), (TRect{1, 2, 50, 40}));
    EXPECT_FALSE(check->TabStop());
    EXPECT_EQ(bound, std::vector<std::u16string>{u"Clicked"});
    check->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(check->Checked());
    EXPECT_EQ(FindAs<TPanel>(form, u"Head")->BoundsRect(), (TRect{0, 0, 200, 40}));
    EXPECT_EQ(FindAs<TStyledToolBar>(form, u"Bar")->BoundsRect(), (TRect{1, 2, 196, 34}));
    EXPECT_THROW(FindAs<TLabel>(form, u"Check"), EAppError);
    EXPECT_THROW(FindAs<TLabel>(form, u"Nothing"), EAppError);
}

TEST(WindowTest, ErrorsNameTheLineAndTheFault)
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
    };
    for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.Text), c.Error) << c.Text;
}

TEST(WindowTest, ImagesComeFromTheResourceReader)
{
    SetResourceReader([](const std::u16string& name) -> std::string {
        if (name == u"PIC") return "<svg viewBox='0 0 4 2'><rect width='4' height='2'/></svg>";
        throw EAppError(u"no resource " + name);
    });
    TForm form(nullptr);
    ReadForm(form, "object F: TForm\n  object I: TSvgImage\n    SvgResource = 'PIC'\n  end\nend", nullptr);
    EXPECT_EQ(FindAs<TSvgImage>(form, u"I")->Document().ViewWidth, 4);
    EXPECT_EQ(ErrorOf("object F: TForm\n  object I: TSvgImage\n    SvgResource = 'NONE'\n  end\nend"),
              u"no resource NONE");
    SetResourceReader(nullptr);
    EXPECT_THROW(ReadResource(u"PIC"), EAppError);
}

}  // namespace
