#pragma once
// One control of a window, as a row of that window's table. Positions are in
// twips inside the parent (the window or a frame); the builder scales them.

#include "convert.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ui {

enum class Kind {
    Field,      // single-line text field
    MultiField, // multi-line text field with a vertical scroll bar
    Label,      // caption; reacts to a click where a handler is attached
    Button,     // push button; "&" marks its access key
    Option,     // option button; one group per frame, or per window
    Frame,      // frame holding an option group
    Combo,      // drop-down list with an editable text part
    List,       // list box
    Choice,     // drop-down list to pick from, without a text to edit
    Grid,       // a table of rows and columns the window fills itself
};

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

// What a field or an option group stands for on the calculation sheet: a
// figure the engineer gives (an input) or one the window works out (a
// result), by its name in the sheet, its symbol and its unit.
enum class Role { None, Input, Result };
struct Quantity {
    Role role = Role::None;
    std::string term;   // 有功功率
    std::string symbol; // P
    std::string unit;   // kW
};

struct Control {
    std::string name;
    Kind kind = Kind::Label;
    std::string caption; // caption, or initial text of a field or drop-down list
    std::string tooltip;
    Rect rect;
    int tab = -1; // position in the focus chain; -1 for none

    int index = -1;         // element of a control array, or -1
    std::string parent;     // the frame it sits in, or empty for the window
    double points = 0;      // font size when it differs from the window's
    std::string family;     // font face when it differs from the window's
    bool selected = false;  // the option selected at start
    bool hidden = false;    // a list box hidden at start
    bool readOnly = false;  // a field that shows a result and takes no typing
    std::string names;      // for a label, or a button beside a field: the control it is the caption of
    std::string spoken;     // for a field no caption names: what to call it
    std::vector<std::string> items;
    Quantity quantity;            // a field's, or an option group's on its frame or its first option
    std::optional<double> value;  // what an option stands for (k = 1.5, 300 lx)
    std::vector<std::string> alternates; // other captions a handler gives a button

    Control&& at(int i) && { index = i; return std::move(*this); }
    Control&& in(std::string frame) && { parent = std::move(frame); return std::move(*this); }
    Control&& pt(double size) && { points = size; return std::move(*this); }
    Control&& face(std::string name) && { family = std::move(name); return std::move(*this); }
    Control&& checked() && { selected = true; return std::move(*this); }
    Control&& startHidden() && { hidden = true; return std::move(*this); }
    Control&& shows() && { readOnly = true; return std::move(*this); }
    Control&& captionOf(std::string control) && { names = std::move(control); return std::move(*this); }
    Control&& knownAs(std::string what) && { spoken = std::move(what); return std::move(*this); }
    Control&& withItems(std::vector<std::string> list) && { items = std::move(list); return std::move(*this); }
    Control&& input(std::string term, std::string symbol = {}, std::string unit = {}) &&
    {
        quantity = {Role::Input, std::move(term), std::move(symbol), std::move(unit)};
        return std::move(*this);
    }
    Control&& result(std::string term, std::string symbol = {}, std::string unit = {}) &&
    {
        quantity = {Role::Result, std::move(term), std::move(symbol), std::move(unit)};
        return std::move(*this);
    }
    Control&& means(double v) && { value = v; return std::move(*this); }
    Control&& orCaption(std::string caption) && { alternates.push_back(std::move(caption)); return std::move(*this); }
};

inline Control row(std::string name, Kind kind, std::string caption, std::string tooltip, Rect r, int tab)
{
    Control c;
    c.name = std::move(name);
    c.kind = kind;
    c.caption = std::move(caption);
    c.tooltip = std::move(tooltip);
    c.rect = r;
    c.tab = tab;
    return c;
}

// Row makers, so that a window's table reads column by column like a table.
inline Control field(std::string name, std::string text, std::string tooltip, Rect r, int tab)
{
    return row(std::move(name), Kind::Field, std::move(text), std::move(tooltip), r, tab);
}
inline Control multiField(std::string name, std::string text, std::string tooltip, Rect r, int tab)
{
    return row(std::move(name), Kind::MultiField, std::move(text), std::move(tooltip), r, tab);
}
inline Control label(std::string name, std::string caption, std::string tooltip, Rect r, int tab = -1)
{
    return row(std::move(name), Kind::Label, std::move(caption), std::move(tooltip), r, tab);
}
inline Control button(std::string name, std::string caption, std::string tooltip, Rect r, int tab)
{
    return row(std::move(name), Kind::Button, std::move(caption), std::move(tooltip), r, tab);
}
inline Control option(std::string name, std::string caption, Rect r, int tab)
{
    return row(std::move(name), Kind::Option, std::move(caption), "", r, tab);
}
inline Control frame(std::string name, std::string caption, Rect r, int tab)
{
    return row(std::move(name), Kind::Frame, std::move(caption), "", r, tab);
}
inline Control combo(std::string name, std::string text, std::string tooltip, Rect r, int tab)
{
    return row(std::move(name), Kind::Combo, std::move(text), std::move(tooltip), r, tab);
}
inline Control list(std::string name, Rect r, int tab)
{
    return row(std::move(name), Kind::List, "", "", r, tab);
}
inline Control choice(std::string name, std::string tooltip, Rect r, int tab)
{
    return row(std::move(name), Kind::Choice, "", std::move(tooltip), r, tab);
}
inline Control grid(std::string name, std::string tooltip, Rect r, int tab)
{
    return row(std::move(name), Kind::Grid, "", std::move(tooltip), r, tab);
}

// The window itself: name, caption, client size in twips, font and icon size.
struct WindowDef {
    WindowDef() = default;
    WindowDef(std::string name, std::string caption, int width, int height, std::string font, double points,
              int iconSize, bool resizable = false)
        : name(std::move(name)), caption(std::move(caption)), width(width), height(height), font(std::move(font)),
          points(points), iconSize(iconSize), resizable(resizable)
    {
    }
    std::string name;
    std::string caption;
    int width = 0, height = 0; // twips
    std::string font = "宋体";
    double points = 15.75;
    int iconSize = 48;
    bool resizable = false; // a window holding a table the engineer may make larger
};

// Where a failure to form a result is laid: on the input the engineer must
// correct, and what to tell them there. Without a row, an overflow lies on
// the figure farthest from 1 the result was made from (the larger factor of
// a product, the smaller divisor of a quotient), any other failure on the
// last figure read.
struct Blame {
    std::string result;
    numeric::Failure failure;
    std::string input;
    std::string why;
};

// A window's table: the window and its controls in the order they are made.
// Exported by each subsystem; the window, its sheet, the project files and
// the tools all read it.
struct Table {
    WindowDef window;
    std::vector<Control> controls;
    std::vector<Blame> blames{};

    const Blame* blameFor(std::string_view result, numeric::Failure failure) const
    {
        for (const Blame& b : blames)
            if (b.result == result && b.failure == failure)
                return &b;
        return nullptr;
    }

    // The control with this name (and index), or nullptr.
    const Control* find(const std::string& name, int index = -1) const
    {
        for (const Control& c : controls)
            if (c.name == name && (index < 0 || c.index == index))
                return &c;
        return nullptr;
    }
    // The options that share a group with `option` (same frame, or all on
    // the window), in table order.
    std::vector<const Control*> group(const std::string& option) const
    {
        std::vector<const Control*> members;
        const Control* o = find(option);
        if (!o || o->kind != Kind::Option)
            return members;
        for (const Control& c : controls)
            if (c.kind == Kind::Option && c.parent == o->parent)
                members.push_back(&c);
        return members;
    }
    // The quantity an option group stands for: its frame's, else that of the
    // first of its options that has one.
    const Quantity* groupQuantity(const std::string& option) const
    {
        const Control* o = find(option);
        if (!o)
            return nullptr;
        if (const Control* frame = o->parent.empty() ? nullptr : find(o->parent);
            frame && frame->quantity.role != Role::None)
            return &frame->quantity;
        for (const Control* c : group(option))
            if (c->quantity.role != Role::None)
                return &c->quantity;
        return nullptr;
    }
    // The label that is the caption of `control`, or nullptr.
    const Control* labelOf(const std::string& control) const
    {
        for (const Control& c : controls)
            if (c.kind == Kind::Label && c.names == control)
                return &c;
        return nullptr;
    }
};

} // namespace ui
