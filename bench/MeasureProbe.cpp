// What scripts/measure needs beyond the shell:
//   tidewire-measure-probe seed <home> <check-at-startup 0|1> [minutes [light]]
//       a demo home (see tidewire-demo-server --seed-home) with "Close To
//       Tray" on, checking at start-up or not, and every so many minutes
//       (5 unless given); with "light", pages show in the light page view;
//   tidewire-measure-probe launch <program> [args...]
//       starts the program and prints "<pid> <seconds>" once its main window
//       is mapped on the X server (the program keeps running);
//   tidewire-measure-probe close <pid>
//       asks the program's main window to close, as its title bar's close
//       box does (WM_DELETE_WINDOW);
//   tidewire-measure-probe memory <pid>
//       prints the memory of the process and every process below it, in
//       MiB: "<quiet pss> <pss>" (see TreeMemory.h).
// The X server must have no window manager: top-level windows are then the
// root's own children, and their maps are reported to the root.
#include "DemoHome.h"
#include "TreeMemory.h"
#include "core/AppIdentity.h"
#include "core/AppPaths.h"
#include "core/Registry.h"
#include "core/Settings.h"

#include <xcb/xcb.h>

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kTitle = "Tidewire";
constexpr int kMapDeadlineMs = 60000;

int Usage() {
  std::fprintf(stderr,
               "usage: tidewire-measure-probe seed <home> <check-at-startup 0|1> [minutes [light]]\n"
               "       tidewire-measure-probe launch <program> [args...]\n"
               "       tidewire-measure-probe close <pid>\n"
               "       tidewire-measure-probe memory <pid>\n");
  return 2;
}

int Seed(const char* home, bool checkAtStartup, int intervalMinutes, bool light) {
  if (intervalMinutes <= 0 || !tw::demo::SeedDemoHome(QString::fromLocal8Bit(home), intervalMinutes)) {
    std::fprintf(stderr, "Could not seed %s\n", home);
    return 1;
  }
  const tw::AppPaths paths = tw::AppPaths::UnderHome(QString::fromLocal8Bit(home));
  tw::Registry registry(paths.machineStore, paths.userStore, [](const QString&, tw::LogLevel) {});
  tw::AppIdentity identity;
  identity.SettingsRoot = QStringLiteral("Software\\") + QString::fromLatin1(tw::kProductTitle);
  identity.SettingsHive = tw::Hive::LocalMachine;
  tw::Settings settings(registry, identity);
  settings.setFlag(tw::setting::CloseToTray, true);
  settings.setFlag(tw::setting::CheckAtStartup, checkAtStartup);
  settings.setFlag(tw::setting::LightPageView, light);
  return 0;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

std::string WindowName(xcb_connection_t* c, xcb_window_t w) {
  xcb_get_property_reply_t* reply =
      xcb_get_property_reply(c, xcb_get_property(c, 0, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
  std::string name;
  if (reply) {
    name.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                static_cast<size_t>(xcb_get_property_value_length(reply)));
  }
  std::free(reply);
  return name;
}

long WindowPid(xcb_connection_t* c, xcb_window_t w, xcb_atom_t pidAtom) {
  xcb_get_property_reply_t* reply =
      xcb_get_property_reply(c, xcb_get_property(c, 0, w, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
  long pid = -1;
  if (reply && xcb_get_property_value_length(reply) == 4) pid = *static_cast<const uint32_t*>(xcb_get_property_value(reply));
  std::free(reply);
  return pid;
}

// The main window's caption is the title, or the title and the time of the
// last check.
bool IsMainWindow(xcb_connection_t* c, xcb_window_t w, xcb_atom_t pidAtom, long pid) {
  const std::string name = WindowName(c, w);
  const bool titled = name == kTitle || name.rfind(std::string(kTitle) + " (", 0) == 0;
  return titled && WindowPid(c, w, pidAtom) == pid;
}

xcb_connection_t* Connect(xcb_window_t* root) {
  int screenNumber = 0;
  xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(c)) {
    std::fprintf(stderr, "No X display\n");
    std::exit(1);
  }
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&it);
  *root = it.data->root;
  return c;
}

int Launch(char** command) {
  xcb_window_t root = 0;
  xcb_connection_t* c = Connect(&root);
  const xcb_atom_t pidAtom = Atom(c, "_NET_WM_PID");
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // the selection is in place

  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) return 1;
  if (pid == 0) {
    execvp(command[0], command);
    std::perror(command[0]);
    _exit(127);
  }
  pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
  for (;;) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
      const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
      const xcb_window_t w = mapped ? reinterpret_cast<xcb_map_notify_event_t*>(event)->window : 0;
      std::free(event);
      if (mapped && IsMainWindow(c, w, pidAtom, pid)) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%d %.3f\n", static_cast<int>(pid), seconds);
        xcb_disconnect(c);
        return 0;
      }
    }
    if (xcb_connection_has_error(c)) return 1;
    const auto waited = std::chrono::steady_clock::now() - start;
    if (waited > std::chrono::milliseconds(kMapDeadlineMs)) {
      std::fprintf(stderr, "The main window was not mapped within %d s\n", kMapDeadlineMs / 1000);
      std::printf("%d -1\n", static_cast<int>(pid));
      return 1;
    }
    poll(&fd, 1, 100);
  }
}

int Close(long pid) {
  xcb_window_t root = 0;
  xcb_connection_t* c = Connect(&root);
  const xcb_atom_t pidAtom = Atom(c, "_NET_WM_PID");
  const xcb_atom_t protocols = Atom(c, "WM_PROTOCOLS");
  const xcb_atom_t deleteWindow = Atom(c, "WM_DELETE_WINDOW");
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
  if (!tree) return 1;
  std::vector<xcb_window_t> children(xcb_query_tree_children(tree),
                                     xcb_query_tree_children(tree) + xcb_query_tree_children_length(tree));
  std::free(tree);
  int sent = 0;
  for (const xcb_window_t w : children) {
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
    const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(attributes);
    if (!viewable || !IsMainWindow(c, w, pidAtom, pid)) continue;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = w;
    message.type = protocols;
    message.data.data32[0] = deleteWindow;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, w, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    ++sent;
  }
  xcb_flush(c);
  xcb_disconnect(c);
  if (sent == 0) std::fprintf(stderr, "No main window of process %ld is shown\n", pid);
  return sent > 0 ? 0 : 1;
}

int Memory(long pid) {
  const tw::TreeMemory memory = tw::MeasureTreeMemory(pid);
  std::printf("%.1f %.1f\n", memory.quietPssMiB, memory.pssMiB);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  if (command == "seed" && argc >= 4 && argc <= 6) {
    return Seed(argv[2], std::strcmp(argv[3], "0") != 0, argc >= 5 ? std::atoi(argv[4]) : 5,
                argc == 6 && std::strcmp(argv[5], "light") == 0);
  }
  if (command == "launch") return Launch(argv + 2);
  if (command == "close" && argc == 3) return Close(std::strtol(argv[2], nullptr, 10));
  if (command == "memory" && argc == 3) return Memory(std::strtol(argv[2], nullptr, 10));
  return Usage();
}
