#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace velmora {

// A font, bitmap or brush of our own, deleted with its owner.
struct GdiObjectDelete {
    void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
template <class Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDelete>;

// A menu of our own, destroyed with its owner.
struct MenuDelete {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDelete>;

}  // namespace velmora
