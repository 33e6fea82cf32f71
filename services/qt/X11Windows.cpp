#include "services/qt/X11Windows.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace quillet {

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// One connection for one question; closed when it goes.
class Connection {
public:
    Connection() {
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) return;
        int screen = 0;
        c_ = xcb_connect(nullptr, &screen);
        if (xcb_connection_has_error(c_)) return;
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
        for (int i = 0; i < screen && it.rem; ++i) xcb_screen_next(&it);
        if (it.rem) root_ = it.data->root;
    }
    ~Connection() {
        if (c_) xcb_disconnect(c_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool ok() const { return c_ && !xcb_connection_has_error(c_) && root_; }
    xcb_connection_t* get() const { return c_; }
    xcb_window_t root() const { return root_; }

    xcb_atom_t Atom(const char* name) const {
        Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, uint16_t(std::strlen(name)), name), nullptr));
        return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    // A property's raw bytes (at most 64 KiB of them), with its format.
    std::string Property(xcb_window_t w, xcb_atom_t property, xcb_atom_t type, int* format) const {
        Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, w, property, type, 0, 16384), nullptr));
        if (!r || r->type == XCB_ATOM_NONE) return {};
        if (format) *format = r->format;
        const int length = xcb_get_property_value_length(r.get());
        if (length <= 0) return {};
        return std::string(static_cast<const char*>(xcb_get_property_value(r.get())),
                           size_t(length));
    }

private:
    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = 0;
};

template <class T>
std::vector<T> Values(const std::string& bytes) {
    std::vector<T> out(bytes.size() / sizeof(T));
    if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof(T));
    return out;
}

}  // namespace

std::vector<CaptureWindow> X11TopLevelWindows() {
    std::vector<CaptureWindow> out;
    Connection x;
    if (!x.ok()) return out;
    const xcb_atom_t clientList = x.Atom("_NET_CLIENT_LIST");
    const xcb_atom_t wmName = x.Atom("_NET_WM_NAME");
    const xcb_atom_t utf8 = x.Atom("UTF8_STRING");
    const xcb_atom_t wmState = x.Atom("_NET_WM_STATE");
    const xcb_atom_t hidden = x.Atom("_NET_WM_STATE_HIDDEN");
    int format = 0;
    const auto windows =
        Values<xcb_window_t>(x.Property(x.root(), clientList, XCB_ATOM_WINDOW, &format));
    for (const xcb_window_t w : windows) {
        CaptureWindow info;
        info.id = w;
        info.title = x.Property(w, wmName, utf8, nullptr);
        if (info.title.empty())
            info.title = x.Property(w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, nullptr);
        for (const xcb_atom_t state :
             Values<xcb_atom_t>(x.Property(w, wmState, XCB_ATOM_ATOM, nullptr)))
            if (state == hidden) info.minimised = true;
        Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
            x.get(), xcb_get_window_attributes(x.get(), w), nullptr));
        info.visible = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(x.get(), xcb_get_geometry(x.get(), w), nullptr));
        Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
            x.get(), xcb_translate_coordinates(x.get(), w, x.root(), 0, 0), nullptr));
        if (!geometry || !origin) continue;
        info.x = origin->dst_x;
        info.y = origin->dst_y;
        info.width = geometry->width;
        info.height = geometry->height;
        out.push_back(std::move(info));
    }
    return out;
}

void RaiseX11Window(unsigned long id) {
    Connection x;
    if (!x.ok() || id == 0) return;
    const xcb_window_t w = xcb_window_t(id);
    // The window manager decides stacking; ask it, and raise directly for managers that don't.
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = w;
    event.type = x.Atom("_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 2;  // from a pager: the request is the user's own
    xcb_send_event(x.get(), 0, x.root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(x.get(), w, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    Reply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(x.get(), xcb_get_input_focus(x.get()), nullptr));
}

}  // namespace quillet
