#include "toolkit/Description.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "common/Error.h"
#include "common/Text.h"
#include "toolkit/Resources.h"

namespace {

// The text as written: objects with their properties, before any meaning is given to them.
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

struct TTextObject {
    std::u16string Name;
    std::u16string Class;
    int Line = 0;
    std::vector<TProperty> Properties;
    std::vector<TTextObject> Children;
};

[[noreturn]] void Fail(int line, const std::u16string& what)
{
    throw EAppError(u"Window description, line " + IntToText(line) + u": " + what);
}

class TParser {
public:
    explicit TParser(std::string_view text) : FText(text) {}

    TTextObject ParseRoot()
    {
        SkipSpace();
        TTextObject root = ParseObject();
        SkipSpace();
        if (FPos < FText.size()) Fail(FLine, u"text after the last end");
        return root;
    }

private:
    TTextObject ParseObject()
    {
        TTextObject node;
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

enum class TAlign { alNone, alTop, alRight, alClient };

// Every class the description may name, its kind, and the properties it takes.
struct TClassInfo {
    const char16_t* Name;
    TKind Kind;
    const char16_t* Properties;  // separated by spaces
};

#define BOUNDS u"Left Top Width Height "
const TClassInfo kClasses[] = {
    {u"TCardPanel", TKind::CardPanel, u"Align Color ActiveCardIndex"},
    {u"TCard", TKind::Card, u"Color"},
    {u"TPanel", TKind::Panel, BOUNDS u"Align Color"},
    {u"TLabel", TKind::Label, BOUNDS u"Alignment Caption ParentFont Font.Name Font.Height Font.Color Font.Quality"},
    {u"TMarkupLabel", TKind::MarkupLabel, BOUNDS},
    {u"TGroupBox", TKind::GroupBox, BOUNDS u"Caption"},
    {u"TCheckBox", TKind::CheckBox, BOUNDS u"Caption TabStop OnClick"},
    {u"TActivityIndicator", TKind::Indicator, BOUNDS u"IndicatorColor FrameDelay Visible"},
    {u"TSvgImage", TKind::SvgImage, BOUNDS u"Cursor AccessibleName SvgResource OnClick"},
    {u"TStyledButton", TKind::Button, BOUNDS u"Caption Default StyleFamily StyleClass StyleAppearance OnClick"},
    {u"TStyledToolBar", TKind::ToolBar,
     u"Align Margins ButtonWidth ButtonHeight Indent StyleRadius StyleFamily StyleClass StyleAppearance"},
    {u"TStyledToolButton", TKind::ToolButton, u"Caption Down OnClick"},
};
#undef BOUNDS
// The window itself, whatever its class is called.
const char16_t kWindowProperties[] =
    u"ClientWidth ClientHeight BorderStyle BorderIcons Position Caption Color Font.Name Font.Height "
    u"Font.Color OnCreate";

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

// What a node is while it is read: docking and the tool bar's layout, settled at the end.
struct TDraft {
    TNode* Node = nullptr;
    TAlign Align = TAlign::alNone;
    int Margins[4] = {0, 0, 0, 0};  // left, top, right, bottom
    int ButtonWidth = 70, ButtonHeight = 30, Indent = 0;
    std::vector<TDraft> Children;
};

void ApplyFont(TFont& font, const std::u16string& name, const TReader& r)
{
    if (name == u"Font.Name") font.Name = r.Text();
    else if (name == u"Font.Height") font.Height = r.Int();
    else if (name == u"Font.Color") font.Color = r.Color();
    else font.Antialiased = r.Enum<bool>({{u"fqAntialiased", true}});  // Font.Quality
}

class TBuilder {
public:
    TBuilder(const THandlerCheck& handlers) : FHandlers(handlers) {}

    std::u16string Handler(const TReader& r) const
    {
        if (!FHandlers || !FHandlers(r.Ident())) Fail(r.P.Line, u"no handler " + r.Ident());
        return r.Ident();
    }

    void ApplyWindow(TWindowDescription& w, const TTextObject& object) const
    {
        for (const TProperty& p : object.Properties) {
            if (!Allows(kWindowProperties, p.Name)) Fail(p.Line, u"unknown property " + p.Name + u" of " + w.Name);
            const TReader r(p);
            const std::u16string& name = p.Name;
            if (name == u"ClientWidth") w.ClientWidth = r.Int();
            else if (name == u"ClientHeight") w.ClientHeight = r.Int();
            else if (name == u"BorderStyle") r.Enum<int>({{u"bsSingle", 0}});
            else if (name == u"BorderIcons") {
                const auto icons = r.Idents();
                if (icons != std::vector<std::u16string>{u"biSystemMenu", u"biMinimize"}) r.Bad();
            } else if (name == u"Position") r.Enum<int>({{u"poScreenCenter", 0}});
            else if (name == u"Caption") w.Caption = r.Text();
            else if (name == u"Color") w.Color = r.Color();
            else if (name == u"OnCreate") w.OnCreate = Handler(r);
            else ApplyFont(w.Font, name, r);
        }
    }

    void Apply(TDraft& d, const TTextObject& object, const char16_t* allowed) const
    {
        TNode& n = *d.Node;
        for (const TProperty& p : object.Properties) {
            if (!Allows(allowed, p.Name)) Fail(p.Line, u"unknown property " + p.Name + u" of " + n.Name);
            const TReader r(p);
            const std::u16string& name = p.Name;
            if (name == u"Left") n.Bounds.Left = r.Int();
            else if (name == u"Top") n.Bounds.Top = r.Int();
            else if (name == u"Width") n.Bounds.Width = r.Int();
            else if (name == u"Height") n.Bounds.Height = r.Int();
            else if (name == u"Align")
                d.Align = r.Enum<TAlign>({{u"alTop", TAlign::alTop}, {u"alRight", TAlign::alRight},
                                         {u"alClient", TAlign::alClient}});
            else if (name == u"Margins") {
                const auto m = r.Ints();
                if (m.size() != 4) r.Bad();
                std::copy(m.begin(), m.end(), d.Margins);
            } else if (name == u"Caption") n.Caption = r.Text();
            else if (name == u"Visible") n.Visible = r.Bool();
            else if (name == u"Color") n.Color = r.Color();
            else if (name == u"ParentFont") n.OwnFont = !r.Bool();
            else if (name.rfind(u"Font.", 0) == 0) ApplyFont(n.Font, name, r);
            else if (name == u"Cursor") n.HandCursor = r.Enum<bool>({{u"crHandPoint", true}});
            else if (name == u"AccessibleName") n.AccessibleName = r.Text();
            else if (name == u"TabStop") n.TabStop = r.Bool();
            else if (name == u"OnClick") n.OnClick = Handler(r);
            else if (name == u"ActiveCardIndex") n.ActiveCard = r.Int();
            else if (name == u"Alignment") n.Centered = r.Enum<bool>({{u"taCenter", true}});
            else if (name == u"Default") n.Default = r.Bool();
            else if (name == u"Down") n.Down = r.Bool();
            else if (name == u"StyleFamily") n.Look.Family = r.Text();
            else if (name == u"StyleClass") n.Look.StyleClass = r.Text();
            else if (name == u"StyleAppearance") n.Look.Appearance = r.Text();
            else if (name == u"StyleRadius") n.Look.Radius = r.Int();
            else if (name == u"ButtonWidth") d.ButtonWidth = r.Int();
            else if (name == u"ButtonHeight") d.ButtonHeight = r.Int();
            else if (name == u"Indent") d.Indent = r.Int();
            else if (name == u"FrameDelay") n.FrameDelay = r.Int();
            else if (name == u"IndicatorColor") n.DotColor = r.Color();
            else if (name == u"SvgResource") {
                try {
                    n.Image = ParseSvg(ReadResource(r.Text()));
                } catch (const EAppError& e) {
                    Fail(p.Line, Utf8ToUtf16(e.what()));
                }
            }
        }
        // A font of its own only where the label says so; what docking decides is not given:
        // a top dock keeps only its height, a right dock its width, a filling one nothing.
        for (const TProperty& p : object.Properties)
            if (p.Name.rfind(u"Font.", 0) == 0 && !n.OwnFont) Fail(p.Line, p.Name + u" has no effect without ParentFont = False");
        if (!n.Look.Family.empty())
            ComputeButtonStyles(n.Look.Family, n.Look.StyleClass, n.Look.Appearance, n.Look.Styles);
        if (d.Align == TAlign::alNone) return;
        const char16_t* kept = d.Align == TAlign::alTop ? u"Height" : d.Align == TAlign::alRight ? u"Width" : u"";
        for (const TProperty& p : object.Properties)
            if (Allows(u"Left Top Width Height", p.Name) && p.Name != kept)
                Fail(p.Line, p.Name + u" has no effect on the docked " + n.Name);
    }

    void ReadChildren(std::vector<TNode>& nodes, std::vector<TDraft>& drafts, const TTextObject& object)
    {
        nodes.reserve(object.Children.size());
        for (const TTextObject& child : object.Children) {
            if (std::find(FNames.begin(), FNames.end(), AsciiLower(child.Name)) != FNames.end())
                Fail(child.Line, u"second control named " + child.Name);
            FNames.push_back(AsciiLower(child.Name));
            const TClassInfo* info = nullptr;
            for (const TClassInfo& c : kClasses)
                if (child.Class == c.Name) info = &c;
            if (!info) Fail(child.Line, u"unknown class " + child.Class);
            TNode& node = nodes.emplace_back();
            node.Name = child.Name;
            node.Kind = info->Kind;
            node.TabStop = node.Kind == TKind::Button || node.Kind == TKind::ToolButton || node.Kind == TKind::CheckBox;
            TDraft& draft = drafts.emplace_back();
            draft.Node = &node;
            Apply(draft, child, info->Properties);
            if (!child.Children.empty()) {
                if (!HoldsControls(node.Kind)) Fail(child.Line, child.Name + u" cannot hold controls");
                ReadChildren(node.Children, draft.Children, child);
            }
        }
    }

private:
    const THandlerCheck& FHandlers;
    std::vector<std::u16string> FNames;
};

// Top and right docks in child order, each taking its edge of what is left, then every
// client-aligned child fills the rest, margins kept free around each; a card panel's pages
// fill it, a tool bar's buttons lie left to right from its indent. Then their children.
void Lay(std::vector<TDraft>& drafts, TKind parentKind, const TDraft* parent, TRect area)
{
    auto place = [](TDraft& d, int left, int top, int width, int height) {
        d.Node->Bounds = {left + d.Margins[0], top + d.Margins[1], std::max(width - d.Margins[0] - d.Margins[2], 0),
                          std::max(height - d.Margins[1] - d.Margins[3], 0)};
    };
    for (const TAlign kind : {TAlign::alTop, TAlign::alRight, TAlign::alClient}) {
        for (TDraft& d : drafts) {
            if (d.Align != kind) continue;
            const TRect& b = d.Node->Bounds;
            const int outerW = b.Width + d.Margins[0] + d.Margins[2];
            const int outerH = b.Height + d.Margins[1] + d.Margins[3];
            if (kind == TAlign::alTop) {
                place(d, area.Left, area.Top, area.Width, outerH);
                area.Top += outerH;
                area.Height = std::max(area.Height - outerH, 0);
            } else if (kind == TAlign::alRight) {
                place(d, area.Left + area.Width - outerW, area.Top, outerW, area.Height);
                area.Width = std::max(area.Width - outerW, 0);
            } else {
                place(d, area.Left, area.Top, area.Width, area.Height);
            }
        }
    }
    int x = parent ? parent->Indent : 0;
    for (TDraft& d : drafts) {
        if (parentKind == TKind::CardPanel && d.Node->Kind == TKind::Card) {
            d.Node->Bounds = {0, 0, area.Width, area.Height};
        } else if (parentKind == TKind::ToolBar && d.Node->Kind == TKind::ToolButton) {
            d.Node->Bounds = {x, 0, parent->ButtonWidth, parent->ButtonHeight};
            x += parent->ButtonWidth;
        }
    }
    for (TDraft& d : drafts) {
        const TRect& b = d.Node->Bounds;
        Lay(d.Children, d.Node->Kind, &d, {0, 0, b.Width, b.Height});
    }
}

void Collect(const std::vector<TNode>& nodes, std::vector<const TNode*>& all)
{
    for (const TNode& n : nodes) {
        all.push_back(&n);
        Collect(n.Children, all);
    }
}

const TNode* Find(const std::vector<TNode>& nodes, std::u16string_view name)
{
    for (const TNode& n : nodes) {
        if (SameTextAscii(n.Name, name)) return &n;
        if (const TNode* found = Find(n.Children, name)) return found;
    }
    return nullptr;
}

}  // namespace

TWindowDescription ReadDescription(std::string_view text, const THandlerCheck& handlers, int topKept)
{
    const TTextObject root = TParser(text).ParseRoot();
    TWindowDescription window;
    window.Name = root.Name;
    TBuilder builder(handlers);
    builder.ApplyWindow(window, root);
    std::vector<TDraft> drafts;
    builder.ReadChildren(window.Controls, drafts, root);
    Lay(drafts, TKind::Panel, nullptr, {0, topKept, window.ClientWidth, std::max(window.ClientHeight - topKept, 0)});
    return window;
}

const TNode* FindNode(const TWindowDescription& window, std::u16string_view name)
{
    return Find(window.Controls, name);
}

std::vector<const TNode*> AllNodes(const TWindowDescription& window)
{
    std::vector<const TNode*> all;
    Collect(window.Controls, all);
    return all;
}
