#include "ui/common/HelpForm.h"

#include <array>

namespace velmora {

namespace {

using enum ControlKind;

// Close first: it has the focus and the first place in tab order. The panel last, under it.
constexpr std::array<ControlDescription, 3> kControls = {{
    {"BitBtn1", kBitBtn1Id, CancelButton, "&Close", {225, 6, 75, 25}, "Panel1"},
    {"RichEdit1", kRichEdit1Id, RichText, "", {0, 0, 525, 416}},
    {"Panel1", kPanel1Id, Panel, "", {0, 416, 525, 37}},
}};

constexpr FormDescription kForm{"THelpForm", "Program help", 525, 453, kControls};

}  // namespace

const FormDescription& HelpFormDescription() {
    return kForm;
}

}  // namespace velmora
