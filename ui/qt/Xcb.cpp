#include "ui/qt/Xcb.h"

#include <dlfcn.h>
#include <xcb/xcb.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <utility>

namespace velmora {

namespace {

// What libxcb-xfixes (which Qt's X11 platform plugin loads) offers, as its protocol has it: its
// development headers are not needed to build.
using SelectSelectionInput = xcb_void_cookie_t(xcb_connection_t*, xcb_window_t, xcb_atom_t,
                                               std::uint32_t);
constexpr std::uint32_t kSetSelectionOwnerMask = 1;
constexpr std::uint32_t kSelectionWindowDestroyMask = 2;
constexpr std::uint32_t kSelectionClientCloseMask = 4;
constexpr std::uint8_t kSelectionNotify = 0;
struct SelectionNotifyEvent {
    std::uint8_t response_type;
    std::uint8_t subtype;
    std::uint16_t sequence;
    xcb_window_t window;
    xcb_window_t owner;
    xcb_atom_t selection;
    xcb_timestamp_t timestamp;
    xcb_timestamp_t selection_timestamp;
    std::uint8_t pad0[8];
};
// How often a server without XFixes is asked.
constexpr int kAskMs = 1000;
// An event sent by another client carries this bit.
constexpr std::uint8_t kSentEvent = 0x80;

// The X connection of Qt's X11 platform; null on other platforms.
xcb_connection_t* XcbConnection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

constexpr const char* kXfixes = "libxcb-xfixes.so.0";

// A function (or datum) of LIBRARY; null when Qt has not loaded it. Qt's platform plugin brings
// in the libraries it needs without making their names global, so each is asked by its name;
// nothing is loaded here.
template <class Symbol>
Symbol* Xcb(const char* name, const char* library = "libxcb.so.1") {
    void* loaded = dlopen(library, RTLD_LAZY | RTLD_NOLOAD);
    void* symbol = loaded ? dlsym(loaded, name) : nullptr;
    if (loaded) {
        // The plugin keeps it loaded for the life of the program.
        dlclose(loaded);
    }
    return reinterpret_cast<Symbol*>(symbol);
}

template <class Reply>
using XcbReply = std::unique_ptr<Reply, void (*)(void*)>;

// The screen of DISPLAY (":0.1" is screen 1); the first one unless it names another.
int ScreenNumber() {
    const QByteArray display = qgetenv("DISPLAY");
    const int colon = display.lastIndexOf(':');
    const int dot = colon < 0 ? -1 : display.indexOf('.', colon);
    return dot < 0 ? 0 : display.mid(dot + 1).toInt();
}

// The atom of the screen's tray selection; with onlyIfExists, none when the server has never
// heard of it (then nobody can own it).
xcb_atom_t TraySelection(xcb_connection_t* connection, bool onlyIfExists) {
    auto* intern = Xcb<decltype(xcb_intern_atom)>("xcb_intern_atom");
    auto* internReply = Xcb<decltype(xcb_intern_atom_reply)>("xcb_intern_atom_reply");
    if (!intern || !internReply) {
        return XCB_ATOM_NONE;
    }
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(ScreenNumber());
    const XcbReply<xcb_intern_atom_reply_t> atom(
        internReply(connection,
                    intern(connection, onlyIfExists ? 1 : 0, name.size(), name.constData()),
                    nullptr),
        std::free);
    return atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_window_t RootWindow(xcb_connection_t* connection) {
    auto* setup = Xcb<decltype(xcb_get_setup)>("xcb_get_setup");
    auto* roots = Xcb<decltype(xcb_setup_roots_iterator)>("xcb_setup_roots_iterator");
    auto* next = Xcb<decltype(xcb_screen_next)>("xcb_screen_next");
    if (!setup || !roots || !next) {
        return XCB_WINDOW_NONE;
    }
    xcb_screen_iterator_t screen = roots(setup(connection));
    for (int n = ScreenNumber(); n > 0 && screen.rem > 0; --n) {
        next(&screen);
    }
    return screen.rem > 0 ? screen.data->root : xcb_window_t{XCB_WINDOW_NONE};
}

}  // namespace

bool XEmbedTrayManaged() {
    xcb_connection_t* connection = XcbConnection();
    auto* owner = Xcb<decltype(xcb_get_selection_owner)>("xcb_get_selection_owner");
    auto* ownerReply =
        Xcb<decltype(xcb_get_selection_owner_reply)>("xcb_get_selection_owner_reply");
    if (!connection || !owner || !ownerReply) {
        return false;
    }
    const xcb_atom_t atom = TraySelection(connection, true);
    if (atom == XCB_ATOM_NONE) {
        return false;
    }
    const XcbReply<xcb_get_selection_owner_reply_t> selection(
        ownerReply(connection, owner(connection, atom), nullptr), std::free);
    return selection && selection->owner != XCB_WINDOW_NONE;
}

XEmbedTrayWatch::XEmbedTrayWatch(std::function<void(bool)> changed) : changed_(std::move(changed)) {
    if (Follow() || !XcbConnection()) {
        return;
    }
    managed_ = XEmbedTrayManaged();
    ask_.setInterval(kAskMs);
    QObject::connect(&ask_, &QTimer::timeout, [this] {
        const bool managed = XEmbedTrayManaged();
        if (std::exchange(managed_, managed) != managed) {
            changed_(managed);
        }
    });
    ask_.start();
}

bool XEmbedTrayWatch::Follow() {
    xcb_connection_t* connection = XcbConnection();
    auto* select = Xcb<SelectSelectionInput>("xcb_xfixes_select_selection_input", kXfixes);
    auto* xfixes = Xcb<xcb_extension_t>("xcb_xfixes_id", kXfixes);
    auto* extension = Xcb<decltype(xcb_get_extension_data)>("xcb_get_extension_data");
    auto* flush = Xcb<decltype(xcb_flush)>("xcb_flush");
    if (!connection || !select || !xfixes || !extension || !flush) {
        return false;
    }
    // Qt has asked for XFixes on this connection already; this only reads its answer.
    const xcb_query_extension_reply_t* data = extension(connection, xfixes);
    // The name is made if need be: a tray that comes later takes this very selection.
    const xcb_atom_t selection = TraySelection(connection, false);
    const xcb_window_t root = RootWindow(connection);
    if (!data || !data->present || selection == XCB_ATOM_NONE || root == XCB_WINDOW_NONE) {
        return false;
    }
    select(connection, root, selection,
           kSetSelectionOwnerMask | kSelectionWindowDestroyMask | kSelectionClientCloseMask);
    flush(connection);
    selection_ = selection;
    selectionNotify_ = data->first_event + kSelectionNotify;
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
}

XEmbedTrayWatch::~XEmbedTrayWatch() {
    if (selection_ != 0 && QCoreApplication::instance()) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool XEmbedTrayWatch::nativeEventFilter(const QByteArray& eventType, void* message,
                                        qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~kSentEvent) == selectionNotify_) {
        const auto* notify = static_cast<const SelectionNotifyEvent*>(message);
        if (notify->selection == selection_) {
            changed_(notify->owner != XCB_WINDOW_NONE);
        }
    }
    // Qt's clipboard follows selections the same way: never taken from it.
    return false;
}

}  // namespace velmora
