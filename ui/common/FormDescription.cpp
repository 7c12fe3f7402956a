#include "ui/common/FormDescription.h"

namespace velmora {

const ControlDescription* FormDescription::Find(int id) const {
    for (const ControlDescription& control : controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

const ControlDescription* FormDescription::Find(std::string_view controlName) const {
    for (const ControlDescription& control : controls) {
        if (controlName == control.name) {
            return &control;
        }
    }
    return nullptr;
}

ControlPlace FormDescription::PlaceInForm(const ControlDescription& control) const {
    ControlPlace place = control.place;
    for (const ControlDescription* box = control.inside ? Find(control.inside) : nullptr; box;
         box = box->inside ? Find(box->inside) : nullptr) {
        place.left += box->place.left;
        place.top += box->place.top;
    }
    return place;
}

}  // namespace velmora
