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
        } else if (c == '-' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) {
            v.Kind = TValue::TKind::Number;
            const bool negative = Take('-');
            const bool hex = Take('$');
            std::size_t digits = 0;
            while (FPos < FText.size()) {
                const char d = FText[FPos];
                int digit;
                if (d >= '0' && d <= '9') digit = d - '0';
                else if (hex && d >= 'a' && d <= 'f') digit = d - 'a' + 10;
                else if (hex && d >= 'A' && d <= 'F') digit = d - 'A' + 10;
                else break;
                v.Number = v.Number * (hex ? 16 : 10) + digit;
                if (v.Number > 0xFFFFFFFFLL) Fail(FLine, u"number too large");
                ++FPos;
                ++digits;
            }
            if (digits == 0) Fail(FLine, u"number expected");
            if (negative) v.Number = -v.Number;
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

TControl* CreateControl(const std::u16string& cls, TComponent* owner)
{
    if (cls == u"TPanel") return new TPanel(owner);
    if (cls == u"TCardPanel") return new TCardPanel(owner);
    if (cls == u"TCard") return new TCard(owner);
    if (cls == u"TLabel") return new TLabel(owner);
    if (cls == u"TMarkupLabel") return new TMarkupLabel(owner);
    if (cls == u"TGroupBox") return new TGroupBox(owner);
    if (cls == u"TCheckBox") return new TCheckBox(owner);
    if (cls == u"TShape") return new TShape(owner);
    if (cls == u"TActivityIndicator") return new TActivityIndicator(owner);
    if (cls == u"TSvgImage") return new TSvgImage(owner);
    if (cls == u"TStyledButton") return new TStyledButton(owner);
    if (cls == u"TStyledToolBar") return new TStyledToolBar(owner);
    if (cls == u"TStyledToolButton") return new TStyledToolButton(owner);
    return nullptr;
}

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
        if (P.Value.Kind == TValue::TKind::Number) return static_cast<TColor>(P.Value.Number);
        return Enum<TColor>({{u"clWindow", clWindow}, {u"clWindowText", clWindowText},
                             {u"clBtnFace", clBtnFace}, {u"clGrayText", clGrayText},
                             {u"clBlack", clBlack}, {u"clWhite", clWhite}, {u"clGray", clGray}});
    }
    [[noreturn]] void Bad() const { Fail(P.Line, u"bad value for " + P.Name); }

    const TProperty& P;
};

const std::pair<const char16_t*, TButtonDrawType> kDrawTypes[] = {
    {u"btRoundRect", TButtonDrawType::btRoundRect}, {u"btRounded", TButtonDrawType::btRounded},
    {u"btRect", TButtonDrawType::btRect}, {u"btEllipse", TButtonDrawType::btEllipse}};

bool ApplyFont(TControl& c, const std::u16string& name, const TReader& r)
{
    if (name.rfind(u"Font.", 0) != 0) return false;
    TFont font = c.Font();
    if (name == u"Font.Name") font.Name = r.Text();
    else if (name == u"Font.Height") font.Height = r.Int();
    else if (name == u"Font.Color") font.Color = r.Color();
    else if (name == u"Font.Quality")
        font.Antialiased = r.Enum<bool>({{u"fqDefault", false}, {u"fqAntialiased", true}});
    else if (name == u"Font.Style") {
        font.Style = 0;
        for (const auto& s : r.Idents()) {
            if (s == u"fsBold") font.Style |= fsBold;
            else if (s == u"fsItalic") font.Style |= fsItalic;
            else if (s == u"fsUnderline") font.Style |= fsUnderline;
            else if (s == u"fsStrikeOut") font.Style |= fsStrikeOut;
            else r.Bad();
        }
    } else
        return false;
    c.SetFont(font);
    return true;
}

// Properties every styled control has: family, class, appearance, shape and radius.
template <class T>
bool ApplyStyle(T& c, const std::u16string& name, const TReader& r)
{
    const TStyledLook& look = c.Look();
    if (name == u"StyleFamily") c.SetStyle(r.Text(), look.StyleClass, look.Appearance);
    else if (name == u"StyleClass") c.SetStyle(look.Family, r.Text(), look.Appearance);
    else if (name == u"StyleAppearance") c.SetStyle(look.Family, look.StyleClass, r.Text());
    else if (name == u"StyleDrawType") c.SetDrawType(r.Enum(kDrawTypes), look.Radius);
    else if (name == u"StyleRadius") c.SetDrawType(look.DrawType, r.Int());
    else return false;
    return true;
}

bool ApplyClassProperty(TControl& c, const std::u16string& name, const TReader& r)
{
    if (auto* form = dynamic_cast<TForm*>(&c)) {
        if (name == u"ClientWidth") form->SetClientSize(r.Int(), form->ClientHeight());
        else if (name == u"ClientHeight") form->SetClientSize(form->ClientWidth(), r.Int());
        else if (name == u"BorderStyle")
            form->SetBorderStyle(r.Enum<TFormBorderStyle>({{u"bsNone", TFormBorderStyle::bsNone},
                                                           {u"bsSingle", TFormBorderStyle::bsSingle},
                                                           {u"bsSizeable", TFormBorderStyle::bsSizeable},
                                                           {u"bsDialog", TFormBorderStyle::bsDialog}}));
        else if (name == u"BorderIcons") {
            unsigned icons = 0;
            for (const auto& s : r.Idents()) {
                if (s == u"biSystemMenu") icons |= biSystemMenu;
                else if (s == u"biMinimize") icons |= biMinimize;
                else if (s == u"biMaximize") icons |= biMaximize;
                else r.Bad();
            }
            form->SetBorderIcons(icons);
        } else if (name == u"Position")
            form->SetPosition(r.Enum<TPosition>({{u"poDesigned", TPosition::poDesigned},
                                                 {u"poScreenCenter", TPosition::poScreenCenter}}));
        else return false;
        return true;
    }
    if (auto* cards = dynamic_cast<TCardPanel*>(&c); cards && name == u"ActiveCardIndex") {
        cards->SetActiveCardIndex(r.Int());
        return true;
    }
    if (auto* panel = dynamic_cast<TPanel*>(&c)) {
        if (name == u"BevelOuter") panel->SetBevel(r.Enum<bool>({{u"bvNone", false}, {u"bvRaised", true}}));
        else if (name == u"DoubleBuffered") panel->SetDoubleBuffered(r.Bool());
        else return false;
        return true;
    }
    if (auto* label = dynamic_cast<TLabel*>(&c)) {
        if (name == u"Alignment")
            label->SetAlignment(r.Enum<TAlignment>({{u"taLeftJustify", TAlignment::taLeftJustify},
                                                    {u"taCenter", TAlignment::taCenter},
                                                    {u"taRightJustify", TAlignment::taRightJustify}}));
        else if (name == u"AutoSize") label->SetAutoSize(r.Bool());
        else if (name == u"Layout")
            label->SetLayout(r.Enum<TTextLayout>({{u"tlTop", TTextLayout::tlTop},
                                                  {u"tlCenter", TTextLayout::tlCenter},
                                                  {u"tlBottom", TTextLayout::tlBottom}}));
        else return false;
        return true;
    }
    if (auto* check = dynamic_cast<TCheckBox*>(&c); check && name == u"Checked") {
        check->SetChecked(r.Bool());
        return true;
    }
    if (auto* button = dynamic_cast<TStyledButton*>(&c)) {
        if (ApplyStyle(*button, name, r)) return true;
        if (name == u"Down") button->SetDown(r.Bool());
        else if (name == u"GroupIndex") button->SetGroupIndex(r.Int());
        else if (name == u"Opaque") button->SetOpaque(r.Bool());
        else if (name == u"Default") button->SetDefault(r.Bool());
        else return false;
        return true;
    }
    if (auto* bar = dynamic_cast<TStyledToolBar*>(&c)) {
        if (ApplyStyle(*bar, name, r)) return true;
        if (name == u"ButtonWidth") bar->SetButtonSize(r.Int(), bar->ButtonHeight());
        else if (name == u"ButtonHeight") bar->SetButtonSize(bar->ButtonWidth(), r.Int());
        else if (name == u"Indent") bar->SetIndent(r.Int());
        else if (name == u"ShowCaptions") bar->SetShowCaptions(r.Bool());
        else return false;
        return true;
    }
    if (auto* tool = dynamic_cast<TStyledToolButton*>(&c)) {
        if (name == u"Down") tool->SetDown(r.Bool());
        else if (name == u"GroupIndex") tool->SetGroupIndex(r.Int());
        else if (name == u"ImageIndex") tool->SetImageIndex(r.Int());
        else return false;
        return true;
    }
    if (auto* shape = dynamic_cast<TShape*>(&c)) {
        if (name == u"BrushColor") shape->SetBrushColor(r.Color());
        else if (name == u"PenColor") shape->SetPenColor(r.Color());
        else return false;
        return true;
    }
    if (auto* busy = dynamic_cast<TActivityIndicator*>(&c)) {
        using S = TActivityIndicator::TSize;
        if (name == u"Animate") busy->SetAnimate(r.Bool());
        else if (name == u"FrameDelay") busy->SetFrameDelay(r.Int());
        else if (name == u"IndicatorColor") busy->SetDotColor(r.Color());
        else if (name == u"IndicatorSize")
            busy->SetIndicatorSize(r.Enum<S>({{u"aisSmall", S::aisSmall}, {u"aisMedium", S::aisMedium},
                                              {u"aisLarge", S::aisLarge}}));
        else return false;
        return true;
    }
    if (auto* image = dynamic_cast<TSvgImage*>(&c); image && name == u"SvgResource") {
        image->SetSource(ReadResource(r.Text()));
        return true;
    }
    return false;
}

void ApplyProperty(TControl& c, const TProperty& p, const TEventBinder& events)
{
    const TReader r(p);
    const std::u16string& name = p.Name;
    if (ApplyClassProperty(c, name, r) || ApplyFont(c, name, r)) return;
    if (name == u"Left") c.SetBounds(r.Int(), c.Top(), c.Width(), c.Height());
    else if (name == u"Top") c.SetBounds(c.Left(), r.Int(), c.Width(), c.Height());
    else if (name == u"Width") c.SetBounds(c.Left(), c.Top(), r.Int(), c.Height());
    else if (name == u"Height") c.SetBounds(c.Left(), c.Top(), c.Width(), r.Int());
    else if (name == u"Align")
        c.SetAlign(r.Enum<TAlign>({{u"alNone", TAlign::alNone}, {u"alTop", TAlign::alTop},
                                   {u"alBottom", TAlign::alBottom}, {u"alLeft", TAlign::alLeft},
                                   {u"alRight", TAlign::alRight}, {u"alClient", TAlign::alClient}}));
    else if (name == u"Margins") {
        const auto m = r.Ints();
        if (m.size() != 4) r.Bad();
        c.SetMargins(m[0], m[1], m[2], m[3]);
    } else if (name == u"Caption") c.SetCaption(r.Text());
    else if (name == u"Visible") c.SetVisible(r.Bool());
    else if (name == u"Enabled") c.SetEnabled(r.Bool());
    else if (name == u"Color") c.SetColor(r.Color());
    else if (name == u"ParentFont") c.SetParentFont(r.Bool());
    else if (name == u"Cursor")
        c.SetCursor(r.Enum<TCursor>({{u"crDefault", TCursor::crDefault}, {u"crHandPoint", TCursor::crHandPoint}}));
    else if (name == u"Hint") c.SetHint(r.Text());
    else if (name == u"AccessibleName") c.SetAccessibleName(r.Text());
    else if (name == u"TabOrder") c.SetTabOrder(r.Int());
    else if (name == u"TabStop") c.SetTabStop(r.Bool());
    else if (name == u"OnClick" || name == u"OnCreate") {
        TNotifyEvent handler = events ? events(r.Ident()) : TNotifyEvent();
        if (!handler) Fail(p.Line, u"no handler " + r.Ident());
        if (name == u"OnClick") c.OnClick = std::move(handler);
        else if (auto* form = dynamic_cast<TForm*>(&c)) form->OnCreate = std::move(handler);
        else r.Bad();
    } else
        Fail(p.Line, u"unknown property " + name + u" of " + c.Name());
}

void ReadChildren(TForm& form, TWinControl& parent, const TNode& node, const TEventBinder& events)
{
    for (const TNode& child : node.Children) {
        if (form.FindComponent(child.Name)) Fail(child.Line, u"second control named " + child.Name);
        TControl* c = CreateControl(child.Class, &form);
        if (!c) Fail(child.Line, u"unknown class " + child.Class);
        c->SetName(child.Name);
        c->SetParent(&parent);
        for (const TProperty& p : child.Properties) ApplyProperty(*c, p, events);
        if (!child.Children.empty()) {
            auto* win = dynamic_cast<TWinControl*>(c);
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
    for (const TProperty& p : root.Properties) ApplyProperty(form, p, events);
    ReadChildren(form, form, root, events);
    form.Realign();
}

void RaiseMissingComponent(const std::u16string& name)
{
    throw EAppError(u"The window has no control " + name);
}
