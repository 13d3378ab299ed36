#include "WaylandRecorder.h"

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>
#include <string_view>

#include "xdg-shell-client-protocol.h"

namespace zintor::testing {

struct WaylandRecorder::Client {
    WaylandRecorder* owner = nullptr;
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* shell = nullptr;
    wl_seat* seat = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    wl_surface* surface = nullptr;
    xdg_surface* shellSurface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    wl_buffer* buffer = nullptr;
    xkb_context* xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;

    void record(std::string text) {
        std::lock_guard lock(owner->mutex_);
        owner->events_.push_back({std::move(text), std::chrono::steady_clock::now()});
        owner->changed_.notify_all();
    }
    void focus() {
        std::lock_guard lock(owner->mutex_);
        owner->focused_ = true;
        owner->changed_.notify_all();
    }
    void show() {
        std::lock_guard lock(owner->mutex_);
        owner->shown_ = true;
        owner->changed_.notify_all();
    }
    void paint(int width, int height) {
        // One opaque buffer the size of the window, so that the window takes input everywhere.
        width = width > 0 ? width : 640;
        height = height > 0 ? height : 480;
        const int size = width * height * 4;
        const int fd = memfd_create("recorder", MFD_CLOEXEC);
        if (fd < 0 || ftruncate(fd, size) != 0) {
            return;
        }
        wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
        if (buffer != nullptr) {
            wl_buffer_destroy(buffer);
        }
        buffer =
            wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888);
        wl_shm_pool_destroy(pool);
        close(fd);
        wl_surface_attach(surface, buffer, 0, 0);
        wl_surface_damage(surface, 0, 0, width, height);
    }
};

namespace {

using Client = WaylandRecorder::Client;

Client* of(void* data) {
    return static_cast<Client*>(data);
}

std::string position(wl_fixed_t x, wl_fixed_t y) {
    return "at " + std::to_string(wl_fixed_to_int(x)) + "," + std::to_string(wl_fixed_to_int(y));
}

const wl_keyboard_listener kKeyboard = {
    [](void* data, wl_keyboard*, std::uint32_t, int fd, std::uint32_t size) {
        Client* c = of(data);
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            xkb_state_unref(c->state);
            xkb_keymap_unref(c->keymap);
            c->keymap =
                xkb_keymap_new_from_string(c->xkb, static_cast<const char*>(text),
                                           XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
            c->state = c->keymap != nullptr ? xkb_state_new(c->keymap) : nullptr;
            munmap(text, size);
        }
        close(fd);
    },
    [](void* data, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) { of(data)->focus(); },
    [](void*, wl_keyboard*, std::uint32_t, wl_surface*) {},
    [](void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key,
       std::uint32_t state) {
        Client* c = of(data);
        char name[64] = "?";
        if (c->state != nullptr) {
            xkb_keysym_get_name(xkb_state_key_get_one_sym(c->state, key + 8), name, sizeof name);
        }
        c->record((state == WL_KEYBOARD_KEY_STATE_PRESSED ? "+" : "-") + std::string(name));
    },
    [](void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed, std::uint32_t latched,
       std::uint32_t locked, std::uint32_t group) {
        if (xkb_state* state = of(data)->state) {
            xkb_state_update_mask(state, depressed, latched, locked, 0, 0, group);
        }
    },
    [](void*, wl_keyboard*, std::int32_t, std::int32_t) {},
};

const wl_pointer_listener kPointer = {
    [](void* data, wl_pointer*, std::uint32_t, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
        of(data)->record(position(x, y));
    },
    [](void*, wl_pointer*, std::uint32_t, wl_surface*) {},
    [](void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
        of(data)->record(position(x, y));
    },
    [](void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button,
       std::uint32_t state) {
        const std::string number = button == 0x110 ? "1" : button == 0x111 ? "3" : "?";
        of(data)->record((state == WL_POINTER_BUTTON_STATE_PRESSED ? "+button" : "-button") +
                         number);
    },
    [](void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {},
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

const wl_seat_listener kSeat = {
    [](void* data, wl_seat* seat, std::uint32_t capabilities) {
        Client* c = of(data);
        if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && c->keyboard == nullptr) {
            c->keyboard = wl_seat_get_keyboard(seat);
            wl_keyboard_add_listener(c->keyboard, &kKeyboard, c);
        }
        if ((capabilities & WL_SEAT_CAPABILITY_POINTER) != 0 && c->pointer == nullptr) {
            c->pointer = wl_seat_get_pointer(seat);
            wl_pointer_add_listener(c->pointer, &kPointer, c);
        }
    },
    [](void*, wl_seat*, const char*) {},
};

const xdg_wm_base_listener kShell = {
    [](void*, xdg_wm_base* shell, std::uint32_t serial) { xdg_wm_base_pong(shell, serial); },
};

int pendingWidth = 0;
int pendingHeight = 0;

const xdg_toplevel_listener kToplevel = {
    [](void*, xdg_toplevel*, std::int32_t width, std::int32_t height, wl_array*) {
        pendingWidth = width;
        pendingHeight = height;
    },
    [](void*, xdg_toplevel*) {},
    nullptr,
    nullptr,
};

const xdg_surface_listener kShellSurface = {
    [](void* data, xdg_surface* surface, std::uint32_t serial) {
        Client* c = of(data);
        xdg_surface_ack_configure(surface, serial);
        c->paint(pendingWidth, pendingHeight);
        wl_surface_commit(c->surface);
        c->show();
    },
};

const wl_registry_listener kRegistry = {
    [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
       std::uint32_t) {
        Client* c = of(data);
        const std::string_view which = interface;
        if (which == wl_compositor_interface.name) {
            c->compositor = static_cast<wl_compositor*>(
                wl_registry_bind(registry, name, &wl_compositor_interface, 1));
        } else if (which == wl_shm_interface.name) {
            c->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
        } else if (which == xdg_wm_base_interface.name) {
            c->shell = static_cast<xdg_wm_base*>(
                wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
            xdg_wm_base_add_listener(c->shell, &kShell, c);
        } else if (which == wl_seat_interface.name && c->seat == nullptr) {
            c->seat =
                static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
            wl_seat_add_listener(c->seat, &kSeat, c);
        }
    },
    [](void*, wl_registry*, std::uint32_t) {},
};

}  // namespace

WaylandRecorder::WaylandRecorder(const std::string& display) {
    wl_display* connection = wl_display_connect(display.c_str());
    if (connection == nullptr) {
        return;
    }
    client_ = new Client;
    client_->owner = this;
    client_->display = connection;
    client_->registry = wl_display_get_registry(connection);
    wl_registry_add_listener(client_->registry, &kRegistry, client_);
    wl_display_roundtrip(connection);
    if (client_->compositor == nullptr || client_->shm == nullptr || client_->shell == nullptr) {
        return;
    }
    client_->surface = wl_compositor_create_surface(client_->compositor);
    client_->shellSurface = xdg_wm_base_get_xdg_surface(client_->shell, client_->surface);
    xdg_surface_add_listener(client_->shellSurface, &kShellSurface, client_);
    client_->toplevel = xdg_surface_get_toplevel(client_->shellSurface);
    xdg_toplevel_add_listener(client_->toplevel, &kToplevel, client_);
    xdg_toplevel_set_title(client_->toplevel, "recorder");
    // Full screen: the pointer is always over it, and windows opened later (zintor's own) do not
    // take the keyboard focus from it.
    xdg_toplevel_set_fullscreen(client_->toplevel, nullptr);
    wl_surface_commit(client_->surface);
    wl_display_flush(connection);
    thread_ = std::thread([this] { run(); });
}

WaylandRecorder::~WaylandRecorder() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    if (client_ != nullptr) {
        // The compositor frees its side when the connection ends; ours is freed here.
        for (void* proxy :
             {static_cast<void*>(client_->buffer), static_cast<void*>(client_->toplevel),
              static_cast<void*>(client_->shellSurface), static_cast<void*>(client_->surface),
              static_cast<void*>(client_->pointer), static_cast<void*>(client_->keyboard),
              static_cast<void*>(client_->seat), static_cast<void*>(client_->shell),
              static_cast<void*>(client_->shm), static_cast<void*>(client_->compositor),
              static_cast<void*>(client_->registry)}) {
            if (proxy != nullptr) {
                wl_proxy_destroy(static_cast<wl_proxy*>(proxy));
            }
        }
        wl_display_disconnect(client_->display);
        xkb_state_unref(client_->state);
        xkb_keymap_unref(client_->keymap);
        xkb_context_unref(client_->xkb);
        delete client_;
    }
}

void WaylandRecorder::run() {
    wl_display* display = client_->display;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stop_) {
                return;
            }
        }
        while (wl_display_prepare_read(display) != 0) {
            wl_display_dispatch_pending(display);
        }
        wl_display_flush(display);
        pollfd readable{wl_display_get_fd(display), POLLIN, 0};
        if (poll(&readable, 1, 50) > 0) {
            if (wl_display_read_events(display) < 0) {
                return;
            }
        } else {
            wl_display_cancel_read(display);
        }
        wl_display_dispatch_pending(display);
    }
}

bool WaylandRecorder::waitUntilShown() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [this] { return shown_; });
}

bool WaylandRecorder::waitUntilFocused() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [this] { return focused_; });
}

std::vector<WaylandRecorder::Event> WaylandRecorder::take(std::size_t count,
                                                          std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, limit, [&] { return events_.size() >= count; });
    std::vector<Event> out;
    out.swap(events_);
    return out;
}

std::vector<std::string> WaylandRecorder::takeTexts(std::size_t count,
                                                    std::chrono::milliseconds limit) {
    std::vector<std::string> texts;
    for (const Event& event : take(count, limit)) {
        texts.push_back(event.text);
    }
    return texts;
}

}  // namespace zintor::testing
