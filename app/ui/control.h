#pragma once
// One control of a window, as a row of that window's table. Positions are in
// twips inside the parent (the window or a frame); the builder scales them.

#include <string>
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
};

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
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
    std::string names;      // for a label: the control it is the caption of
    std::string spoken;     // for a field no label names: what to call it
    std::vector<std::string> items;

    Control&& at(int i) && { index = i; return std::move(*this); }
    Control&& in(std::string frame) && { parent = std::move(frame); return std::move(*this); }
    Control&& pt(double size) && { points = size; return std::move(*this); }
    Control&& face(std::string name) && { family = std::move(name); return std::move(*this); }
    Control&& checked() && { selected = true; return std::move(*this); }
    Control&& startHidden() && { hidden = true; return std::move(*this); }
    Control&& captionOf(std::string control) && { names = std::move(control); return std::move(*this); }
    Control&& knownAs(std::string what) && { spoken = std::move(what); return std::move(*this); }
    Control&& withItems(std::vector<std::string> list) && { items = std::move(list); return std::move(*this); }
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

// The window itself: name, caption, client size in twips, font and icon size.
struct WindowDef {
    std::string name;
    std::string caption;
    int width = 0, height = 0; // twips
    std::string font = "宋体";
    double points = 15.75;
    int iconSize = 48;
};

} // namespace ui
