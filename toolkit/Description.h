// The window description: a text stored as a resource that gives a window's properties and
// its tree of controls, each with class, name, properties and the name of its click handler:
//
//   object FrmTavrino: TFrmTavrino
//     ClientWidth = 498
//     Caption = 'Tavrino'
//     OnCreate = FormCreate
//     object PnlMain: TCardPanel
//       Align = alClient
//     end
//   end
//
// Values are whole numbers, 'quoted texts' (UTF-8; '' stands for one quote), identifiers, and
// (lists). It is read into plain data: a tree of nodes, each of one kind, with the properties
// its class allows (one table says which) and its place in its parent after docking. Reading is
// strict: an unknown class, property, value or handler, a property that would have no effect,
// and a second control of one name are refused with their line.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/ButtonStyles.h"
#include "toolkit/Drawing.h"
#include "toolkit/Svg.h"

// Every kind of control the toolkit has. The kinds up to ToolBar hold other controls.
enum class TKind : std::uint8_t {
    Panel, CardPanel, Card, GroupBox, ToolBar,
    Label, MarkupLabel, CheckBox, Indicator, SvgImage, Button, ToolButton,
};
constexpr bool HoldsControls(TKind kind) { return kind <= TKind::ToolBar; }

// A styled control's look: family, class, appearance, corner radius, and the five sets the
// family gives (whose sets give the shape).
struct TStyledLook {
    std::u16string Family;
    std::u16string StyleClass;
    std::u16string Appearance;
    int Radius = 4;
    TStyledButtonStyles Styles;
};

struct TNode {
    std::u16string Name;
    TKind Kind = TKind::Panel;
    TRect Bounds;             // in the parent's client area, docking resolved
    std::u16string Caption;   // a label's text, a button's or box's caption
    std::u16string OnClick;   // the click handler's name; empty: none
    bool Visible = true;
    bool TabStop = false;     // check boxes; buttons always stop
    TColor Color = clWindow;  // the background of what holds controls, and of its children
    bool OwnFont = false;     // Font is the label's own, else it shows the window's
    TFont Font;
    bool Centered = false;    // a label's text centred in its box
    bool HandCursor = false;
    std::u16string AccessibleName;  // a screen reader's name in place of the caption
    TSvgDocument Image;
    TStyledLook Look;         // buttons, and the tool bar's for its buttons
    bool Default = false;     // the window's default button
    bool Down = false;        // a button pressed in
    int FrameDelay = 50;      // the indicator's milliseconds per frame
    TColor DotColor = clBlack;
    int ActiveCard = 0;       // a card panel's page shown
    std::vector<TNode> Children;
};

struct TWindowDescription {
    std::u16string Name;
    int ClientWidth = 0, ClientHeight = 0;
    std::u16string Caption;
    TColor Color = clWindow;
    TFont Font;
    std::u16string OnCreate;
    // Always a single border with the system menu and minimise button, centred on the screen:
    // the only window the description gives.
    std::vector<TNode> Controls;
};

// Whether the program has a handler of that name.
using THandlerCheck = std::function<bool(const std::u16string& name)>;

// Reads the description, its SVG resources through ReadResource, and lays the docked controls
// out in the window's client area less the top rows kept free. Raises EAppError naming the
// line when the text is refused.
TWindowDescription ReadDescription(std::string_view text, const THandlerCheck& handlers, int topKept = 0);

// Every node of the window, in the order of the description (a node before its children).
std::vector<const TNode*> AllNodes(const TWindowDescription& window);
// Finds a node by name (ASCII letter case ignored), or null.
const TNode* FindNode(const TWindowDescription& window, std::u16string_view name);
