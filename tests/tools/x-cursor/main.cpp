// x-cursor: prints "WIDTHxHEIGHT+XHOT+YHOT HASH" of the cursor the X server shows at the pointer,
// so that a test can tell whether it changed (the hash is over the cursor's pixels). Exit 1 when
// the display or the XFIXES extension is missing.

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdint>
#include <cstdio>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x-cursor: cannot open the display\n");
        return 1;
    }
    int eventBase = 0;
    int errorBase = 0;
    XFixesCursorImage* image = XFixesQueryExtension(display, &eventBase, &errorBase)
                                   ? XFixesGetCursorImage(display)
                                   : nullptr;
    if (!image) {
        std::fprintf(stderr, "x-cursor: no cursor image (XFIXES missing?)\n");
        XCloseDisplay(display);
        return 1;
    }
    std::uint64_t hash = 1469598103934665603ULL;
    for (int i = 0; i < image->width * image->height; ++i) {
        hash = (hash ^ static_cast<std::uint32_t>(image->pixels[i])) * 1099511628211ULL;
    }
    std::printf("%dx%d+%d+%d %016llx\n", image->width, image->height, image->xhot, image->yhot,
                static_cast<unsigned long long>(hash));
    XFree(image);
    XCloseDisplay(display);
    return 0;
}
