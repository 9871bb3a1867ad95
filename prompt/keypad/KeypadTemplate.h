// Dialog template 129, the telephone keypad of the PIN prompt, as data, and
// the conversion of its dialog units into pixels.
//
// Positions in the template are in dialog units: a quarter of the average
// character width and an eighth of the character height of the dialog's
// font. Converting them with the font the dialog really gets keeps the
// keypad's proportions wherever it is shown.
#pragma once

#include <QFont>
#include <QRect>

#include <array>

namespace fonexa::keypad {

enum class ControlKind { Edit, PushButton };

struct TemplateControl {
  int id;
  ControlKind kind;
  const char* text;
  QRect units;  // x, y, width, height in dialog units
};

inline constexpr int kTemplateId = 129;
inline constexpr const char* kTemplateCaption = "Enter PIN code";
inline constexpr const char* kTemplateFontFamily = "Tahoma";
inline constexpr int kTemplateFontPoints = 8;
inline constexpr int kTemplateWidth = 114;
inline constexpr int kTemplateHeight = 106;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdCodeEdit = 1005;
inline constexpr int kIdBackspace = 1015;

// In the template's order.
inline const std::array<TemplateControl, 14> kKeypadControls = {{
    {kIdCodeEdit, ControlKind::Edit, "", QRect(5, 7, 75, 12)},
    {kIdBackspace, ControlKind::PushButton, "<-", QRect(86, 6, 24, 14)},
    {1006, ControlKind::PushButton, "1 (.,)", QRect(4, 24, 34, 18)},
    {1007, ControlKind::PushButton, "2 (abc)", QRect(40, 24, 34, 18)},
    {1008, ControlKind::PushButton, "3 (def)", QRect(76, 24, 34, 18)},
    {1009, ControlKind::PushButton, "4 (ghi)", QRect(4, 44, 34, 18)},
    {1010, ControlKind::PushButton, "5 (jkl)", QRect(40, 44, 34, 18)},
    {1011, ControlKind::PushButton, "6 (mno)", QRect(76, 44, 34, 18)},
    {1012, ControlKind::PushButton, "7 (pqrs)", QRect(4, 64, 34, 18)},
    {1013, ControlKind::PushButton, "8 (tuv)", QRect(40, 64, 34, 18)},
    {1014, ControlKind::PushButton, "9 (wxyz)", QRect(76, 64, 34, 18)},
    {kIdCancel, ControlKind::PushButton, "Cancel", QRect(4, 84, 34, 18)},
    {1016, ControlKind::PushButton, "0", QRect(40, 84, 34, 18)},
    {kIdOk, ControlKind::PushButton, "OK", QRect(76, 84, 34, 18)},
}};

// The digit a keypad button appends, or 0 for the other controls.
char DigitOf(int id);

// The font's base units, measured the way the dialog manager measures them:
// the width of the 52 Latin letters averaged and rounded, and the line height.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  DialogUnits(int baseWidth, int baseHeight) : baseWidth_(baseWidth), baseHeight_(baseHeight) {}

  int BaseWidth() const { return baseWidth_; }
  int BaseHeight() const { return baseHeight_; }
  int X(int units) const;
  int Y(int units) const;
  QRect ToPixels(const QRect& units) const;

 private:
  int baseWidth_;
  int baseHeight_;
};

}  // namespace fonexa::keypad
