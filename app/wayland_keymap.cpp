// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/wayland_keymap.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <QMetaObject>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "common/file_descriptor.h"

namespace {

constexpr uint32_t kKeymapFormatXkbV1 = WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1;
constexpr std::size_t kMaxKeymapBytes = 4 << 20;

// The connection's objects and what the listeners need, on the watcher's thread only.
struct Connection {
    wl_display* Display = nullptr;
    wl_registry* Registry = nullptr;
    wl_seat* Seat = nullptr;
    wl_keyboard* Keyboard = nullptr;
    std::function<void(const std::string&)> Keymap;
};

std::string ReadKeymap(int fd, uint32_t size) {
    FileDescriptor file(fd);
    if (size == 0 || size > kMaxKeymapBytes) return {};
    void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.get(), 0);
    if (mapped == MAP_FAILED) return {};
    std::string text(static_cast<const char*>(mapped), ::strnlen(static_cast<const char*>(mapped), size));
    ::munmap(mapped, size);
    return text;
}

void OnKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    auto* connection = static_cast<Connection*>(data);
    if (format != kKeymapFormatXkbV1) {
        ::close(fd);
        return;
    }
    connection->Keymap(ReadKeymap(fd, size));
}
void OnEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void OnLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void OnKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {}
void OnModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void OnRepeat(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener kKeyboardListener = {OnKeymap, OnEnter, OnLeave, OnKey, OnModifiers, OnRepeat};

void OnCapabilities(void* data, wl_seat* seat, uint32_t capabilities) {
    auto* connection = static_cast<Connection*>(data);
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && !connection->Keyboard) {
        connection->Keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(connection->Keyboard, &kKeyboardListener, connection);
    } else if (!(capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && connection->Keyboard) {
        wl_keyboard_destroy(connection->Keyboard);
        connection->Keyboard = nullptr;
    }
}
void OnSeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener kSeatListener = {OnCapabilities, OnSeatName};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    auto* connection = static_cast<Connection*>(data);
    if (connection->Seat || std::strcmp(interface, wl_seat_interface.name) != 0) return;
    connection->Seat =
        static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, std::min<uint32_t>(version, 4)));
    wl_seat_add_listener(connection->Seat, &kSeatListener, connection);
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

// A connection of its own to the compositor, read on a thread of its own (connecting and
// reading never hold up the window), until the watcher goes.
class WaylandKeymapWatcher : public QObject {
public:
    WaylandKeymapWatcher(std::function<void(std::vector<LayoutName>)> changed, QObject* parent)
        : QObject(parent), changed_(std::move(changed)) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
        stopRead_ = ends[0];
        stopWrite_ = ends[1];
        thread_ = std::thread([this] { Run(); });
    }
    ~WaylandKeymapWatcher() override {
        if (thread_.joinable()) {
            const char stop = 1;
            [[maybe_unused]] const ssize_t written = ::write(stopWrite_, &stop, 1);
            thread_.join();
        }
        for (const int fd : {stopRead_, stopWrite_})
            if (fd >= 0) ::close(fd);
    }

private:
    void Run() {
        Connection connection;
        connection.Keymap = [this](const std::string& text) {
            std::vector<LayoutName> layouts = LayoutsOfKeymap(text);
            if (layouts.empty()) return;  // a virtual keyboard's keymap names no layout
            QMetaObject::invokeMethod(
                this, [this, layouts = std::move(layouts)] { changed_(layouts); }, Qt::QueuedConnection);
        };
        connection.Display = wl_display_connect(nullptr);
        if (!connection.Display) return;
        connection.Registry = wl_display_get_registry(connection.Display);
        wl_registry_add_listener(connection.Registry, &kRegistryListener, &connection);
        wl_display_flush(connection.Display);
        pollfd fds[2] = {{wl_display_get_fd(connection.Display), POLLIN, 0}, {stopRead_, POLLIN, 0}};
        for (;;) {
            while (wl_display_prepare_read(connection.Display) != 0) wl_display_dispatch_pending(connection.Display);
            wl_display_flush(connection.Display);
            if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
                wl_display_cancel_read(connection.Display);
                break;
            }
            if (fds[1].revents) {
                wl_display_cancel_read(connection.Display);
                break;
            }
            if (fds[0].revents & POLLIN) {
                if (wl_display_read_events(connection.Display) != 0) break;
            } else {
                wl_display_cancel_read(connection.Display);
                if (fds[0].revents & (POLLERR | POLLHUP)) break;
            }
            if (wl_display_dispatch_pending(connection.Display) < 0) break;
        }
        if (connection.Keyboard) wl_keyboard_destroy(connection.Keyboard);
        if (connection.Seat) wl_seat_destroy(connection.Seat);
        wl_registry_destroy(connection.Registry);
        wl_display_disconnect(connection.Display);
    }

    std::function<void(std::vector<LayoutName>)> changed_;
    int stopRead_ = -1;  // a byte written at the other end stops the thread
    int stopWrite_ = -1;
    std::thread thread_;
};

}  // namespace

QObject* WatchWaylandKeymap(std::function<void(std::vector<LayoutName>)> changed, QObject* parent) {
    return new WaylandKeymapWatcher(std::move(changed), parent);
}
