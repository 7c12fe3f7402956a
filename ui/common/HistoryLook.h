#pragma once

namespace velmora {

// How the History window's plot draws each thing, whichever toolkit paints it. Sizes are in the
// pixels of a 96 dpi screen; a painter on a denser one multiplies them by its scale.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};

inline constexpr Rgb kPlainAnswerColour{31, 94, 196};
inline constexpr Rgb kAuthenticatedColour{0, 140, 70};
inline constexpr Rgb kStepColour{200, 30, 30};
inline constexpr Rgb kOtherStepColour{130, 60, 180};
inline constexpr Rgb kDriftColour{230, 120, 0};
inline constexpr Rgb kGridColour{228, 228, 228};

// Half the width of an answer's mark: a dot, or a square when authenticated.
inline constexpr double kMark = 3.0;
// Our own steps are dashed, another program's dotted, both this wide; the drift line is wider.
inline constexpr double kStepPenWidth = 1.5;
inline constexpr double kDriftPenWidth = 2.0;
// How near the pointer must come to an answer's mark for its tip.
inline constexpr double kNearAnswer = 6.0;

}  // namespace velmora
