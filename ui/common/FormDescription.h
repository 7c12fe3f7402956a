#pragma once

#include <span>
#include <string_view>

namespace velmora {

// A window as data: its controls with their form names, kinds, captions and places at 96 dpi, in
// tab order. Each front end builds its window from it; neither keeps a copy of its own.

enum class ControlKind {
    PushButton,
    // The button Enter presses.
    DefaultButton,
    // The button Esc presses.
    CancelButton,
    // The picture carries the caption; the caption is the button's name to a screen reader.
    PictureButton,
    GroupBox,
    // A raised panel holding controls of its own.
    Panel,
    // A sunken line along its top edge.
    Bevel,
    Label,
    // A fixed-size field showing a text the program sets, centred, on a coloured background.
    ClockField,
    CheckBox,
    // The first of a group of radio buttons starts it; the following ones belong to it.
    RadioButton,
    Edit,
    // An edit that takes typed digits only; pasted text is left to whoever reads it.
    DigitsEdit,
    // Lines wrap, no scroll bars; Enter starts a new line, Tab leaves it.
    Memo,
    // A drop-down list without free text.
    DropDownList,
    StatusBar,
    // A read-only rich text, scrolling vertically.
    RichText,
};

struct ControlPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ControlDescription {
    // The form name, which each front end gives the control (object name, accessible name).
    const char* name = "";
    // The number a Windows dialog finds it by; unique in its form.
    int id = 0;
    ControlKind kind = ControlKind::Label;
    // "&" before the accelerator's letter.
    const char* caption = "";
    // Within the group box or panel named `inside`, else within the form's client area.
    ControlPlace place;
    const char* inside = nullptr;
    // An edit's limit on what the user types (0: none).
    int limit = 0;
    // A list's items; a picture button's picture (its one item).
    std::span<const char* const> items = {};
};

struct FormDescription {
    // The window class, and the form's object name.
    const char* name = "";
    const char* caption = "";
    // The client area at 96 dpi.
    int width = 0;
    int height = 0;
    std::span<const ControlDescription> controls;

    // The control of `id`, or of that form name; null for none.
    const ControlDescription* Find(int id) const;
    const ControlDescription* Find(std::string_view controlName) const;
    // A control's place within the form's client area, its container's added.
    ControlPlace PlaceInForm(const ControlDescription& control) const;
};

}  // namespace velmora
