// The Command button's properties and how an instance is saved to and loaded
// from the container's property storage.
#include <cctype>

#include "base/numeric.h"
#include "base/runtime_error.h"
#include "controls/Command.h"

namespace controls {
namespace {

using base::num::kFalse;
using base::num::kTrue;
using ui::PropertyValue;

// Conversions of stored values, as the language converts a variant.
double NumberOf(const PropertyValue& v) {
  if (const bool* b = v.AsBool()) return *b ? -1 : 0;
  if (const std::int32_t* n = v.AsNumber()) return *n;
  if (const std::string* t = v.AsText()) {
    std::string upper;
    for (char c : *t) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "TRUE") return -1;
    if (upper == "FALSE") return 0;
    return base::num::ReadStrict(*t);
  }
  throw base::TypeMismatchError();
}

std::int16_t ToBoolean(const PropertyValue& v) { return NumberOf(v) != 0 ? kTrue : kFalse; }

std::uint8_t ToByte(const PropertyValue& v) {
  const double n = base::num::RoundHalfEven(NumberOf(v));
  if (!(n >= 0 && n <= 255)) throw base::OverflowError();
  return static_cast<std::uint8_t>(n);
}

std::int32_t ToLong(const PropertyValue& v) { return base::num::RoundToInt32(NumberOf(v)); }
std::int16_t ToInteger(const PropertyValue& v) { return base::num::RoundToInt16(NumberOf(v)); }

std::string ToText(const PropertyValue& v) {
  if (const std::string* t = v.AsText()) return *t;
  if (const bool* b = v.AsBool()) return *b ? "True" : "False";
  if (const std::int32_t* n = v.AsNumber()) return base::num::DecimalText(*n);
  throw base::TypeMismatchError();
}

}  // namespace

// --- Properties -----------------------------------------------------------------

std::string Command::Caption() const { return control_.Label().Caption(); }

void Command::SetCaption(const std::string& New_Caption) {
  control_.Label().SetCaption(New_Caption);
  MarkChanged("Caption");
}

ui::Font Command::Font() const { return control_.Label().FontObject(); }

void Command::SetFont(const ui::Font& New_Font) {
  control_.Label().SetFont(New_Font);
  MarkChanged("Font");
}

Command::CaptionFont Command::FontObject() { return CaptionFont(control_.Label()); }

void Command::CaptionFont::SetName(const std::string& name) {
  label_->FontObject().Name = name;
  label_->FontChanged();
}

void Command::CaptionFont::SetSize(double points) {
  label_->FontObject().Size = points;
  label_->FontChanged();
}

ui::Colour Command::FontColour() {
  const ui::Colour colour = control_.Label().ForeColor();
  RefreshFace();
  return colour;
}

void Command::SetFontColour(ui::Colour New_FontColour) {
  control_.Label().SetForeColor(New_FontColour);
  RefreshFace();
  MarkChanged("FontColour");
}

// A button placed anew comes up enabled on the first look at Enabled.
bool Command::Enabled() {
  if (state_.FirstRun == 0) {
    RefreshFace();
    state_.FirstRun = 1;
    state_.EnabledFlag = kTrue;
  }
  const bool enabled = state_.EnabledFlag != 0;
  RefreshEnabled();
  return enabled;
}

void Command::SetEnabled(bool New_Enabled) {
  state_.EnabledFlag = New_Enabled ? kTrue : kFalse;
  MarkChanged("Enabled");
  RefreshEnabled();
}

std::uint8_t Command::VisibleValue() {
  if (!control_.Opaque()) return 0;
  RefreshFace();
  return 255;
}

void Command::SetVisibleValue(std::uint8_t New_Visible) {
  if (New_Visible == 0) {
    control_.SetOpaque(false);
  } else {
    control_.SetOpaque(true);
    RefreshFace();
  }
  MarkChanged("Visible");
}

bool Command::Visible() { return VisibleValue() != 0; }
void Command::SetVisible(bool New_Visible) { SetVisibleValue(New_Visible ? 255 : 0); }

// --- Storage ----------------------------------------------------------------------

// A button placed anew takes the container's font, the same font a stored
// instance without a "Font" entry loads with.
void Command::UserControl_InitProperties() { control_.Label().SetFont(control_.AmbientFont()); }

void Command::UserControl_ReadProperties(const ui::PropertyBag& PropBag) {
  // Property by property: a stored value of the wrong type or range (type
  // mismatch, overflow, invalid value) leaves that property as it was.
  using base::ResumeNext;
  auto& label = control_.Label();
  ResumeNext([&] { state_.EnabledFlag = ToBoolean(PropBag.ReadProperty("Enabled", true)); });
  ResumeNext([&] { label.SetCaption(ToText(PropBag.ReadProperty("Caption", "Command"))); });
  ResumeNext([&] {
    const PropertyValue font = PropBag.ReadProperty("Font", control_.AmbientFont());
    if (const ui::Font* f = font.AsFont()) {
      label.SetFont(*f);
    } else {
      // A font given as text is its face name.
      ui::Font named = label.FontObject();
      named.Name = ToText(font);
      label.SetFont(named);
    }
  });
  ResumeNext([&] { state_.FirstRun = ToByte(PropBag.ReadProperty("FirstRun", "1")); });
  ResumeNext([&] { label.SetForeColor(ToLong(PropBag.ReadProperty("FontColour", "0"))); });
  ResumeNext([&] {
    const std::int16_t style = ToInteger(PropBag.ReadProperty("Visible", "1"));
    // The background style knows only transparent (0) and opaque (1).
    if (style != 0 && style != 1) throw base::RuntimeError(380, "Invalid property value");
    control_.SetOpaque(style == 1);
  });
  RefreshFace();
}

void Command::UserControl_WriteProperties(ui::PropertyBag& PropBag) {
  auto& label = control_.Label();
  PropBag.WriteProperty("Enabled", state_.EnabledFlag != 0, true);
  PropBag.WriteProperty("Caption", label.Caption(), "Command");
  PropBag.WriteProperty("FirstRun", static_cast<int>(state_.FirstRun), "1");
  PropBag.WriteProperty("Font", label.FontObject(), control_.AmbientFont());
  PropBag.WriteProperty("FontColour", static_cast<int>(label.ForeColor()), "0");
  PropBag.WriteProperty("Visible", control_.Opaque() ? 1 : 0, "1");
  RefreshFace();
}

}  // namespace controls
