#include "KestlesEngine/x11/X11Desktop.hpp"

#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <bit>
#include <type_traits>

#include "KestlesEngine/x11/X11Reply.hpp"

namespace kestles::x11 {
namespace {

constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;

/// The properties read for every client, in the order of `ClientCookies::properties`.
constexpr std::array kClientProperties = {
    Atom::netFrameExtents,
    Atom::netWmWindowType,
    Atom::wmTransientFor,
    Atom::netWmState,
    Atom::netWmDesktop,
    Atom::netWmPid,
    Atom::wmClass,
    Atom::netWmName,
    Atom::wmName,
    Atom::wmNormalHints,
    Atom::wmHints,
    Atom::netWmAllowedActions,
    Atom::gtkApplicationId,
    Atom::kdeNetWmDesktopFile,
    Atom::netWmStrutPartial,
    Atom::netWmStrut,
};

std::size_t slot(Atom property) {
  return static_cast<std::size_t>(
      std::find(kClientProperties.begin(), kClientProperties.end(), property) -
      kClientProperties.begin());
}

struct ClientCookies {
  xcb_get_window_attributes_cookie_t attributes;
  xcb_get_geometry_cookie_t geometry;
  xcb_translate_coordinates_cookie_t origin;
  std::array<xcb_get_property_cookie_t, kClientProperties.size()> properties;
};

using Properties = std::array<Reply<xcb_get_property_reply_t>, kClientProperties.size()>;

bool isStrut(Atom property) {
  return property == Atom::netWmStrutPartial || property == Atom::netWmStrut;
}

/// Read for a snapshot's app identity and for titles without `_NET_WM_NAME`.
bool isIdentity(Atom property) {
  return property == Atom::wmClass || property == Atom::gtkApplicationId ||
         property == Atom::kdeNetWmDesktopFile || property == Atom::wmName;
}

bool wanted(Atom property, ClientParts parts) {
  return (parts.struts || !isStrut(property)) && (parts.identity || !isIdentity(property));
}

ClientCookies requestClient(X11Connection& connection, xcb_window_t window, ClientParts parts) {
  auto* c = connection.raw();
  ClientCookies cookies{xcb_get_window_attributes(c, window),
                        xcb_get_geometry(c, window),
                        xcb_translate_coordinates(c, window, connection.root(), 0, 0),
                        {}};
  for (std::size_t i = 0; i < kClientProperties.size(); ++i)
    if (wanted(kClientProperties[i], parts))
      cookies.properties[i] = requestProperty(c, window, connection.atom(kClientProperties[i]));
  return cookies;
}

/// The reply of `fetch(&error)`; an error (a vanished window) is freed and gives nothing.
template <class Fetch>
auto collect(Fetch fetch) {
  xcb_generic_error_t* error = nullptr;
  auto* reply = fetch(&error);
  std::free(error);
  return Reply<std::remove_pointer_t<decltype(reply)>>(reply);
}

std::string latin1ToUTF8(std::string_view latin1) {
  std::string utf8;
  for (unsigned char c : latin1) {
    if (c < 0x80) {
      utf8.push_back(static_cast<char>(c));
    } else {
      utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return utf8;
}

std::string titleOf(const X11Connection& connection, const Properties& properties) {
  auto netName = text(properties[slot(Atom::netWmName)].get());
  if (!netName.empty()) return netName;
  const auto* name = properties[slot(Atom::wmName)].get();
  if (name != nullptr && name->type == connection.atom(Atom::utf8String)) return text(name);
  return latin1ToUTF8(bytes(name));
}

/// WM_CLASS holds the instance and the class, each ended by a NUL.
std::string classOf(const xcb_get_property_reply_t* reply) {
  auto both = text(reply);
  auto firstEnd = both.find('\0');
  if (firstEnd == std::string::npos) return {};
  auto second = both.substr(firstEnd + 1);
  return second.substr(0, second.find('\0'));
}

bool isKnownType(const X11Connection& connection, xcb_atom_t type) {
  for (auto known :
       {Atom::netWmWindowTypeNormal, Atom::netWmWindowTypeDialog, Atom::netWmWindowTypeDock,
        Atom::netWmWindowTypeDesktop, Atom::netWmWindowTypeUtility, Atom::netWmWindowTypeToolbar,
        Atom::netWmWindowTypeMenu, Atom::netWmWindowTypeSplash})
    if (connection.atom(known) == type) return true;
  return false;
}

WindowIdentity identityOf(const Properties& properties) {
  return {text(properties[slot(Atom::gtkApplicationId)].get()),
          text(properties[slot(Atom::kdeNetWmDesktopFile)].get()),
          classOf(properties[slot(Atom::wmClass)].get())};
}

bool hasAtom(const std::vector<std::uint32_t>& atoms, xcb_atom_t atom) {
  return atom != XCB_ATOM_NONE && std::find(atoms.begin(), atoms.end(), atom) != atoms.end();
}

void readStates(const X11Connection& connection, const Properties& properties,
                ClientWindow& client) {
  auto states = cardinals(properties[slot(Atom::netWmState)].get());
  client.minimized = hasAtom(states, connection.atom(Atom::netWmStateHidden));
  client.fullScreen = hasAtom(states, connection.atom(Atom::netWmStateFullscreen));
  client.maximized = hasAtom(states, connection.atom(Atom::netWmStateMaximizedVert)) ||
                     hasAtom(states, connection.atom(Atom::netWmStateMaximizedHorz));
  client.skipTaskbar = hasAtom(states, connection.atom(Atom::netWmStateSkipTaskbar));
  // The list runs from the most specific type; skip the ones this layer does not know.
  for (auto type : cardinals(properties[slot(Atom::netWmWindowType)].get())) {
    if (isKnownType(connection, type)) {
      client.type = type;
      break;
    }
  }
  client.transient = !cardinals(properties[slot(Atom::wmTransientFor)].get()).empty();
  if (auto desktop = cardinals(properties[slot(Atom::netWmDesktop)].get()); !desktop.empty())
    client.desktop = desktop.front();
  if (auto pid = cardinals(properties[slot(Atom::netWmPid)].get()); !pid.empty())
    client.pid = static_cast<std::int32_t>(pid.front());
  if (client.pid <= 0) client.pid = standInPID(connection, client.id);
  if (auto* actions = properties[slot(Atom::netWmAllowedActions)].get();
      actions != nullptr && actions->type != XCB_ATOM_NONE)
    client.resizeAllowed = hasAtom(cardinals(actions), connection.atom(Atom::netWmActionResize));
}

void readHints(Properties& properties, ClientWindow& client) {
  xcb_icccm_wm_hints_t wmHints{};
  if (auto* wm = properties[slot(Atom::wmHints)].get();
      wm != nullptr && xcb_icccm_get_wm_hints_from_reply(&wmHints, wm) &&
      (wmHints.flags & XCB_ICCCM_WM_HINT_INPUT))
    client.acceptsInput = wmHints.input != 0;
  auto* reply = properties[slot(Atom::wmNormalHints)].get();
  xcb_size_hints_t hints{};
  if (reply == nullptr || !xcb_icccm_get_wm_size_hints_from_reply(&hints, reply)) return;
  auto& out = client.hints;
  if (hints.flags & XCB_ICCCM_SIZE_HINT_P_MIN_SIZE) {
    out.minWidth = hints.min_width;
    out.minHeight = hints.min_height;
  }
  if (hints.flags & XCB_ICCCM_SIZE_HINT_P_MAX_SIZE) {
    out.maxWidth = hints.max_width;
    out.maxHeight = hints.max_height;
  }
  if (hints.flags & XCB_ICCCM_SIZE_HINT_P_RESIZE_INC) {
    out.widthIncrement = hints.width_inc;
    out.heightIncrement = hints.height_inc;
  }
  if (hints.flags & XCB_ICCCM_SIZE_HINT_BASE_SIZE) {
    out.baseWidth = hints.base_width;
    out.baseHeight = hints.base_height;
  }
  if (hints.flags & XCB_ICCCM_SIZE_HINT_P_WIN_GRAVITY) out.gravity = hints.win_gravity;
}

void readStrut(const Properties& properties, ClientWindow& client) {
  auto partial = cardinals(properties[slot(Atom::netWmStrutPartial)].get());
  auto whole = cardinals(properties[slot(Atom::netWmStrut)].get());
  std::array<std::uint32_t, 12> strut{};
  if (partial.size() >= 12) {
    std::copy_n(partial.begin(), 12, strut.begin());
  } else if (whole.size() >= 4) {
    // An old-style strut covers its whole edge.
    std::copy_n(whole.begin(), 4, strut.begin());
    for (std::size_t i = 4; i < 12; i += 2)
      strut[i + 1] = 0xFFFFFFFF;
  } else {
    return;
  }
  client.strut = strut;
}

Extents extentsOf(const xcb_get_property_reply_t* reply) {
  auto items = cardinals(reply);
  if (items.size() < 4) return {};
  return {static_cast<std::int32_t>(items[0]), static_cast<std::int32_t>(items[1]),
          static_cast<std::int32_t>(items[2]), static_cast<std::int32_t>(items[3])};
}

/// The client's rectangle with its border, grown by the manager's frame.
Box outerFrame(const xcb_get_geometry_reply_t& geometry,
               const xcb_translate_coordinates_reply_t& origin, const Extents& e) {
  auto border = static_cast<std::int32_t>(geometry.border_width);
  return {origin.dst_x - border - e.left, origin.dst_y - border - e.top,
          geometry.width + 2 * border + e.left + e.right,
          geometry.height + 2 * border + e.top + e.bottom};
}

std::optional<ClientWindow> collectClient(X11Connection& connection, xcb_window_t window,
                                          const ClientCookies& cookies) {
  auto* c = connection.raw();
  auto attributes = collect([&](xcb_generic_error_t** error) {
    return xcb_get_window_attributes_reply(c, cookies.attributes, error);
  });
  auto geometry = collect([&](xcb_generic_error_t** error) {
    return xcb_get_geometry_reply(c, cookies.geometry, error);
  });
  auto origin = collect([&](xcb_generic_error_t** error) {
    return xcb_translate_coordinates_reply(c, cookies.origin, error);
  });
  Properties properties;
  for (std::size_t i = 0; i < kClientProperties.size(); ++i)
    if (cookies.properties[i].sequence != 0)
      properties[i] = propertyReply(c, cookies.properties[i]);
  if (!attributes || !geometry || !origin) return std::nullopt;

  ClientWindow client;
  client.id = window;
  client.viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
  client.overrideRedirect = attributes->override_redirect != 0;
  client.inputOnly = attributes->_class == XCB_WINDOW_CLASS_INPUT_ONLY;
  client.borderWidth = geometry->border_width;
  client.extents = extentsOf(properties[slot(Atom::netFrameExtents)].get());
  client.frame = outerFrame(*geometry, *origin, client.extents);
  client.title = titleOf(connection, properties);
  client.identity = identityOf(properties);
  client.identityRead = cookies.properties[slot(Atom::wmClass)].sequence != 0;
  readStates(connection, properties, client);
  readHints(properties, client);
  readStrut(properties, client);
  return client;
}

std::vector<xcb_window_t> windowList(const xcb_get_property_reply_t* reply) {
  auto items = cardinals(reply);
  return {items.begin(), items.end()};
}

}  // namespace

std::int32_t standInPID(const X11Connection& connection, xcb_window_t window) {
  auto mask = xcb_get_setup(connection.raw())->resource_id_mask;
  // The mask covers the low bits of an id; the bits above it number the connection.
  auto index = (window & ~mask) >> std::countr_one(mask);
  return kFirstStandInPID + static_cast<std::int32_t>(index & 0x3FFFFFFF);
}

std::vector<ClientWindow> readClients(X11Connection& connection,
                                      std::span<const xcb_window_t> windows, ClientParts parts) {
  std::vector<ClientCookies> cookies;
  cookies.reserve(windows.size());
  for (auto window : windows)
    cookies.push_back(requestClient(connection, window, parts));
  connection.noteRoundTrip();
  std::vector<ClientWindow> clients;
  clients.reserve(windows.size());
  for (std::size_t i = 0; i < windows.size(); ++i)
    if (auto client = collectClient(connection, windows[i], cookies[i]))
      clients.push_back(std::move(*client));
  return clients;
}

std::vector<FrameReading> readFrames(X11Connection& connection,
                                     std::span<const xcb_window_t> windows) {
  auto* c = connection.raw();
  struct Cookies {
    xcb_get_geometry_cookie_t geometry;
    xcb_translate_coordinates_cookie_t origin;
    xcb_get_property_cookie_t extents;
  };
  std::vector<Cookies> cookies;
  for (auto window : windows)
    cookies.push_back({xcb_get_geometry(c, window),
                       xcb_translate_coordinates(c, window, connection.root(), 0, 0),
                       requestProperty(c, window, connection.atom(Atom::netFrameExtents), 4)});
  connection.noteRoundTrip();
  std::vector<FrameReading> frames;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    auto geometry = collect([&](xcb_generic_error_t** error) {
      return xcb_get_geometry_reply(c, cookies[i].geometry, error);
    });
    auto origin = collect([&](xcb_generic_error_t** error) {
      return xcb_translate_coordinates_reply(c, cookies[i].origin, error);
    });
    auto extents = extentsOf(propertyReply(c, cookies[i].extents).get());
    if (geometry && origin)
      frames.push_back({windows[i], outerFrame(*geometry, *origin, extents), extents});
  }
  return frames;
}

Desktop readDesktop(X11Connection& connection, ClientParts parts) {
  auto* c = connection.raw();
  auto root = connection.root();
  auto check = requestProperty(c, root, connection.atom(Atom::netSupportingWmCheck), 1);
  auto clientList = requestProperty(c, root, connection.atom(Atom::netClientList));
  auto stacking = requestProperty(c, root, connection.atom(Atom::netClientListStacking));
  auto current = requestProperty(c, root, connection.atom(Atom::netCurrentDesktop), 1);
  auto active = requestProperty(c, root, connection.atom(Atom::netActiveWindow), 1);
  auto tree = xcb_query_tree(c, root);
  auto focus = xcb_get_input_focus(c);
  connection.noteRoundTrip();

  auto checkWindow = windowProperty(c, check);
  auto clients = windowList(propertyReply(c, clientList).get());
  Desktop desktop;
  auto stackingList = propertyReply(c, stacking);
  desktop.stacking = windowList(stackingList.get());
  // xfwm4 writes no stacking list until it first restacks, which a lone window never
  // causes; the client list (mapping order, the newest on top) stands in for it.
  if (!stackingList || stackingList->type == XCB_ATOM_NONE) desktop.stacking = clients;
  if (auto items = cardinals(propertyReply(c, current).get()); !items.empty())
    desktop.currentDesktop = items.front();
  desktop.activeWindow = windowProperty(c, active);
  auto children =
      collect([&](xcb_generic_error_t** error) { return xcb_query_tree_reply(c, tree, error); });
  auto focused = collect(
      [&](xcb_generic_error_t** error) { return xcb_get_input_focus_reply(c, focus, error); });
  std::vector<xcb_window_t> treeWindows;
  if (children) {
    auto* first = xcb_query_tree_children(children.get());
    treeWindows.assign(first, first + xcb_query_tree_children_length(children.get()));
  }

  // The manager's check window must name itself; the query rides in the clients' batch.
  std::optional<xcb_get_property_cookie_t> selfCheck;
  if (checkWindow)
    selfCheck = requestProperty(c, *checkWindow, connection.atom(Atom::netSupportingWmCheck), 1);
  desktop.clients = readClients(connection, checkWindow ? clients : treeWindows, parts);
  desktop.hasWindowManager = selfCheck && windowProperty(c, *selfCheck) == checkWindow;
  if (!desktop.hasWindowManager) {
    if (checkWindow) desktop.clients = readClients(connection, treeWindows, parts);
    std::erase_if(desktop.clients, [](const ClientWindow& client) {
      return client.overrideRedirect || client.inputOnly || !client.viewable;
    });
    desktop.stacking.clear();
    for (const auto& client : desktop.clients)
      desktop.stacking.push_back(client.id);
    desktop.currentDesktop = 0;
    // Without a manager the input focus is the active window.
    desktop.activeWindow.reset();
    if (focused && std::find(desktop.stacking.begin(), desktop.stacking.end(), focused->focus) !=
                       desktop.stacking.end())
      desktop.activeWindow = focused->focus;
  }
  return desktop;
}

void readIdentities(X11Connection& connection, std::span<ClientWindow* const> all) {
  std::vector<ClientWindow*> clients;
  for (auto* client : all)
    if (!client->identityRead) clients.push_back(client);
  if (clients.empty()) return;
  auto* c = connection.raw();
  constexpr std::array kIdentity = {Atom::wmClass, Atom::gtkApplicationId,
                                    Atom::kdeNetWmDesktopFile, Atom::wmName};
  std::vector<std::array<xcb_get_property_cookie_t, kIdentity.size()>> cookies;
  for (auto* client : clients) {
    auto& some = cookies.emplace_back();
    for (std::size_t i = 0; i < kIdentity.size(); ++i)
      some[i] = requestProperty(c, client->id, connection.atom(kIdentity[i]));
  }
  connection.noteRoundTrip();
  for (std::size_t k = 0; k < clients.size(); ++k) {
    Properties properties;
    for (std::size_t i = 0; i < kIdentity.size(); ++i)
      properties[slot(kIdentity[i])] = propertyReply(c, cookies[k][i]);
    auto& client = *clients[k];
    client.identity = identityOf(properties);
    client.identityRead = true;
    if (client.title.empty()) client.title = titleOf(connection, properties);
  }
}

bool isAppWindow(const ClientWindow& client, const X11Connection& connection) {
  if (client.overrideRedirect || client.inputOnly || client.skipTaskbar) return false;
  if (client.type == XCB_ATOM_NONE) return !client.transient;
  return client.type == connection.atom(Atom::netWmWindowTypeNormal) && !client.transient;
}

bool isStandard(const ClientWindow& client, const X11Connection& connection,
                std::uint32_t currentDesktop) {
  if (!client.viewable && !client.minimized) return false;
  if (client.desktop && *client.desktop != currentDesktop && *client.desktop != kAllDesktops)
    return false;
  return isAppWindow(client, connection);
}

}  // namespace kestles::x11
