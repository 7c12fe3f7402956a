#include "ui/common/HistoryScale.h"

namespace velmora {

double HistoryScale::X(double seconds) const {
    return area_.left +
           (seconds - range_.fromSeconds) / (range_.toSeconds - range_.fromSeconds) * area_.width;
}

double HistoryScale::Y(double offset) const {
    return area_.top +
           (range_.highOffset - offset) / (range_.highOffset - range_.lowOffset) * area_.height;
}

}  // namespace velmora
