#pragma once

#include "ui/common/FormDescription.h"

namespace velmora {

// The help window as designed: the text above, the Close button on a panel along the bottom.

enum HelpControlId : int {
    // The number Windows' dialogs give Esc.
    kBitBtn1Id = 2,
    kRichEdit1Id = 1101,
    kPanel1Id,
};

const FormDescription& HelpFormDescription();

}  // namespace velmora
