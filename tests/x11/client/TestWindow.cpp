// A tiny X client for the end-to-end tests: opens windows with chosen size hints,
// gravity, type and relations, prints their ids once they are mapped, and keeps them
// until its standard input closes (with --vanish-when-resized, a window goes as soon as its
// size changes). On standard input, "open" opens one more window like the
// others (its id is printed once it is mapped) and "close" destroys the last one.
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

struct Options {
  int count = 1;
  int x = 0, y = 0;
  bool position = false;
  int width = 300, height = 200;
  int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
  int incWidth = 0, incHeight = 0, baseWidth = -1, baseHeight = -1;
  int gravity = 0;
  int border = 0;
  std::string type = "none";
  xcb_window_t transientFor = 0;
  std::vector<std::uint32_t> strut;
  std::string instance = "kestles-test", windowClass = "KestlesTest";
  std::string title = "Test window";
  long desktop = -1;
  bool noInput = false;
  bool legacyTitle = false;  // WM_NAME only, as xterm does
  bool overrideRedirect = false;
  bool vanishWhenResized = false;  // destroys a window as soon as its size changes
  bool noPid = false;              // no _NET_WM_PID, as plain X clients (xev) leave it out
};

[[noreturn]] void fail(const char* message) {
  std::fprintf(stderr, "test-window: %s\n", message);
  std::exit(2);
}

void pair(const char* text, char separator, int& a, int& b) {
  if (std::sscanf(text, separator == 'x' ? "%dx%d" : "%d,%d", &a, &b) != 2)
    fail("expected a pair of numbers");
}

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string flag = argv[i];
    bool bare = flag == "--no-input" || flag == "--override-redirect" || flag == "--legacy-title" ||
                flag == "--vanish-when-resized" || flag == "--no-pid";
    if (i + 1 >= argc && !bare) fail("a flag lacks its value");
    const char* value = bare ? "" : argv[++i];
    if (flag == "--count")
      o.count = std::atoi(value);
    else if (flag == "--pos") {
      pair(value, ',', o.x, o.y);
      o.position = true;
    } else if (flag == "--size")
      pair(value, 'x', o.width, o.height);
    else if (flag == "--min")
      pair(value, 'x', o.minWidth, o.minHeight);
    else if (flag == "--max")
      pair(value, 'x', o.maxWidth, o.maxHeight);
    else if (flag == "--inc")
      pair(value, 'x', o.incWidth, o.incHeight);
    else if (flag == "--base")
      pair(value, 'x', o.baseWidth, o.baseHeight);
    else if (flag == "--gravity")
      o.gravity = std::atoi(value);
    else if (flag == "--border")
      o.border = std::atoi(value);
    else if (flag == "--type")
      o.type = value;
    else if (flag == "--transient-for")
      o.transientFor = static_cast<xcb_window_t>(std::strtoul(value, nullptr, 0));
    else if (flag == "--title")
      o.title = value;
    else if (flag == "--desktop")
      o.desktop = std::atol(value);
    else if (flag == "--class") {
      std::string both = value;
      auto comma = both.find(',');
      if (comma == std::string::npos) fail("--class takes INSTANCE,CLASS");
      o.instance = both.substr(0, comma);
      o.windowClass = both.substr(comma + 1);
    } else if (flag == "--strut") {
      for (char* item = std::strtok(const_cast<char*>(value), ","); item;
           item = std::strtok(nullptr, ","))
        o.strut.push_back(static_cast<std::uint32_t>(std::strtoul(item, nullptr, 10)));
      if (o.strut.size() != 12) fail("--strut takes 12 numbers");
    } else if (flag == "--no-input")
      o.noInput = true;
    else if (flag == "--override-redirect")
      o.overrideRedirect = true;
    else if (flag == "--legacy-title")
      o.legacyTitle = true;
    else if (flag == "--vanish-when-resized")
      o.vanishWhenResized = true;
    else if (flag == "--no-pid")
      o.noPid = true;
    else
      fail("unknown flag");
  }
  return o;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  auto* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  if (reply == nullptr) fail("cannot intern an atom");
  auto result = reply->atom;
  std::free(reply);
  return result;
}

void setCardinals(xcb_connection_t* c, xcb_window_t w, const char* property, xcb_atom_t type,
                  const std::vector<std::uint32_t>& values) {
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(c, property), type, 32,
                      static_cast<std::uint32_t>(values.size()), values.data());
}

void setText(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
             const std::string& text) {
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 8,
                      static_cast<std::uint32_t>(text.size()), text.data());
}

void describe(xcb_connection_t* c, xcb_window_t w, const Options& o, int index) {
  xcb_size_hints_t hints{};
  if (o.position) xcb_icccm_size_hints_set_position(&hints, 1, o.x, o.y);
  xcb_icccm_size_hints_set_size(&hints, 1, o.width, o.height);
  if (o.minWidth > 0) xcb_icccm_size_hints_set_min_size(&hints, o.minWidth, o.minHeight);
  if (o.maxWidth > 0) xcb_icccm_size_hints_set_max_size(&hints, o.maxWidth, o.maxHeight);
  if (o.incWidth > 0) xcb_icccm_size_hints_set_resize_inc(&hints, o.incWidth, o.incHeight);
  if (o.baseWidth >= 0) xcb_icccm_size_hints_set_base_size(&hints, o.baseWidth, o.baseHeight);
  if (o.gravity > 0)
    xcb_icccm_size_hints_set_win_gravity(&hints, static_cast<xcb_gravity_t>(o.gravity));
  xcb_icccm_set_wm_normal_hints(c, w, &hints);

  xcb_icccm_wm_hints_t wmHints{};
  xcb_icccm_wm_hints_set_input(&wmHints, o.noInput ? 0 : 1);
  xcb_icccm_wm_hints_set_normal(&wmHints);
  xcb_icccm_set_wm_hints(c, w, &wmHints);

  std::string title = o.count > 1 ? o.title + " " + std::to_string(index + 1) : o.title;
  if (!o.legacyTitle) setText(c, w, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), title);
  setText(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
  std::string wmClass = o.instance + '\0' + o.windowClass + '\0';
  setText(c, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wmClass);
  if (!o.noPid)
    setCardinals(c, w, "_NET_WM_PID", XCB_ATOM_CARDINAL, {static_cast<std::uint32_t>(getpid())});
  if (o.type != "none") {
    std::string typeName = "_NET_WM_WINDOW_TYPE_" + o.type;
    for (auto& ch : typeName)
      ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    setCardinals(c, w, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM, {atom(c, typeName.c_str())});
  }
  if (o.transientFor != 0)
    setCardinals(c, w, "WM_TRANSIENT_FOR", XCB_ATOM_WINDOW, {o.transientFor});
  if (!o.strut.empty()) {
    setCardinals(c, w, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL, o.strut);
    setCardinals(c, w, "_NET_WM_STRUT", XCB_ATOM_CARDINAL, {o.strut.begin(), o.strut.begin() + 4});
  }
  if (o.desktop >= 0)
    setCardinals(c, w, "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL,
                 {static_cast<std::uint32_t>(o.desktop)});
}

/// Waits (at most 5 s) until the server reports every window mapped.
void waitUntilMapped(xcb_connection_t* c, std::set<xcb_window_t> waiting) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!waiting.empty()) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
      if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY)
        waiting.erase(reinterpret_cast<xcb_map_notify_event_t*>(event)->window);
      std::free(event);
    }
    if (waiting.empty()) break;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) fail("windows were not mapped within 5 s");
    pollfd descriptor{xcb_get_file_descriptor(c), POLLIN, 0};
    poll(&descriptor, 1, static_cast<int>(left.count()));
    if (xcb_connection_has_error(c)) fail("lost the connection");
  }
}

}  // namespace

int main(int argc, char** argv) {
  auto options = parse(argc, argv);
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) fail("cannot connect to the X server");
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  std::vector<xcb_window_t> windows;
  auto open = [&](int index) {
    xcb_window_t w = xcb_generate_id(c);
    std::uint32_t values[] = {screen->white_pixel, options.overrideRedirect ? 1u : 0u,
                              XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(
        c, XCB_COPY_FROM_PARENT, w, screen->root, static_cast<std::int16_t>(options.x),
        static_cast<std::int16_t>(options.y), static_cast<std::uint16_t>(options.width),
        static_cast<std::uint16_t>(options.height), static_cast<std::uint16_t>(options.border),
        XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
        XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    describe(c, w, options, index);
    xcb_map_window(c, w);
    windows.push_back(w);
    return w;
  };
  for (int i = 0; i < options.count; ++i)
    open(i);
  xcb_flush(c);
  // A window sent to another desktop is managed but never mapped.
  if (options.desktop < 0) waitUntilMapped(c, {windows.begin(), windows.end()});
  for (auto w : windows)
    std::printf("0x%08x\n", w);
  std::fflush(stdout);

  char buffer[64];
  while (true) {
    pollfd descriptors[] = {{STDIN_FILENO, POLLIN, 0}, {xcb_get_file_descriptor(c), POLLIN, 0}};
    poll(descriptors, 2, -1);
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
      auto* configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
      if (options.vanishWhenResized && (event->response_type & 0x7F) == XCB_CONFIGURE_NOTIFY &&
          configure->width != options.width) {
        xcb_destroy_window(c, configure->window);
        std::erase(windows, configure->window);
        xcb_flush(c);
      }
      std::free(event);
    }
    if (xcb_connection_has_error(c)) break;
    if (descriptors[0].revents == 0) continue;
    ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) break;
    std::string command(buffer, static_cast<std::size_t>(got));
    if (command.starts_with("open")) {
      auto w = open(static_cast<int>(windows.size()));
      xcb_flush(c);
      waitUntilMapped(c, {w});
      std::printf("0x%08x\n", w);
      std::fflush(stdout);
    } else if (command.starts_with("close") && !windows.empty()) {
      xcb_destroy_window(c, windows.back());
      windows.pop_back();
      xcb_flush(c);
    }
  }
  xcb_disconnect(c);
  return 0;
}
