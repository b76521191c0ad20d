#include "toolkit/FormReader.h"

#include <cctype>
#include <memory>
#include <vector>

#include "common/Error.h"
#include "common/Text.h"
#include "toolkit/Resources.h"
#include "toolkit/StdControls.h"
#include "toolkit/StyledButtons.h"

namespace {

struct TValue {
    enum class TKind { Number, Text, Ident, List } Kind = TKind::Number;
    long long Number = 0;
    std::u16string Text;  // the text, or the identifier
    std::vector<TValue> Items;
};

struct TProperty {
    std::u16string Name;
    TValue Value;
    int Line = 0;
};

struct TNode {
    std::u16string Name;
    std::u16string Class;
    int Line = 0;
    std::vector<TProperty> Properties;
    std::vector<TNode> Children;
};

[[noreturn]] void Fail(int line, const std::u16string& what)
{
    throw EAppError(u"Window description, line " + IntToText(line) + u": " + what);
}

class TParser {
public:
    explicit TParser(std::string_view text) : FText(text) {}

    TNode ParseRoot()
    {
        SkipSpace();
        TNode root = ParseObject();
        SkipSpace();
        if (FPos < FText.size()) Fail(FLine, u"text after the last end");
        return root;
    }

private:
    TNode ParseObject()
    {
        TNode node;
        node.Line = FLine;
        if (Word() != "object") Fail(node.Line, u"object expected");
        SkipBlanks();
        node.Name = AsciiToUtf16(Word());
        SkipBlanks();
        if (!Take(':')) Fail(FLine, u"':' expected after " + node.Name);
        SkipBlanks();
        node.Class = AsciiToUtf16(Word());
        if (node.Name.empty() || node.Class.empty()) Fail(node.Line, u"name and class expected");
        for (;;) {
            SkipSpace();
            if (FPos >= FText.size()) Fail(FLine, u"end of " + node.Name + u" missing");
            const std::size_t mark = FPos;
            const int line = FLine;
            const std::string word = Word();
            if (word == "end") return node;
            if (word == "object") {
                FPos = mark;
                node.Children.push_back(ParseObject());
                continue;
            }
            if (word.empty()) Fail(line, u"property name expected");
            SkipBlanks();
            if (!Take('=')) Fail(line, u"'=' expected after " + AsciiToUtf16(word));
            SkipBlanks();
            node.Properties.push_back({AsciiToUtf16(word), ParseValue(), line});
        }
    }

    TValue ParseValue()
    {
        TValue v;
        if (FPos >= FText.size()) Fail(FLine, u"value expected");
        const char c = FText[FPos];
        if (c == '\'') {
            v.Kind = TValue::TKind::Text;
            std::string bytes;
            ++FPos;
            for (;;) {
                if (FPos >= FText.size() || FText[FPos] == '\n') Fail(FLine, u"unterminated text");
                if (FText[FPos] == '\'') {
                    if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
                        bytes += '\'';
                        FPos += 2;
                        continue;
                    }
                    ++FPos;
                    break;
                }
                bytes += FText[FPos++];
            }
            v.Text = Utf8ToUtf16(bytes);
        } else if (c == '(') {
            v.Kind = TValue::TKind::List;
            ++FPos;
            SkipBlanks();
            while (!Take(')')) {
                v.Items.push_back(ParseValue());
                SkipBlanks();
                if (!Take(',') && (FPos >= FText.size() || FText[FPos] != ')'))
                    Fail(FLine, u"',' or ')' expected");
                SkipBlanks();
            }
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            v.Kind = TValue::TKind::Number;
            while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos]))) {
                v.Number = v.Number * 10 + (FText[FPos] - '0');
                if (v.Number > 0xFFFFFFFFLL) Fail(FLine, u"number too large");
                ++FPos;
            }
        } else {
            v.Kind = TValue::TKind::Ident;
            v.Text = AsciiToUtf16(Word());
            if (v.Text.empty()) Fail(FLine, u"value expected");
        }
        return v;
    }

    std::string Word()
    {
        std::string w;
        while (FPos < FText.size()) {
            const char c = FText[FPos];
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '.') break;
            w += c;
            ++FPos;
        }
        return w;
    }

    bool Take(char c)
    {
        if (FPos < FText.size() && FText[FPos] == c) {
            ++FPos;
            return true;
        }
        return false;
    }

    void SkipBlanks()
    {
        while (FPos < FText.size() && (FText[FPos] == ' ' || FText[FPos] == '\t')) ++FPos;
    }

    // Blanks, line ends and comment lines starting with '#'.
    void SkipSpace()
    {
        while (FPos < FText.size()) {
            const char c = FText[FPos];
            if (c == '\n') ++FLine;
            if (c == '#') {
                while (FPos < FText.size() && FText[FPos] != '\n') ++FPos;
                continue;
            }
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n') break;
            ++FPos;
        }
    }

    std::string_view FText;
    std::size_t FPos = 0;
    int FLine = 1;
};

// Reads the values of one property, failing with its line for a value of the wrong kind.
class TReader {
public:
    TReader(const TProperty& p) : P(p) {}

    int Int() const
    {
        if (P.Value.Kind != TValue::TKind::Number) Bad();
        return static_cast<int>(P.Value.Number);
    }
    const std::u16string& Text() const
    {
        if (P.Value.Kind != TValue::TKind::Text) Bad();
        return P.Value.Text;
    }
    const std::u16string& Ident() const
    {
        if (P.Value.Kind != TValue::TKind::Ident) Bad();
        return P.Value.Text;
    }
    bool Bool() const
    {
        const auto& id = Ident();
        if (SameTextAscii(id, u"True")) return true;
        if (SameTextAscii(id, u"False")) return false;
        Bad();
    }
    template <class E, std::size_t N>
    E Enum(const std::pair<const char16_t*, E> (&names)[N]) const
    {
        const auto& id = Ident();
        for (const auto& [name, value] : names)
            if (id == name) return value;
        Bad();
    }
    std::vector<std::u16string> Idents() const
    {
        if (P.Value.Kind != TValue::TKind::List) Bad();
        std::vector<std::u16string> out;
        for (const auto& item : P.Value.Items) {
            if (item.Kind != TValue::TKind::Ident) Bad();
            out.push_back(item.Text);
        }
        return out;
    }
    std::vector<int> Ints() const
    {
        if (P.Value.Kind != TValue::TKind::List) Bad();
        std::vector<int> out;
        for (const auto& item : P.Value.Items) {
            if (item.Kind != TValue::TKind::Number) Bad();
            out.push_back(static_cast<int>(item.Number));
        }
        return out;
    }
    TColor Color() const
    {
        return Enum<TColor>({{u"clWindow", clWindow}, {u"clWindowText", clWindowText},
                             {u"clBlack", clBlack}, {u"clWhite", clWhite}});
    }
    [[noreturn]] void Bad() const { Fail(P.Line, u"bad value for " + P.Name); }

    const TProperty& P;
};

// Every class the description may name, the control it makes, and the properties it takes
// (beyond the event handlers, which the binder checks).
struct TClassInfo {
    const char16_t* Name;
    TControl* (*Make)(TComponent* owner);
    const char16_t* Properties;  // separated by spaces
};

#define BOUNDS u"Left Top Width Height "
const TClassInfo kClasses[] = {
    {u"TCardPanel", [](TComponent* o) -> TControl* { return new TCardPanel(o); },
     u"Align Color ActiveCardIndex"},
    {u"TCard", [](TComponent* o) -> TControl* { return new TCard(o); }, u"Color"},
    {u"TPanel", [](TComponent* o) -> TControl* { return new TPanel(o); }, BOUNDS u"Align Color"},
    {u"TLabel", [](TComponent* o) -> TControl* { return new TLabel(o); },
     BOUNDS u"Alignment Caption ParentFont Font.Name Font.Height Font.Color Font.Quality"},
    {u"TMarkupLabel", [](TComponent* o) -> TControl* { return new TMarkupLabel(o); }, BOUNDS},
    {u"TGroupBox", [](TComponent* o) -> TControl* { return new TGroupBox(o); }, BOUNDS u"Caption"},
    {u"TCheckBox", [](TComponent* o) -> TControl* { return new TCheckBox(o); },
     BOUNDS u"Caption TabStop OnClick"},
    {u"TActivityIndicator", [](TComponent* o) -> TControl* { return new TActivityIndicator(o); },
     BOUNDS u"IndicatorColor FrameDelay Visible"},
    {u"TSvgImage", [](TComponent* o) -> TControl* { return new TSvgImage(o); },
     BOUNDS u"Cursor AccessibleName SvgResource OnClick"},
    {u"TStyledButton", [](TComponent* o) -> TControl* { return new TStyledButton(o); },
     BOUNDS u"Caption Default StyleFamily StyleClass StyleAppearance OnClick"},
    {u"TStyledToolBar", [](TComponent* o) -> TControl* { return new TStyledToolBar(o); },
     u"Align Margins ButtonWidth ButtonHeight Indent StyleRadius StyleFamily StyleClass StyleAppearance"},
    {u"TStyledToolButton", [](TComponent* o) -> TControl* { return new TStyledToolButton(o); },
     u"Caption Down OnClick"},
};
// The form itself, whatever its class is called.
const char16_t kFormProperties[] =
    u"ClientWidth ClientHeight BorderStyle BorderIcons Position Caption Color Font.Name Font.Height "
    u"Font.Color OnCreate";
#undef BOUNDS

bool Allows(const char16_t* properties, const std::u16string& name)
{
    const std::u16string_view list(properties);
    for (std::size_t pos = 0; pos <= list.size();) {
        std::size_t end = list.find(u' ', pos);
        if (end == std::u16string_view::npos) end = list.size();
        if (list.substr(pos, end - pos) == name) return true;
        pos = end + 1;
    }
    return false;
}

void ApplyFont(TControl& c, const std::u16string& name, const TReader& r)
{
    TFont font = c.Font();
    if (name == u"Font.Name") font.Name = r.Text();
    else if (name == u"Font.Height") font.Height = r.Int();
    else if (name == u"Font.Color") font.Color = r.Color();
    else font.Antialiased = r.Enum<bool>({{u"fqAntialiased", true}});  // Font.Quality
    c.SetFont(font);
}

// The properties of a styled control's look.
template <class T>
bool ApplyStyle(T& c, const std::u16string& name, const TReader& r)
{
    const TStyledLook& look = c.Look();
    if (name == u"StyleFamily") c.SetStyle(r.Text(), look.StyleClass, look.Appearance);
    else if (name == u"StyleClass") c.SetStyle(look.Family, r.Text(), look.Appearance);
    else if (name == u"StyleAppearance") c.SetStyle(look.Family, look.StyleClass, r.Text());
    else if (name == u"StyleRadius") c.SetRadius(r.Int());
    else return false;
    return true;
}

// Applies a property that the control's class allows.
void ApplyProperty(TControl& c, const TProperty& p, const TEventBinder& events)
{
    const TReader r(p);
    const std::u16string& name = p.Name;
    if (name == u"Left") c.SetBounds(r.Int(), c.Top(), c.Width(), c.Height());
    else if (name == u"Top") c.SetBounds(c.Left(), r.Int(), c.Width(), c.Height());
    else if (name == u"Width") c.SetBounds(c.Left(), c.Top(), r.Int(), c.Height());
    else if (name == u"Height") c.SetBounds(c.Left(), c.Top(), c.Width(), r.Int());
    else if (name == u"Align")
        c.SetAlign(r.Enum<TAlign>({{u"alTop", TAlign::alTop}, {u"alRight", TAlign::alRight},
                                   {u"alClient", TAlign::alClient}}));
    else if (name == u"Margins") {
        const auto m = r.Ints();
        if (m.size() != 4) r.Bad();
        c.SetMargins(m[0], m[1], m[2], m[3]);
    } else if (name == u"Caption") c.SetCaption(r.Text());
    else if (name == u"Visible") c.SetVisible(r.Bool());
    else if (name == u"Color") c.SetColor(r.Color());
    else if (name == u"ParentFont") c.SetParentFont(r.Bool());
    else if (name.rfind(u"Font.", 0) == 0) ApplyFont(c, name, r);
    else if (name == u"Cursor") c.SetCursor(r.Enum<TCursor>({{u"crHandPoint", TCursor::crHandPoint}}));
    else if (name == u"AccessibleName") c.SetAccessibleName(r.Text());
    else if (name == u"TabStop") c.SetTabStop(r.Bool());
    else if (name == u"OnClick" || name == u"OnCreate") {
        TNotifyEvent handler = events ? events(r.Ident()) : TNotifyEvent();
        if (!handler) Fail(p.Line, u"no handler " + r.Ident());
        if (name == u"OnClick") c.OnClick = std::move(handler);
        else static_cast<TForm&>(c).OnCreate = std::move(handler);
    } else {
        switch (c.Kind()) {
        case TControlKind::Form: {
            auto& form = static_cast<TForm&>(c);
            if (name == u"ClientWidth") form.SetClientSize(r.Int(), form.ClientHeight());
            else if (name == u"ClientHeight") form.SetClientSize(form.ClientWidth(), r.Int());
            else if (name == u"BorderStyle")
                form.SetBorderStyle(r.Enum<TFormBorderStyle>({{u"bsSingle", TFormBorderStyle::bsSingle}}));
            else if (name == u"BorderIcons") {
                unsigned icons = 0;
                for (const auto& s : r.Idents()) {
                    if (s == u"biSystemMenu") icons |= biSystemMenu;
                    else if (s == u"biMinimize") icons |= biMinimize;
                    else r.Bad();
                }
                form.SetBorderIcons(icons);
            } else
                form.SetPosition(r.Enum<TPosition>({{u"poScreenCenter", TPosition::poScreenCenter}}));
            break;
        }
        case TControlKind::CardPanel:
            static_cast<TCardPanel&>(c).SetActiveCardIndex(r.Int());
            break;
        case TControlKind::Label:
            static_cast<TLabel&>(c).SetAlignment(r.Enum<TAlignment>({{u"taCenter", TAlignment::taCenter}}));
            break;
        case TControlKind::StyledButton: {
            auto& button = static_cast<TStyledButton&>(c);
            if (!ApplyStyle(button, name, r)) button.SetDefault(r.Bool());
            break;
        }
        case TControlKind::StyledToolBar: {
            auto& bar = static_cast<TStyledToolBar&>(c);
            if (ApplyStyle(bar, name, r)) break;
            if (name == u"ButtonWidth") bar.SetButtonSize(r.Int(), bar.ButtonHeight());
            else if (name == u"ButtonHeight") bar.SetButtonSize(bar.ButtonWidth(), r.Int());
            else bar.SetIndent(r.Int());
            break;
        }
        case TControlKind::StyledToolButton:
            static_cast<TStyledToolButton&>(c).SetDown(r.Bool());
            break;
        case TControlKind::ActivityIndicator: {
            auto& busy = static_cast<TActivityIndicator&>(c);
            if (name == u"FrameDelay") busy.SetFrameDelay(r.Int());
            else busy.SetDotColor(r.Color());
            break;
        }
        case TControlKind::SvgImage:
            static_cast<TSvgImage&>(c).SetSource(ReadResource(r.Text()));
            break;
        default:
            break;
        }
    }
}

void ApplyProperties(TControl& c, const char16_t* allowed, const TNode& node, const TEventBinder& events)
{
    for (const TProperty& p : node.Properties) {
        if (!Allows(allowed, p.Name)) Fail(p.Line, u"unknown property " + p.Name + u" of " + c.Name());
        ApplyProperty(c, p, events);
    }
    // What docking decides is not given: a top dock keeps only its height, a right dock its
    // width, a filling one nothing.
    if (c.Align() == TAlign::alNone) return;
    const char16_t* kept = c.Align() == TAlign::alTop ? u"Height" : c.Align() == TAlign::alRight ? u"Width" : u"";
    for (const TProperty& p : node.Properties)
        if (Allows(u"Left Top Width Height", p.Name) && p.Name != kept)
            Fail(p.Line, p.Name + u" has no effect on the docked " + c.Name());
}

void ReadChildren(TForm& form, TWinControl& parent, const TNode& node, const TEventBinder& events)
{
    for (const TNode& child : node.Children) {
        if (form.FindComponent(child.Name)) Fail(child.Line, u"second control named " + child.Name);
        const TClassInfo* info = nullptr;
        for (const TClassInfo& c : kClasses)
            if (child.Class == c.Name) info = &c;
        if (!info) Fail(child.Line, u"unknown class " + child.Class);
        TControl* c = info->Make(&form);
        c->SetName(child.Name);
        c->SetParent(&parent);
        ApplyProperties(*c, info->Properties, child, events);
        if (!child.Children.empty()) {
            TWinControl* win = c->AsContainer();
            if (!win) Fail(child.Line, child.Name + u" cannot hold controls");
            ReadChildren(form, *win, child, events);
        }
    }
}

}  // namespace

void ReadForm(TForm& form, std::string_view description, const TEventBinder& events)
{
    const TNode root = TParser(description).ParseRoot();
    form.SetName(root.Name);
    ApplyProperties(form, kFormProperties, root, events);
    ReadChildren(form, form, root, events);
    form.Realign();
}

void RaiseMissingComponent(const std::u16string& name)
{
    throw EAppError(u"The window has no control " + name);
}
